#include "cli/ImportCommand.h"

#include "cli/CommandReport.h"
#include "cli/ErrorLine.h"
#include "cli/EvalCommand.h"
#include "exchange/Import.h"
#include "report/ReportFile.h"
#include "report/ReportInfo.h"
#include "report/ReportLayout.h"
#include "report/ReportRecords.h"
#include "settings/core/AppInfo.h"
#include "tree/TQelPigger.h"

#include <optional>
#include <ostream>

int RunImportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> files;
    std::string formatName;
    bool formatGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--format" && i + 1 < args.size()) {
            formatName = args[++i];
            formatGiven = true;
        } else if (a.rfind("--format=", 0) == 0) {
            formatName = a.substr(9);
            formatGiven = true;
        } else if (a.size() > 1 && a[0] == '-') {
            WriteErrorLine(err, "qrl import: unknown option or missing value: " + a);
            return 2;
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2) {
        WriteErrorLine(err, "qrl import: a report and a file to import are needed");
        return 2;
    }
    std::optional<ImportFormat> format;
    if (formatGiven) {
        format = ImportFormatNamed(formatName);
        if (!format) {
            WriteErrorLine(err, "qrl import: unknown format \"" + formatName +
                                    "\" (bookmarks, csv, json or text)");
            return 2;
        }
    }
    const std::string& reportFile = files[0];
    TQelPigger doc;
    if (!LoadCommandReport(doc, reportFile, err))
        return 1;
    std::vector<ExchangeRecord> pages;
    try {
        pages = ReadImportFile(files[1], format);
    } catch (const ImportError& e) {
        WriteErrorLine(err, e.what());
        return 1;
    }
    // An empty report file is a new report, as the program treats it.
    if (doc.Name().empty())
        MakeNewReport(doc, AppInfo::Version);
    TQelPigger* urls = doc.FindChild(ReportKeys::Urls);
    if (!urls) {
        urls = new TQelPigger(&doc);
        urls->SetName(ReportKeys::Urls);
    }
    ReportRecords records;
    const ImportCounts counts = ImportPages(urls, records, pages);
    if (counts.added > 0) {
        std::string error;
        if (!SaveReportFile(doc, reportFile, true, &error)) {
            WriteErrorLine(err, "qrl import: the report was not saved: " + error);
            return 1;
        }
    }
    out << ImportSummary(counts) << '\n';
    out.flush();
    return 0;
}
