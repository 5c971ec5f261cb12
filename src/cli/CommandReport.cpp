#include "cli/CommandReport.h"

#include "cli/ErrorLine.h"
#include "cli/EvalCommand.h"
#include "tree/LocalText.h"
#include "tree/TQelPigger.h"
#include "tree/TreeFile.h"

#include <QFileInfo>

#include <exception>

bool LoadCommandReport(TQelPigger& doc, const std::string& fileName, std::ostream& err) {
    if (QFileInfo(ToQPath(fileName)).isDir()) {
        WriteErrorLine(err, fileName + ": is a folder");
        return false;
    }
    try {
        LoadTreeFile(doc, fileName);
    } catch (const EQelPiggerError& e) {
        WriteErrorLine(err, DescribeReadError(e, fileName));
        return false;
    } catch (const std::exception& e) {
        WriteErrorLine(err, e.what());
        return false;
    }
    return true;
}
