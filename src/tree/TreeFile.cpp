#include "tree/TreeFile.h"

#include "tree/TQelPigger.h"

void LoadTreeFile(TQelPigger& tree, const std::string& fileName) {
    tree.LoadFromFile(fileName);
}
