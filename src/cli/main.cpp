// qrl: the command-line companion of Quarrylog.
#include "cli/CheckCommand.h"
#include "cli/ConditionsCommand.h"
#include "cli/ErrorLine.h"
#include "cli/EvalCommand.h"
#include "cli/ExportCommand.h"
#include "cli/FilterCommand.h"
#include "cli/ImportCommand.h"
#include "cli/SearchCommand.h"
#include "cli/TreeCommand.h"
#include "cli/VerifyCommand.h"
#include "filter/core/FilterFunctions.h"
#include "settings/core/AppInfo.h"

#include <QCoreApplication>

#include <cstring>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

int usage() {
    std::cerr << "Usage:\n"
                 "  qrl tree FILE           read a tagged-tree file and write it back\n"
                 "  qrl eval TEXT           evaluate an expression: its type, a TAB, its value\n"
                 "  qrl eval -              the same for the expression read from standard input\n"
                 "  qrl filter REPORT TEXT  the URL of every record of REPORT that TEXT passes\n"
                 "  qrl filter REPORT --conditions FILE\n"
                 "                          the same with the expression of a conditions file\n"
                 "  qrl conditions FILE     the filter expression of a conditions file\n"
                 "  qrl export REPORT --format html|csv|json|bookmarks [--checked] [-o FILE]\n"
                 "                          the report in another format (standard output\n"
                 "                          without -o; --checked: the ticked records only)\n"
                 "  qrl export REPORT --format package [--checked] -o FOLDER\n"
                 "                          the evidence package: page, captures, checksums\n"
                 "  qrl import REPORT FILE [--format bookmarks|csv|json|text]\n"
                 "                          add the pages of FILE that are not in REPORT yet\n"
              << SearchUsage << SourcesUsage << CheckUsage << DuplicatesUsage << VerifyUsage;
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    SilenceQtMessages();
    std::ios::sync_with_stdio(false);
    RegisterExpressionFunctions();
    if (argc < 2)
        return usage();
    const std::string command = argv[1];
    if (command == "--version" && argc == 2) {
        std::cout << "qrl (" << AppInfo::ProductName << ") " << AppInfo::Version << "\n";
        return 0;
    }
    if (command == "tree" && argc == 3)
        return RunTreeCommand(argv[2], std::cout, std::cerr);
    if (command == "eval" && argc == 3) {
        if (std::strcmp(argv[2], "-") != 0)
            return RunEvalCommand(argv[2], std::cout, std::cerr);
        // Expressions longer than the system lets an argument be come this way.
        const std::string text((std::istreambuf_iterator<char>(std::cin)),
                               std::istreambuf_iterator<char>());
        return RunEvalCommand(text, std::cout, std::cerr);
    }
    if (command == "filter" && argc == 5 && std::strcmp(argv[3], "--conditions") == 0)
        return RunFilterConditionsCommand(argv[2], argv[4], std::cout, std::cerr);
    if (command == "filter" && argc == 4 && std::strcmp(argv[3], "--conditions") != 0)
        return RunFilterCommand(argv[2], argv[3], std::cout, std::cerr);
    if (command == "conditions" && argc == 3)
        return RunConditionsCommand(argv[2], std::cout, std::cerr);
    if (command == "search")
        return RunSearchCommand(std::vector<std::string>(argv + 2, argv + argc), std::cout,
                                std::cerr);
    if (command == "sources")
        return RunSourcesCommand(std::vector<std::string>(argv + 2, argv + argc), std::cout,
                                 std::cerr);
    if (command == "export")
        return RunExportCommand(std::vector<std::string>(argv + 2, argv + argc), std::cout,
                                std::cerr);
    if (command == "verify")
        return RunVerifyCommand(std::vector<std::string>(argv + 2, argv + argc), std::cout,
                                std::cerr);
    if (command == "import")
        return RunImportCommand(std::vector<std::string>(argv + 2, argv + argc), std::cout,
                                std::cerr);
    if (command == "check")
        return RunCheckCommand(std::vector<std::string>(argv + 2, argv + argc), std::cout,
                               std::cerr);
    if (command == "duplicates")
        return RunDuplicatesCommand(std::vector<std::string>(argv + 2, argv + argc), std::cout,
                                    std::cerr);
    return usage();
}
