// Keeping a file that cannot be used out of the way, so that a fresh one can take its name.
#pragma once

#include <string>
#include <string_view>

// Renames (or, when renaming fails, copies) the file to its name followed by suffix, or by
// suffix, a point and 2, 3, ... when such a file already exists: an earlier kept copy is never
// overwritten. Gives the name it was kept as, or "" when it could not be kept.
std::string KeepAside(const std::string& fileName, std::string_view suffix);
