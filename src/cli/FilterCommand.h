// "qrl filter REPORT TEXT": the addresses of the report's records that the filter passes.
#pragma once

#include <iosfwd>
#include <string>

// Writes the URL of every record (LISTING under URLS, in order) that passes with text as the
// filter's expression, one per line. Returns 0; 1 after writing an error (an unreadable
// report, or the evaluator's error at the record where it arose) to err.
int RunFilterCommand(const std::string& reportFile, const std::string& text, std::ostream& out,
                     std::ostream& err);

// "qrl filter REPORT --conditions FILE": as above, with the expression text that the diagram
// of the conditions file generates. Returns 1 after writing why a conditions file could not be
// read to err.
int RunFilterConditionsCommand(const std::string& reportFile, const std::string& conditionsFile,
                               std::ostream& out, std::ostream& err);
