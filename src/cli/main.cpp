// qrl: the command-line companion of Quarrylog.
#include "cli/TreeCommand.h"

#include <QCoreApplication>

#include <cstring>
#include <iostream>
#include <string>

namespace {

int usage() {
    std::cerr << "Usage:\n"
                 "  qrl tree FILE     read a tagged-tree file and write it back\n";
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    std::ios::sync_with_stdio(false);
    if (argc < 2)
        return usage();
    const std::string command = argv[1];
    if (command == "tree" && argc == 3)
        return RunTreeCommand(argv[2], std::cout, std::cerr);
    return usage();
}
