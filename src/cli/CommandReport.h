// Reading the report named on the command line.
#pragma once

#include <iosfwd>
#include <string>

class TQelPigger;

// Reads fileName into doc; false after writing a one-line error ("REPORT: reason") to err.
bool LoadCommandReport(TQelPigger& doc, const std::string& fileName, std::ostream& err);
