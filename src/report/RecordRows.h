// What one row of the found URL list shows for a record, and the record fields it reads.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "report/LinkState.h"
#include "report/ReportLayout.h"

class TQelPigger;

// Text of the record's child element of that name; empty when there is none.
std::string ChildText(const TQelPigger* record, std::string_view childName);

// The address as the list shows it: every "http://" removed (exact case), CR and LF as blanks.
std::string ShownAddress(std::string_view url);
// CR and LF each become one blank.
std::string OneLine(std::string_view text);

// What a row shows beside its texts: the last link check and the latest capture. Most records
// have neither, so a row holds them only when there is something to show.
struct RowDetails {
    // The last link check: the status column's text (LinkStatusText), when it ended and the
    // address that answered when that was another (for the row's tooltip).
    std::string status;
    QDateTime checkedAt;
    std::string finalUrl;
    // The record's latest capture: its file in the captures folder (empty when it has none) and
    // when it was saved (UTC). The list fills them in.
    std::string capture;
    QDateTime captureTime;
};

// One row of the found URL list: which record it shows, its check mark and the little it must
// know without reading the record. The texts are read from the record when they are shown
// (RowTexts), so that a list of a million rows is made by one quick walk over the records.
struct RecordRow {
    // The record, valid only while its parent still holds a child with this serial: another
    // part of the program may delete it, and a later node may take its address.
    TQelPigger* record = nullptr;
    std::uint64_t serial = 0;
    bool checked = false;
    // The tick as the record holds it: when the row was made, or its tick last stored.
    bool stored = false;
    // The record's mark is written as a stored tick writes it: "Y", or nothing.
    bool plainMark = true;
    // The verdict of the last link check, behind the row's colour.
    LinkVerdict verdict = LinkVerdict::Unchecked;
    // Shared by copies of the row; none when there is nothing to show.
    std::shared_ptr<const RowDetails> details;

    const RowDetails& Details() const;
    // A change of the details: the row's own copy of them.
    RowDetails& EditDetails();
};

// The row for a record: the check mark ("Y" exactly) and its last link check.
RecordRow MakeRow(TQelPigger* record);

// The three texts of a record's row: the caption (its first TITLE child) and the two sub-items
// (the address as ShownAddress gives it, its first DESCRIPTION child), each on one line.
struct RowTexts {
    std::string title;
    std::string address;
    std::string description;
};
RowTexts ReadRowTexts(const TQelPigger* record);
// One of them, by its column: 0 title, 1 address, 2 description.
std::string ReadRowText(const TQelPigger* record, int column);
