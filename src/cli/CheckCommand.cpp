#include "cli/CheckCommand.h"

#include "cli/CommandOptions.h"
#include "cli/CommandReport.h"
#include "cli/ErrorLine.h"
#include "links/CheckMessages.h"
#include "links/LinkCheckRun.h"
#include "links/LinkResults.h"
#include "report/ReportFile.h"
#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"

#include <QDateTime>

#include <limits>
#include <optional>
#include <ostream>

const char* const CheckUsage =
    "  qrl check [--checked] [--parallel N] [--interval MS] [--timeout MS]\n"
    "            [--details | --all-details] [--proxy HOST:PORT [--proxy-user USER]\n"
    "            [--proxy-pass PASS]] REPORT\n"
    "                          check whether the addresses of REPORT still answer and keep\n"
    "                          the outcome in its records (--checked: the ticked records\n"
    "                          only; --details: fill in empty titles and descriptions from\n"
    "                          the pages, --all-details: every one the pages give)\n";

namespace {

struct CheckArgs {
    bool ticked = false;
    bool details = false;
    DetailsScope detailsScope = DetailsScope::Empty;
    LinkCheckRun::Options options;
    ProxyValues proxy;
    std::string report;
};

// The most requests a check may have in flight.
constexpr int MaxParallel = 64;
constexpr int MaxIntervalMs = 600000;

bool ParseArgs(const std::vector<std::string>& args, CheckArgs& a, std::string& error) {
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) != 0)
            break;
        if (arg == "--checked") {
            a.ticked = true;
            continue;
        }
        if (arg == "--details" || arg == "--all-details") {
            a.details = true;
            a.detailsScope = arg == "--details" ? DetailsScope::Empty : DetailsScope::All;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = arg + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        const auto number = [&](int& into, int low, int high, const char* what) {
            const std::optional<int> n = NumberIn(value, low, high);
            if (!n) {
                error = arg + " needs " + what + " from " + std::to_string(low) + " to " +
                        std::to_string(high);
                return false;
            }
            into = *n;
            return true;
        };
        if (arg == "--parallel") {
            if (!number(a.options.parallel, 1, MaxParallel, "a number"))
                return false;
        } else if (arg == "--interval") {
            if (!number(a.options.intervalMs, 0, MaxIntervalMs, "milliseconds"))
                return false;
        } else if (arg == "--timeout") {
            if (!number(a.options.timeoutMs, 1, std::numeric_limits<int>::max(), "milliseconds"))
                return false;
        } else if (arg == "--proxy") {
            if (!ParseProxy(value, a.proxy)) {
                error = "--proxy needs HOST:PORT";
                return false;
            }
        } else if (arg == "--proxy-user") {
            a.proxy.user = value;
        } else if (arg == "--proxy-pass") {
            a.proxy.password = value;
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
    if (i < args.size()) {
        error = "unexpected " + args[i];
        return false;
    }
    if (!a.proxy.use && (!a.proxy.user.empty() || !a.proxy.password.empty())) {
        error = "--proxy-user and --proxy-pass need --proxy";
        return false;
    }
    return true;
}

} // namespace

int RunCheckCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CheckArgs a;
    std::string error;
    if (!ParseArgs(args, a, error)) {
        WriteErrorLine(err, "qrl check: " + error);
        err << "Usage:\n" << CheckUsage;
        return 2;
    }
    TQelPigger doc;
    if (!LoadCommandReport(doc, a.report, err))
        return 2;
    TQelPigger* urls = doc.FindChild(ReportKeys::Urls);
    const std::vector<TQelPigger*> records =
        RecordsToCheck(urls, a.ticked ? CheckScope::Ticked : CheckScope::All);
    std::vector<std::string> addresses;
    addresses.reserve(records.size());
    for (const TQelPigger* record : records)
        addresses.emplace_back(record->AttrRef(RecordFields::Url));

    a.options.details = a.details;
    a.options.proxy = [&] { return a.proxy; };
    LinkCheckRun run(std::move(addresses), a.options);
    bool changed = false;
    QObject::connect(&run, &LinkCheckRun::checked, [&](int index, const ProbeResult& result) {
        TQelPigger* record = records[static_cast<std::size_t>(index)];
        if (EnterProbeResult(record, result, QDateTime::currentDateTimeUtc(), a.details,
                             a.detailsScope))
            changed = true;
        if (!result.aborted)
            out << CheckedRecordLine(record) << std::endl;
    });
    run.Start();
    run.WaitForEnd();
    out << CheckCountLine(run.Progress()) << std::endl;

    if (changed && !SaveReportFile(doc, a.report, true, &error)) {
        WriteErrorLine(err, a.report + ": the report was not saved: " + error);
        return 1;
    }
    return 0;
}
