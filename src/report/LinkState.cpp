#include "report/LinkState.h"

#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"

#include <QString>

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

namespace {

constexpr std::array<std::pair<LinkFailure, std::string_view>, 6> FailureNames{{
    {LinkFailure::Dns, "dns"},
    {LinkFailure::Refused, "refused"},
    {LinkFailure::Timeout, "timeout"},
    {LinkFailure::Tls, "tls"},
    {LinkFailure::TooManyRedirects, "too-many-redirects"},
    {LinkFailure::Other, "failed"},
}};

long ReadNumber(std::string_view text) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : 0;
}

std::vector<int> ReadStatuses(std::string_view text) {
    std::vector<int> statuses;
    while (!text.empty()) {
        const auto comma = text.find(',');
        if (const long status = ReadNumber(text.substr(0, comma)); status > 0)
            statuses.push_back(static_cast<int>(status));
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    return statuses;
}

bool Permanent(int status) {
    return status == 301 || status == 308;
}

} // namespace

std::string_view LinkFailureName(LinkFailure failure) {
    for (const auto& [kind, name] : FailureNames)
        if (kind == failure)
            return name;
    return {};
}

LinkFailure LinkFailureFromName(std::string_view name) {
    for (const auto& [kind, known] : FailureNames)
        if (known == name)
            return kind;
    return LinkFailure::None;
}

std::string_view LinkVerdictName(LinkVerdict verdict) {
    switch (verdict) {
    case LinkVerdict::Unchecked:
        return "unchecked";
    case LinkVerdict::Alive:
        return "alive";
    case LinkVerdict::Moved:
        return "moved";
    case LinkVerdict::Dead:
        return "dead";
    case LinkVerdict::Failed:
        return "failed";
    }
    return {};
}

LinkVerdict VerdictOf(long status, LinkFailure failure, int failures, bool movedElsewhere) {
    if (failure != LinkFailure::None)
        return failures >= 2 ? LinkVerdict::Dead : LinkVerdict::Failed;
    if (status == 404 || status == 410)
        return LinkVerdict::Dead;
    if (status >= 200 && status < 300)
        return movedElsewhere ? LinkVerdict::Moved : LinkVerdict::Alive;
    return status > 0 ? LinkVerdict::Failed : LinkVerdict::Unchecked;
}

LinkState ReadLinkState(const TQelPigger* record) {
    LinkState state;
    if (!record)
        return state;
    const std::string_view outcome = record->AttrRef(LinkFields::Status);
    if (outcome.empty())
        return state;
    state.failure = LinkFailureFromName(outcome);
    if (state.failure == LinkFailure::None)
        state.status = ReadNumber(outcome);
    state.finalUrl = std::string(record->AttrRef(LinkFields::FinalUrl));
    state.redirects = ReadStatuses(record->AttrRef(LinkFields::Via));
    if (state.failure != LinkFailure::None)
        state.failures =
            std::max(1, static_cast<int>(ReadNumber(record->AttrRef(LinkFields::Failures))));
    const std::string_view time = record->AttrRef(LinkFields::Time);
    state.time =
        QDateTime::fromString(QString::fromUtf8(time.data(), qsizetype(time.size())), Qt::ISODate);
    state.verdict = VerdictOf(state.status, state.failure, state.failures,
                              !state.finalUrl.empty() && !state.redirects.empty());
    return state;
}

LinkVerdict ReadLinkVerdict(const TQelPigger* record) {
    return ReadLinkState(record).verdict;
}

void StoreLinkOutcome(TQelPigger* record, const LinkOutcome& outcome, const QDateTime& when) {
    if (!record)
        return;
    if (outcome.failure != LinkFailure::None) {
        const std::string_view name = LinkFailureName(outcome.failure);
        int failures = std::max(1, outcome.failures);
        if (record->AttrRef(LinkFields::Status) == name)
            failures +=
                std::max(1, static_cast<int>(ReadNumber(record->AttrRef(LinkFields::Failures))));
        record->SetAttr(LinkFields::Status, name);
        record->SetAttr(LinkFields::Failures, std::to_string(failures));
    } else {
        record->SetAttr(LinkFields::Status, std::to_string(outcome.status));
        record->DeleteAttr(LinkFields::Failures);
    }
    const std::string_view url = record->AttrRef(RecordFields::Url);
    if (!outcome.finalUrl.empty() && outcome.finalUrl != url)
        record->SetAttr(LinkFields::FinalUrl, outcome.finalUrl);
    else
        record->DeleteAttr(LinkFields::FinalUrl);
    if (!outcome.redirects.empty()) {
        std::string via;
        for (const int status : outcome.redirects)
            via += (via.empty() ? "" : ",") + std::to_string(status);
        record->SetAttr(LinkFields::Via, via);
    } else {
        record->DeleteAttr(LinkFields::Via);
    }
    record->SetAttr(LinkFields::Time, when.toUTC().toString(Qt::ISODate).toStdString());
}

long LinkStatusCode(const TQelPigger* record) {
    return ReadLinkState(record).status;
}

std::string LinkStatusText(const TQelPigger* record) {
    const LinkState state = ReadLinkState(record);
    if (state.verdict == LinkVerdict::Unchecked)
        return {};
    std::string text(LinkVerdictName(state.verdict));
    text += ' ';
    if (state.failure != LinkFailure::None)
        text += LinkFailureName(state.failure);
    else if (state.verdict == LinkVerdict::Moved && !state.redirects.empty())
        text += std::to_string(state.redirects.front());
    else
        text += std::to_string(state.status);
    return text;
}

bool MovedPermanently(const TQelPigger* record) {
    const LinkState state = ReadLinkState(record);
    if (state.verdict != LinkVerdict::Moved)
        return false;
    for (const int status : state.redirects)
        if (!Permanent(status))
            return false;
    return true;
}
