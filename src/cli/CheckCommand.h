// "qrl check": the link check (and with --details the filling in of titles and descriptions) of
// a report's records, with the same run and the same entering of results as the program's
// "Check links"; the report is saved afterwards. "qrl duplicates": the groups of records that
// name the same page.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// args: the arguments after "check":
//   [--checked] [--parallel N] [--interval MS] [--timeout MS] [--details | --all-details]
//   [--proxy HOST:PORT [--proxy-user USER] [--proxy-pass PASS]] REPORT
// Writes one line per record as it is checked (its verdict text, a TAB, its address, and the
// final address after " -> " when moved) and a summary line at the end; errors to err. Returns 0
// when the check ran and the report was saved, 1 when the report could not be saved, 2 for wrong
// arguments or a report or settings file that cannot be read (the report is then left as it is).
int RunCheckCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// args: the arguments after "duplicates": REPORT. Writes each group: its address key, then one
// line per record (TAB, its URL), groups separated by an empty line. Returns 0, or 2 for wrong
// arguments or a report that cannot be read.
int RunDuplicatesCommand(const std::vector<std::string>& args, std::ostream& out,
                         std::ostream& err);

extern const char* const CheckUsage;
extern const char* const DuplicatesUsage;
