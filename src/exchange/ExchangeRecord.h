// A record as it leaves or enters a report through another file format, and the report's own
// fields that an export shows.
#pragma once

#include <QString>

#include <vector>

class TQelPigger;

struct ExchangeRecord {
    QString url;
    QString title;
    QString description;
    QString redirect;
    bool checked = false;
    // The record's latest capture as a page of the evidence package links it
    // ("captures/000001.mhtml"), with its SHA-256; empty in every other export.
    QString captureLink;
    QString captureSha256;
};

struct ExchangeReport {
    QString title;
    QString date;
    QString description;
    std::vector<ExchangeRecord> records;
};

// The report's title, date, description and records (in report order; only the ticked ones
// with checkedOnly). Texts are read with TreeText.
ExchangeReport ReadExchangeReport(const TQelPigger& doc, bool checkedOnly);
