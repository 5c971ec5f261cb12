// qrl: the command-line companion of Quarrylog.
#include "cli/ConditionsCommand.h"
#include "cli/EvalCommand.h"
#include "cli/FilterCommand.h"
#include "cli/TreeCommand.h"
#include "filter/FilterFunctions.h"
#include "settings/AppInfo.h"

#include <QCoreApplication>

#include <cstring>
#include <iostream>
#include <string>

namespace {

int usage() {
    std::cerr << "Usage:\n"
                 "  qrl tree FILE           read a tagged-tree file and write it back\n"
                 "  qrl eval TEXT           evaluate an expression: its type, a TAB, its value\n"
                 "  qrl filter REPORT TEXT  the URL of every record of REPORT that TEXT passes\n"
                 "  qrl conditions FILE     the filter expression of a conditions file\n";
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
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
    if (command == "eval" && argc == 3)
        return RunEvalCommand(argv[2], std::cout, std::cerr);
    if (command == "filter" && argc == 4)
        return RunFilterCommand(argv[2], argv[3], std::cout, std::cerr);
    if (command == "conditions" && argc == 3)
        return RunConditionsCommand(argv[2], std::cout, std::cerr);
    return usage();
}
