#include "cli/FilterCommand.h"

#include "cli/ErrorLine.h"
#include "filter/core/FilterMatcher.h"
#include "filter/diagram/CloudDiagram.h"
#include "filter/diagram/ConditionsFile.h"
#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"
#include "tree/TreeFile.h"

#include <exception>
#include <ostream>

int RunFilterCommand(const std::string& reportFile, const std::string& text, std::ostream& out,
                     std::ostream& err) {
    TQelPigger report;
    try {
        LoadTreeFile(report, reportFile);
    } catch (const EQelPiggerError& e) {
        WriteErrorLine(err, DescribeReadError(e, reportFile));
        return 1;
    } catch (const std::exception& e) {
        WriteErrorLine(err, e.what());
        return 1;
    }
    TFilterMatcher filter;
    filter.ExprText = text;
    int code = 0;
    if (const TQelPigger* urls = report.FindChild(ReportKeys::Urls)) {
        try {
            for (const TQelPigger* record : urls->Children()) {
                if (record->Name() != RecordFields::Listing)
                    continue;
                if (filter.Matches(record))
                    out << record->AttrRef(RecordFields::Url) << '\n';
            }
        } catch (const std::exception& e) {
            out.flush();
            WriteErrorLine(err, e.what());
            code = 1;
        }
    }
    out.flush();
    return code;
}

int RunFilterConditionsCommand(const std::string& reportFile, const std::string& conditionsFile,
                               std::ostream& out, std::ostream& err) {
    TCloudDiagram diagram;
    diagram.Start();
    try {
        LoadConditionsFile(diagram, conditionsFile);
    } catch (const std::exception& e) {
        WriteErrorLine(err, DescribeConditionsError(e, conditionsFile));
        return 1;
    }
    // The text that "Filter on" stores for this diagram.
    return RunFilterCommand(reportFile, diagram.ExpressionText(), out, err);
}
