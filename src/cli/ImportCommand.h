// "qrl import REPORT FILE [--format bookmarks|csv|json|text]".
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// args are the words after "import". Adds the pages of FILE that are not yet in the report as
// new records, writes the summary line to out and saves the report (with its backup) when
// something was added; an unchanged report is not written. Returns 0; 1 after a one-line error
// on err (unreadable report or file, CSV without a url column, report not saved), 2 for wrong
// arguments.
int RunImportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
