// What a check of a record's address found out, kept in attributes of the record beside its
// address and tick (readers that do not know them pass them by), and the verdict read from them.
#pragma once

#include <QDateTime>

#include <string>
#include <string_view>
#include <vector>

class TQelPigger;

namespace LinkFields {
// The outcome of the last check: the final HTTP status ("200", "404") or the kind of failure
// ("dns", "refused", "timeout", "tls", "too-many-redirects", "failed").
inline constexpr const char* Status = "LINK";
// The address that answered after redirects, only when it differs from the record's URL.
inline constexpr const char* FinalUrl = "LINKURL";
// The statuses of the redirects followed, in order, separated by commas ("301,302"); absent
// when none was followed.
inline constexpr const char* Via = "LINKVIA";
// How many checks in a row ended with the failure kind in LINK (absent after a reply).
inline constexpr const char* Failures = "LINKFAILS";
// When the last check ended: UTC, ISO 8601 ("2026-12-09T10:15:30Z").
inline constexpr const char* Time = "LINKTIME";
// "Y": the user changed the title or description in the URL editor; filling in page details
// leaves such a record's texts alone.
inline constexpr const char* Edited = "EDITED";
} // namespace LinkFields

// Why a check got no reply.
enum class LinkFailure {
    None,
    Dns,              // the host name does not resolve
    Refused,          // the connection was refused
    Timeout,          // a network wait took longer than allowed
    Tls,              // https: the certificate or the handshake was not accepted
    TooManyRedirects, // more than the allowed redirects, or a loop
    Other,            // anything else (connection closed without a reply, bad address, ...)
};

// "dns", "refused", "timeout", "tls", "too-many-redirects", "failed"; empty for None.
std::string_view LinkFailureName(LinkFailure failure);
// The failure of that name; None for any other text.
LinkFailure LinkFailureFromName(std::string_view name);

// The outcome of one check of one address.
struct LinkOutcome {
    // The final reply's HTTP status; 0 when there was none.
    long status = 0;
    LinkFailure failure = LinkFailure::None;
    // The address that gave the final reply (the checked one when no redirect was followed).
    std::string finalUrl;
    // The statuses of the redirects followed, in order.
    std::vector<int> redirects;
    // Checks in a row within this run that ended with this failure (1, or 2 after a second try
    // some seconds later); 0 after a reply.
    int failures = 0;
};

// What a record's last check says of it.
enum class LinkVerdict {
    Unchecked, // never checked
    Alive,     // a 2xx reply at its own address
    Moved,     // a 2xx reply after redirects, at another address
    Dead,      // 404 or 410, or two failures of the same kind in a row
    Failed,    // anything else: another status, or one failure that may pass
};

// "unchecked", "alive", "moved", "dead", "failed".
std::string_view LinkVerdictName(LinkVerdict verdict);

// The check as a record keeps it.
struct LinkState {
    LinkVerdict verdict = LinkVerdict::Unchecked;
    long status = 0;
    LinkFailure failure = LinkFailure::None;
    std::string finalUrl;
    std::vector<int> redirects;
    int failures = 0;
    QDateTime time; // invalid when unchecked or unreadable
};

LinkState ReadLinkState(const TQelPigger* record);
LinkVerdict ReadLinkVerdict(const TQelPigger* record);
// The verdict of a kept check.
LinkVerdict VerdictOf(long status, LinkFailure failure, int failures, bool movedElsewhere);

// Writes the outcome of a check that ended at `when` into the record's attributes. A failure of
// the same kind as the one the record holds continues its count; any reply clears it.
void StoreLinkOutcome(TQelPigger* record, const LinkOutcome& outcome, const QDateTime& when);

// The status code of the last check, 0 when unchecked or failed without a reply.
long LinkStatusCode(const TQelPigger* record);

// The text of the list's status column: empty when unchecked, else the verdict and the status or
// failure: "alive 200", "moved 301", "dead 404", "dead dns", "failed timeout", "failed 500".
std::string LinkStatusText(const TQelPigger* record);

// Whether the check ended in a 2xx reply at another address after redirects that were all
// permanent (301 or 308): then the final address may replace the record's.
bool MovedPermanently(const TQelPigger* record);
