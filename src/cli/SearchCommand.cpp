#include "cli/SearchCommand.h"

#include "cli/ErrorLine.h"
#include "cli/EvalCommand.h"
#include "report/ReportFile.h"
#include "report/ReportInfo.h"
#include "report/ReportLayout.h"
#include "report/ReportRecords.h"
#include "search/SearchRun.h"
#include "settings/core/AppInfo.h"
#include "tree/TQelPigger.h"

#include <charconv>
#include <ostream>

const char* const SearchUsage =
    "  qrl search [--feed HOST[:PORT]] [--proxy HOST:PORT] [--proxy-user USER]\n"
    "             [--proxy-pass PASS] [--timeout MS] REPORT KEYWORD...\n"
    "                          search the feed for each KEYWORD and add the pages to REPORT\n";

namespace {

struct SearchArgs {
    std::string feed = AppInfo::DefaultFeedHost;
    ProxyValues proxy;
    int timeoutMs = FeedTransfer::DefaultTimeoutMs;
    std::string report;
    std::vector<std::string> keywords;
};

// False (with the reason in error) for arguments that make no run.
bool ParseArgs(const std::vector<std::string>& args, SearchArgs& a, std::string& error) {
    size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) != 0)
            break;
        if (i + 1 >= args.size()) {
            error = arg + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        if (arg == "--feed") {
            a.feed = value;
        } else if (arg == "--proxy") {
            const size_t colon = value.rfind(':');
            a.proxy.use = true;
            a.proxy.host = value.substr(0, colon);
            a.proxy.port = 0;
            if (colon != std::string::npos) {
                const std::string port = value.substr(colon + 1);
                const auto [end, ec] =
                    std::from_chars(port.data(), port.data() + port.size(), a.proxy.port);
                if (ec != std::errc() || end != port.data() + port.size() || a.proxy.port < 1 ||
                    a.proxy.port > 65535) {
                    error = "--proxy needs HOST:PORT";
                    return false;
                }
            }
            if (a.proxy.host.empty()) {
                error = "--proxy needs HOST:PORT";
                return false;
            }
        } else if (arg == "--proxy-user") {
            a.proxy.user = value;
        } else if (arg == "--proxy-pass") {
            a.proxy.password = value;
        } else if (arg == "--timeout") {
            const auto [end, ec] =
                std::from_chars(value.data(), value.data() + value.size(), a.timeoutMs);
            if (ec != std::errc() || end != value.data() + value.size() || a.timeoutMs <= 0) {
                error = "--timeout needs a number of milliseconds";
                return false;
            }
        } else {
            error = "unknown option " + arg;
            return false;
        }
    }
    if (i >= args.size()) {
        error = "no report given";
        return false;
    }
    a.report = args[i++];
    a.keywords.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    if (a.keywords.empty()) {
        error = "no keyword given";
        return false;
    }
    if (!a.proxy.use && (!a.proxy.user.empty() || !a.proxy.password.empty())) {
        error = "--proxy-user and --proxy-pass need --proxy";
        return false;
    }
    return true;
}

// Reads the report, or starts a new one for a missing or blank file; false (with the reason, a
// reading error worded as everywhere) when the file cannot be read.
bool ReadReport(TQelPigger& doc, const std::string& fileName, std::string& error) {
    const ReportLoadResult read = ReadReportFile(doc, fileName);
    switch (read.outcome) {
    case ReportLoadResult::Loaded:
        return true;
    case ReportLoadResult::Missing:
    case ReportLoadResult::Empty:
        MakeNewReport(doc, AppInfo::Version);
        return true;
    case ReportLoadResult::Unreadable:
        break;
    }
    error = read.reason;
    return false;
}

} // namespace

int RunSearchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    SearchArgs a;
    std::string error;
    if (!ParseArgs(args, a, error)) {
        WriteErrorLine(err, "qrl search: " + error);
        err << "Usage:\n" << SearchUsage;
        return 2;
    }
    TQelPigger doc;
    if (!ReadReport(doc, a.report, error)) {
        WriteErrorLine(err, a.report + ": " + error);
        return 2;
    }
    TQelPigger* urls = doc.FindChild(ReportKeys::Urls);
    if (!urls) {
        urls = new TQelPigger(&doc);
        urls->SetName(ReportKeys::Urls);
    }

    ReportRecords records;
    bool modified = false;
    SearchRun run(SearchRun::Hooks{
        [&](const std::string& line) { out << line << std::endl; },
        [&] { return a.proxy; },
        [&](const std::string& title, const std::string& description, const std::string& url,
            const std::string& redirect) {
            modified = true;
            return records.AddListing(urls, title, description, url, redirect);
        },
        {},
        [&](const TransferResult& result) { WriteErrorLine(err, "qrl search: " + result.error); },
    });
    run.FeedHostText = a.feed;
    run.TimeoutMs = a.timeoutMs;
    run.Start(a.keywords);
    run.WaitForEnd();

    int code = run.Failed ? 1 : 0;
    if (modified && !SaveReportFile(doc, a.report, true, &error)) {
        WriteErrorLine(err, a.report + ": the report was not saved: " + error);
        code = 1;
    }
    return code;
}
