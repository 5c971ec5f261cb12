// How the qrl commands report an error: one line on standard error.
#pragma once

#include <iosfwd>
#include <string>

// Writes an error message as one line: its CR and LF as \r and \n.
void WriteErrorLine(std::ostream& err, const std::string& message);

// Keeps Qt's own warnings off standard error, so that a failing command writes its one line
// only (what went wrong reaches the user in that line).
void SilenceQtMessages();
