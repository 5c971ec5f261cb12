// "qrl search": one automatic search run into a report file, with the program's own request,
// reply processing, AddListing and Save; the feed or another search source. "qrl sources": the
// search sources of a settings file.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// args: the arguments after "search". Writes the log lines to out, one per line, and errors to
// err. Returns 0 when the run ended without a failed request (for another source: without a
// failed keyword), 1 when a request could not be sent, a keyword failed, no source was found
// at an --opensearch address (or the report could not be saved), 2 for wrong arguments, a
// report or settings file that cannot be read, or a source that is not there or cannot be used
// (the report is then left as it is).
int RunSearchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// args: the arguments after "sources". Writes one line per source: name, kind word, address
// (the feed's host for the feed), pages, keywords in flight and interval, separated by TABs,
// the feed first. Returns 0, or 2 for wrong arguments or a settings file that cannot be read.
int RunSourcesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The usage lines of the commands.
extern const char* const SearchUsage;
extern const char* const SourcesUsage;
