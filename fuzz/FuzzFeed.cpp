// A reply of the search feed, read and harvested into a report as an automatic search does.
#include "FuzzCheck.h"
#include "report/ReportLayout.h"
#include "report/ReportRecords.h"
#include "search/FeedReply.h"
#include "tree/TQelPigger.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    TQelPigger report;
    report.SetName(ReportKeys::Root);
    TQelPigger* urls = report.AddChild(ReportKeys::Urls);
    ReportRecords records;
    FeedReply reply;
    reply.Load(body);
    std::size_t logged = 0;
    if (!reply.ParseReply([&](const std::string& line) { logged += line.size(); }))
        return 0;
    const int added =
        reply.HarvestListings([&](const std::string& title, const std::string& description,
                                  const std::string& url, const std::string& redirect) {
            return records.AddListing(urls, title, description, url, redirect);
        });
    FuzzCheck(added >= 0 && added <= urls->ChildCount(), "every new record is in the report");
    // The harvested report is saved and opened again like any other.
    const std::string saved = report.GetAsText();
    TQelPigger reopened;
    reopened.SetAsText(saved);
    FuzzCheck(reopened.GetAsText() == saved, "the harvested report reads back the same");
    return 0;
}
