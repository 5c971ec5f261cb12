// "qrl search": one automatic search run into a report file, with the program's own request,
// reply processing, AddListing and Save.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// args: the arguments after "search". Writes the log lines to out, one per line, and errors to
// err. Returns 0 when the run ended without a failed request, 1 when a request could not be
// sent (or the report could not be saved), 2 for wrong arguments or a report that cannot be
// read (the file is then left as it is).
int RunSearchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The usage lines of the command.
extern const char* const SearchUsage;
