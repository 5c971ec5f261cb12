// Reading a tree from a file, through the file boundary (see FileBoundary.h).
#pragma once

#include "tree/FileBoundary.h"

#include <string>

class TQelPigger;

// tree.LoadFromFile(fileName): raises EQelFileError ("Cannot open file "NAME": reason" or, for a
// file too large, "Cannot read file ...") and leaves tree as it was when the file is refused.
void LoadTreeFile(TQelPigger& tree, const std::string& fileName);
