// "qrl tree FILE": reads a tagged-tree file and writes it back to standard output.
#pragma once

#include <iosfwd>
#include <string>

int RunTreeCommand(const std::string& fileName, std::ostream& out, std::ostream& err);
