// What the windows show of a report's captures: the history of one record, the order of a
// verification's list and its summary line (the same line `qrl verify` ends with).
#pragma once

#include "capture/CaptureStore.h"
#include "capture/TrustedTime.h"

#include <string>
#include <vector>

// Every manifest line of the record whose address is recordUrl, and the lines of the captures
// its latest capture file (latestFile, the record's CAPTURE) belongs to, as the record may have
// moved to another address since: newest first (by time, then by number, then later lines
// first).
std::vector<CaptureEntry> RecordCaptureHistory(const std::vector<CaptureEntry>& entries,
                                               const std::string& recordUrl,
                                               const std::string& latestFile);

// Whether a line's file is still in the folder (a "saved" line that no later "removed" line
// takes back, as PresentCaptures finds it).
bool IsPresentCapture(const std::vector<CaptureEntry>& entries, const CaptureEntry& entry);

// The checks in the order a person looks at them: changed, then missing, then intact; the
// manifest's order within each.
void OrderForReview(std::vector<CaptureCheck>* checks);

// "3 captures: 1 intact, 1 changed, 1 missing", followed by "; the manifest's time stamp is
// STATE" when the manifest has a stamp.
std::string VerifySummary(const std::vector<CaptureCheck>& checks, StampState stamp);
