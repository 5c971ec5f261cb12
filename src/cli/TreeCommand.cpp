#include "cli/TreeCommand.h"

#include "cli/ErrorLine.h"
#include "tree/TQelPigger.h"
#include "tree/TreeFile.h"

#include <ostream>

int RunTreeCommand(const std::string& fileName, std::ostream& out, std::ostream& err) {
    TQelPigger tree;
    try {
        LoadTreeFile(tree, fileName);
    } catch (const EQelPiggerError& e) {
        WriteErrorLine(err, DescribeReadError(e, fileName));
        return 1;
    } catch (const EQelFileError& e) {
        WriteErrorLine(err, e.what());
        return 2;
    }
    tree.SaveToStream(out);
    out.flush();
    return 0;
}
