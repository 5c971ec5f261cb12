// "qrl verify REPORT [--settings FILE] [--ca FILE]".
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// args are the words after "verify". Recomputes the hash of every capture of the report's
// captures folder and writes one line per capture to out, "intact\tFILE\tURL", "changed\t..."
// or "missing\t...", then the stamp's line when the manifest has one ("stamp\tSTATE\tTIME" and
// the detail) and a summary line. The stamp's signature is checked with the CA file of --ca, or
// else of the settings (the program's own settings file unless --settings names one). Returns 0
// when every capture is intact and a stamp, if any, is valid or could not be checked for want of
// a CA file; 1 otherwise (also after a one-line error on err when the captures folder's manifest
// cannot be read); 2 for wrong arguments or a report that cannot be read.
int RunVerifyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

extern const char* const VerifyUsage;
