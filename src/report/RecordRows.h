// What one row of the found URL list shows for a record, and the record fields it reads.
#pragma once

#include <cstdint>
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

struct RecordRow {
    // The record, valid only while its parent still holds a child with this serial: another
    // part of the program may delete it, and a later node may take its address.
    TQelPigger* record = nullptr;
    std::uint64_t serial = 0;
    std::string title;
    std::string address;
    std::string description;
    bool checked = false;
    // The tick as the record holds it: when the row was made, or its tick last stored.
    bool stored = false;
    // The last link check: the status column's text (LinkStatusText), its verdict, when it
    // ended and the address that answered when that was another (for the row's tooltip).
    std::string status;
    LinkVerdict verdict = LinkVerdict::Unchecked;
    QDateTime checkedAt;
    std::string finalUrl;
};

// The row for a record: caption, the two sub-items, the check mark ("Y" exactly) and the
// status of its last link check.
RecordRow MakeRow(TQelPigger* record);
