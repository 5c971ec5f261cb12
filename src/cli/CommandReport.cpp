#include "cli/CommandReport.h"

#include "cli/EvalCommand.h"
#include "tree/TQelPigger.h"

#include <QFileInfo>

#include <exception>

bool LoadCommandReport(TQelPigger& doc, const std::string& fileName, std::ostream& err) {
    if (QFileInfo(QString::fromLocal8Bit(fileName.c_str())).isDir()) {
        WriteErrorLine(err, fileName + ": is a folder");
        return false;
    }
    try {
        doc.LoadFromFile(fileName);
    } catch (const EQelPiggerError& e) {
        WriteErrorLine(err, fileName + ": not a report (" + e.what() + " at position " +
                                std::to_string(e.Position) + ")");
        return false;
    } catch (const std::exception& e) {
        WriteErrorLine(err, e.what());
        return false;
    }
    return true;
}
