// "qrl export REPORT --format html|csv|json|bookmarks [--checked] [-o FILE]" and
// "qrl export REPORT --format package [--checked] -o FOLDER".
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// args are the words after "export". Writes the report in the format to FILE, or to out
// without -o; a package is the folder -o names (see ExportPackage.h). --checked takes only the
// ticked records. Returns 0; 1 after a one-line error on err (unreadable report, file or package
// not written), 2 for wrong arguments (also a package without -o).
int RunExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
