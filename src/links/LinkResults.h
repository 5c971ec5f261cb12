// Entering the results of a check into the records of a report.
#pragma once

#include "links/LinkProbe.h"

#include <QDateTime>

#include <string>
#include <vector>

class TQelPigger;

// Which records a check covers.
enum class CheckScope { All, Ticked, Selected };

// The records of urls that a check of that scope covers, in report order (Selected: just
// `selected`, when it is a record of urls).
std::vector<TQelPigger*> RecordsToCheck(TQelPigger* urls, CheckScope scope,
                                        TQelPigger* selected = nullptr);

// What filling in details may change.
enum class DetailsScope {
    Empty, // only an empty title or description
    All,   // every title and description the page gives
};

// Writes a probe's result into the record: the link attributes (StoreLinkOutcome at `when`);
// with details read, the title and description the page gives, as the scope allows, never
// an empty text over a filled one and never into a record marked EDITED. An aborted probe
// changes nothing. True when the record changed.
bool EnterProbeResult(TQelPigger* record, const ProbeResult& result, const QDateTime& when,
                      bool details, DetailsScope scope = DetailsScope::Empty);

// The records of urls whose title or description is empty.
std::vector<TQelPigger*> RecordsWithoutDetails(TQelPigger* urls);
