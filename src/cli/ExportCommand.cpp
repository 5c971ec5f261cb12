#include "cli/ExportCommand.h"

#include "cli/CommandReport.h"
#include "cli/ErrorLine.h"
#include "cli/EvalCommand.h"
#include "exchange/Export.h"
#include "exchange/ExportPackage.h"
#include "tree/TQelPigger.h"

#include <optional>
#include <ostream>

int RunExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string report, output, formatName;
    bool checkedOnly = false, haveOutput = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--checked") {
            checkedOnly = true;
        } else if ((a == "--format" || a == "-o" || a == "--output") && i + 1 < args.size()) {
            (a == "--format" ? formatName : output) = args[++i];
            haveOutput = haveOutput || a != "--format";
        } else if (a.rfind("--format=", 0) == 0) {
            formatName = a.substr(9);
        } else if (a.size() > 1 && a[0] == '-') {
            WriteErrorLine(err, "qrl export: unknown option or missing value: " + a);
            return 2;
        } else if (report.empty()) {
            report = a;
        } else {
            WriteErrorLine(err, "qrl export: more than one report given: " + a);
            return 2;
        }
    }
    if (report.empty()) {
        WriteErrorLine(err, "qrl export: no report given");
        return 2;
    }
    const std::optional<ExportFormat> format = ExportFormatNamed(formatName);
    if (!format) {
        WriteErrorLine(err, formatName.empty()
                                ? "qrl export: --format html|csv|json|bookmarks|package is needed"
                                : "qrl export: unknown format \"" + formatName +
                                      "\" (html, csv, json, bookmarks or package)");
        return 2;
    }
    if (*format == ExportFormat::Package && !haveOutput) {
        WriteErrorLine(err, "qrl export: --format package needs -o FOLDER");
        return 2;
    }
    TQelPigger doc;
    if (!LoadCommandReport(doc, report, err))
        return 1;
    if (haveOutput) {
        std::string error;
        if (*format == ExportFormat::Package
                ? !ExportPackage(doc, report, output, checkedOnly, &error)
                : !ExportReportToFile(doc, *format, checkedOnly, output, &error)) {
            WriteErrorLine(err, error);
            return 1;
        }
        return 0;
    }
    const QByteArray bytes = ExportReport(doc, *format, checkedOnly);
    out.write(bytes.constData(), bytes.size());
    out.flush();
    return out ? 0 : 1;
}
