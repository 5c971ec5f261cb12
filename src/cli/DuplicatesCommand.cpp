#include "cli/CheckCommand.h"

#include "cli/CommandReport.h"
#include "cli/ErrorLine.h"
#include "report/Duplicates.h"
#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"

#include <ostream>

const char* const DuplicatesUsage =
    "  qrl duplicates REPORT   the groups of records of REPORT that name the same page:\n"
    "                          the address they share, then a TAB and each record's URL\n";

int RunDuplicatesCommand(const std::vector<std::string>& args, std::ostream& out,
                         std::ostream& err) {
    std::string report;
    for (const std::string& a : args) {
        if (a.size() > 1 && a[0] == '-') {
            WriteErrorLine(err, "qrl duplicates: unknown option: " + a);
            return 2;
        }
        if (!report.empty()) {
            WriteErrorLine(err, "qrl duplicates: more than one report given: " + a);
            return 2;
        }
        report = a;
    }
    if (report.empty()) {
        WriteErrorLine(err, "qrl duplicates: no report given");
        return 2;
    }
    TQelPigger doc;
    if (!LoadCommandReport(doc, report, err))
        return 2;
    bool first = true;
    for (const DuplicateGroup& group : FindDuplicates(doc.FindChild(ReportKeys::Urls))) {
        if (!first)
            out << '\n';
        first = false;
        out << group.key << '\n';
        for (const TQelPigger* record : group.records)
            out << '\t' << record->AttrRef(RecordFields::Url) << '\n';
    }
    out.flush();
    return 0;
}
