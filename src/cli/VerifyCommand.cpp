#include "cli/VerifyCommand.h"

#include "capture/CaptureReview.h"
#include "capture/CaptureStore.h"
#include "capture/TrustedTime.h"
#include "cli/CommandOptions.h"
#include "cli/CommandReport.h"
#include "cli/ErrorLine.h"
#include "settings/core/AppInfo.h"
#include "settings/core/CaptureSettings.h"
#include "tree/TQelPigger.h"
#include "tree/TreeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <ostream>

const char* const VerifyUsage =
    "  qrl verify REPORT [--settings FILE] [--ca FILE]\n"
    "                          check every capture of REPORT against its hash (and the\n"
    "                          manifest's time stamp): intact, changed or missing\n";

namespace {

// The CA file to check a stamp with: --ca, else the settings' (the program's own settings file
// unless --settings names one; a missing own file means no settings yet).
bool CaFile(const std::string& given, const std::string& settingsFile, std::string* caFile,
            std::string* error) {
    if (!given.empty()) {
        *caFile = given;
        return true;
    }
    TQelPigger settings;
    std::string fileName;
    if (!ReadSettings(settingsFile, settings, fileName, *error))
        return false;
    *caFile = ReadCaptureSettings(settings).tsaCaFile;
    return true;
}

} // namespace

int RunVerifyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string report, settingsFile, caGiven;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if ((a == "--settings" || a == "--ca") && i + 1 < args.size()) {
            (a == "--ca" ? caGiven : settingsFile) = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            WriteErrorLine(err, "qrl verify: unknown option or missing value: " + a);
            return 2;
        } else if (report.empty()) {
            report = a;
        } else {
            WriteErrorLine(err, "qrl verify: more than one report given: " + a);
            return 2;
        }
    }
    if (report.empty()) {
        WriteErrorLine(err, "qrl verify: no report given");
        return 2;
    }
    TQelPigger doc;
    if (!LoadCommandReport(doc, report, err))
        return 2;
    std::string caFile, error;
    if (!CaFile(caGiven, settingsFile, &caFile, &error)) {
        WriteErrorLine(err, error);
        return 2;
    }
    const std::string folder = CapturesFolderOf(report);
    std::vector<CaptureCheck> checks;
    if (!VerifyCaptures(folder, &checks, &error)) {
        WriteErrorLine(err, error);
        return 1;
    }
    int counts[3] = {};
    for (const CaptureCheck& c : checks) {
        ++counts[static_cast<int>(c.state)];
        out << CaptureStateName(c.state) << '\t' << c.entry.file << '\t'
            << (c.entry.recordUrl.empty() ? c.entry.askedUrl : c.entry.recordUrl) << '\n';
    }
    const StampCheck stamp = CheckManifestStamp(folder, caFile);
    if (stamp.state != StampState::None)
        out << "stamp\t" << StampStateName(stamp.state) << '\t'
            << stamp.time.toString(Qt::ISODate).toStdString() << '\t' << stamp.detail << '\n';
    out << VerifySummary(checks, stamp.state) << "\n";
    out.flush();
    const bool stampHolds = stamp.state == StampState::None || stamp.state == StampState::Valid ||
                            stamp.state == StampState::Unchecked;
    return counts[1] == 0 && counts[2] == 0 && stampHolds && out ? 0 : 1;
}
