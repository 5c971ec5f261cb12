#include "cli/TreeCommand.h"

#include "tree/TQelPigger.h"

#include <ostream>

int RunTreeCommand(const std::string& fileName, std::ostream& out, std::ostream& err) {
    TQelPigger tree;
    try {
        tree.LoadFromFile(fileName);
    } catch (const EQelPiggerError& e) {
        err << e.what() << '\t' << e.Position << '\n';
        return 1;
    } catch (const EQelFileError& e) {
        err << e.what() << '\n';
        return 2;
    }
    tree.SaveToStream(out);
    out.flush();
    return 0;
}
