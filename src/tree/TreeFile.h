// Reading a tagged-tree file from the disk, refusing what cannot be one: anything but a regular
// file (a device such as /dev/zero would be read without end, a named pipe would wait forever)
// and files larger than the reader's positions can count.
#pragma once

#include <cstdint>
#include <string>

class TQelPigger;

// The largest tree file that is read: positions in the text are 32-bit, and reading can
// double the length of a text whose lines end in a lone CR or LF.
inline constexpr std::int64_t MaxTreeFileBytes = (std::int64_t(1) << 30) - 1;

// tree.LoadFromFile(fileName) once the file is known to be a regular file of at most
// MaxTreeFileBytes; otherwise raises EQelFileError ("Cannot open file ..." or "Cannot read
// file ...") and leaves tree as it was.
void LoadTreeFile(TQelPigger& tree, const std::string& fileName);
