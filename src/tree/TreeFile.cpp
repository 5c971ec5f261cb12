#include "tree/TreeFile.h"

#include "tree/LocalText.h"
#include "tree/TQelPigger.h"

#include <QFileInfo>

WholeFileCheck CheckWholeFile(const std::string& fileName) {
    WholeFileCheck check;
    const QFileInfo info(ToQPath(fileName));
    if (!info.exists())
        return check;
    if (!info.isFile()) {
        check.refusal = WholeFileCheck::NotAFile;
        check.reason = info.isDir() ? "it is a folder" : "it is not a regular file";
    } else if (info.size() > MaxTreeFileBytes) {
        check.refusal = WholeFileCheck::TooLarge;
        check.reason = "it is too large (" + std::to_string(info.size()) + " bytes; at most " +
                       std::to_string(MaxTreeFileBytes) + " can be read)";
    }
    return check;
}

void LoadTreeFile(TQelPigger& tree, const std::string& fileName) {
    const WholeFileCheck check = CheckWholeFile(fileName);
    if (check.refusal != WholeFileCheck::None)
        throw EQelFileError((check.refusal == WholeFileCheck::TooLarge ? "Cannot read file \""
                                                                       : "Cannot open file \"") +
                            fileName + "\": " + check.reason);
    tree.LoadFromFile(fileName);
}
