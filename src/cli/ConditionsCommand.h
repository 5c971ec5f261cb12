// "qrl conditions FILE": reads a conditions file into a diagram and writes the expression
// text that the diagram generates from it.
#pragma once

#include <iosfwd>
#include <string>

// 0 after writing the text and one LF to out; 1 for a file that cannot be read as a
// conditions file, 2 for one that cannot be opened, each with one line on err.
int RunConditionsCommand(const std::string& fileName, std::ostream& out, std::ostream& err);
