#include "cli/SearchCommand.h"

#include "cli/CommandOptions.h"
#include "cli/ErrorLine.h"
#include "cli/EvalCommand.h"
#include "report/ReportFile.h"
#include "report/ReportInfo.h"
#include "report/ReportLayout.h"
#include "report/ReportRecords.h"
#include "search/SearchRun.h"
#include "search/SourceDiscovery.h"
#include "search/SourceRun.h"
#include "settings/core/AppInfo.h"
#include "settings/core/SearchSources.h"
#include "tree/TQelPigger.h"
#include "tree/TreeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <limits>
#include <optional>
#include <ostream>

const char* const SearchUsage =
    "  qrl search [--feed HOST[:PORT]] [--proxy HOST:PORT] [--proxy-user USER]\n"
    "             [--proxy-pass PASS] [--timeout MS] REPORT KEYWORD...\n"
    "                          search the feed for each KEYWORD and add the pages to REPORT\n"
    "  qrl search (--source NAME [--settings FILE] | --opensearch TEMPLATE_OR_ADDRESS |\n"
    "              --searx BASE_URL) [--pages N] [--parallel N] [--interval MS]\n"
    "             [--proxy ...] [--timeout MS] REPORT KEYWORD...\n"
    "                          the same with another search source: one of the settings\n"
    "                          file, an OpenSearch template, description or page naming\n"
    "                          one, or a searx server\n";

const char* const SourcesUsage = "  qrl sources [--settings FILE]\n"
                                 "                          the search sources of the settings "
                                 "file, one a line\n";

namespace {

struct SearchArgs {
    std::string feed = AppInfo::DefaultFeedHost;
    bool feedGiven = false;
    ProxyValues proxy;
    int timeoutMs = FeedTransfer::DefaultTimeoutMs;
    std::string settings;
    std::string sourceName, opensearch, searx;
    std::optional<int> pages, parallel, intervalMs;
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
        const auto number = [&](std::optional<int>& into, int low, int high, const char* what) {
            into = NumberIn(value, low, high);
            if (!into)
                error = arg + " needs " + what + " from " + std::to_string(low) + " to " +
                        std::to_string(high);
            return into.has_value();
        };
        if (arg == "--feed") {
            a.feed = value;
            a.feedGiven = true;
        } else if (arg == "--proxy") {
            if (!ParseProxy(value, a.proxy)) {
                error = "--proxy needs HOST:PORT";
                return false;
            }
        } else if (arg == "--proxy-user") {
            a.proxy.user = value;
        } else if (arg == "--proxy-pass") {
            a.proxy.password = value;
        } else if (arg == "--timeout") {
            const std::optional<int> ms = NumberIn(value, 1, std::numeric_limits<int>::max());
            if (!ms) {
                error = "--timeout needs a number of milliseconds";
                return false;
            }
            a.timeoutMs = *ms;
        } else if (arg == "--settings") {
            a.settings = value;
        } else if (arg == "--source") {
            a.sourceName = value;
        } else if (arg == "--opensearch") {
            a.opensearch = value;
        } else if (arg == "--searx") {
            a.searx = value;
        } else if (arg == "--pages") {
            if (!number(a.pages, 1, SearchSource::MaxPages, "a number"))
                return false;
        } else if (arg == "--parallel") {
            if (!number(a.parallel, 1, SearchSource::MaxParallel, "a number"))
                return false;
        } else if (arg == "--interval") {
            if (!number(a.intervalMs, 0, SearchSource::MaxIntervalMs, "milliseconds"))
                return false;
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
    const int chosen =
        int(!a.sourceName.empty()) + int(!a.opensearch.empty()) + int(!a.searx.empty());
    if (chosen > 1) {
        error = "give one of --source, --opensearch and --searx";
        return false;
    }
    if (!a.settings.empty() && a.sourceName.empty()) {
        error = "--settings goes with --source";
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

// The source the arguments name (the feed without any); false with the reason and the exit
// status when there is none to use. An --opensearch address is looked into over the network.
bool ChooseSource(SearchArgs& a, SearchSource& source, std::string& error, int& code) {
    code = 2;
    source = FeedSource();
    if (!a.sourceName.empty()) {
        TQelPigger settings;
        std::string fileName;
        if (!ReadSettings(a.settings, settings, fileName, error))
            return false;
        const std::vector<SearchSource> sources = ReadSources(settings);
        const SearchSource* found = FindSource(sources, a.sourceName);
        if (!found) {
            error =
                "no source \"" + a.sourceName + "\" in " + fileName + " (qrl sources lists them)";
            return false;
        }
        source = *found;
        // The feed as the settings name it.
        if (!a.feedGiven)
            a.feed = FeedHost(settings);
    } else if (!a.searx.empty()) {
        source.kind = SearchSource::Searx;
        source.name = a.searx;
        source.address = a.searx;
    } else if (!a.opensearch.empty()) {
        DiscoveredSources found;
        if (!DiscoverOpenSearch(a.opensearch, a.proxy, a.timeoutMs, found, error)) {
            code = 1;
            return false;
        }
        source = found.sources.front();
    }
    if (source.kind == SearchSource::Feed) {
        if (a.pages || a.parallel || a.intervalMs) {
            error = "--pages, --parallel and --interval apply to sources other than the feed";
            return false;
        }
        return true;
    }
    if (a.feedGiven) {
        error = "--feed applies to the feed only";
        return false;
    }
    source.pages = a.pages.value_or(source.pages);
    source.parallel = a.parallel.value_or(source.parallel);
    source.intervalMs = a.intervalMs.value_or(source.intervalMs);
    if (const std::string why = CheckSource(source); !why.empty()) {
        error = "the source \"" + source.name + "\" cannot be used: " + why;
        return false;
    }
    return true;
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
    // What needs no network first: the source named in the settings, then the report.
    const bool lookUp = !a.opensearch.empty();
    SearchSource source;
    int code = 0;
    if (!lookUp && !ChooseSource(a, source, error, code)) {
        WriteErrorLine(err, "qrl search: " + error);
        return code;
    }
    TQelPigger doc;
    if (!ReadReport(doc, a.report, error)) {
        WriteErrorLine(err, a.report + ": " + error);
        return 2;
    }
    if (lookUp && !ChooseSource(a, source, error, code)) {
        WriteErrorLine(err, "qrl search: " + error);
        return code;
    }
    TQelPigger* urls = doc.FindChild(ReportKeys::Urls);
    if (!urls) {
        urls = new TQelPigger(&doc);
        urls->SetName(ReportKeys::Urls);
    }

    ReportRecords records;
    bool modified = false;
    const auto log = [&](const std::string& line) { out << line << std::endl; };
    const auto proxy = [&] { return a.proxy; };
    const auto add = [&](const std::string& title, const std::string& description,
                         const std::string& url, const std::string& redirect) {
        modified = true;
        return records.AddListing(urls, title, description, url, redirect);
    };
    if (source.kind == SearchSource::Feed) {
        SearchRun run(SearchRun::Hooks{
            log,
            proxy,
            add,
            {},
            [&](const TransferResult& result) {
                WriteErrorLine(err, "qrl search: " + result.error);
            },
        });
        run.FeedHostText = a.feed;
        run.TimeoutMs = a.timeoutMs;
        run.Start(a.keywords);
        run.WaitForEnd();
        code = run.Failed ? 1 : 0;
    } else {
        SourceRun run(source, SourceRun::Hooks{log, proxy, add, {}});
        run.TimeoutMs = a.timeoutMs;
        run.Start(a.keywords);
        run.WaitForEnd();
        code = run.FailedKeywords > 0 ? 1 : 0;
    }

    if (modified && !SaveReportFile(doc, a.report, true, &error)) {
        WriteErrorLine(err, a.report + ": the report was not saved: " + error);
        code = 1;
    }
    return code;
}

int RunSourcesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string given;
    if (args.size() == 2 && args[0] == "--settings") {
        given = args[1];
    } else if (!args.empty()) {
        WriteErrorLine(err, "qrl sources: " + (args[0] == "--settings"
                                                   ? std::string("--settings needs a file")
                                                   : "unexpected " + args[0]));
        err << "Usage:\n" << SourcesUsage;
        return 2;
    }
    TQelPigger settings;
    std::string fileName, error;
    if (!ReadSettings(given, settings, fileName, error)) {
        WriteErrorLine(err, "qrl sources: " + error);
        return 2;
    }
    for (const SearchSource& s : ReadSources(settings)) {
        const bool feed = s.kind == SearchSource::Feed;
        out << s.name << '\t' << SourceKindWord(s.kind) << '\t'
            << (feed ? FeedHost(settings) : s.address) << '\t' << s.pages << '\t' << s.parallel
            << '\t' << (feed ? 0 : s.intervalMs) << '\n';
    }
    return 0;
}
