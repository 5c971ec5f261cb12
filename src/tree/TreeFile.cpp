#include "tree/TreeFile.h"

#include "tree/LocalText.h"
#include "tree/TQelPigger.h"

#include <QFileInfo>

void LoadTreeFile(TQelPigger& tree, const std::string& fileName) {
    const QFileInfo info(ToQPath(fileName));
    // A missing file is left to the reader, which words that case itself.
    if (info.exists() && !info.isFile())
        throw EQelFileError("Cannot open file \"" + fileName + "\": " +
                            (info.isDir() ? "it is a folder" : "it is not a regular file"));
    if (info.size() > MaxTreeFileBytes)
        throw EQelFileError("Cannot read file \"" + fileName + "\": it is too large (" +
                            std::to_string(info.size()) + " bytes; at most " +
                            std::to_string(MaxTreeFileBytes) + " can be read)");
    tree.LoadFromFile(fileName);
}
