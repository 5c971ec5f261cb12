#include "links/CheckMessages.h"

#include "report/LinkState.h"
#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"

std::string CheckCountLine(const LinkCheckRun::Counts& counts) {
    return "Checked " + std::to_string(counts.done) + " of " + std::to_string(counts.total) + ": " +
           std::to_string(counts.alive) + " alive, " + std::to_string(counts.moved) + " moved, " +
           std::to_string(counts.dead) + " dead, " + std::to_string(counts.failed) + " failed";
}

std::string CheckedRecordLine(const TQelPigger* record) {
    if (!record)
        return {};
    std::string line = LinkStatusText(record);
    line += '\t';
    line += record->AttrRef(RecordFields::Url);
    if (const std::string_view final = record->AttrRef(LinkFields::FinalUrl); !final.empty()) {
        line += " -> ";
        line += final;
    }
    return line;
}
