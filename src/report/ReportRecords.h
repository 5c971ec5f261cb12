// The records of a report: finding one by its address and adding or refreshing one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

class TQelPigger;

// Finds records as urls.FindChildByAttr("URL", url) does (the first child in order whose
// address equals url ignoring letter case) without comparing every record: an index by
// CaseKey of the address, checked against the container's change stamp before each use and
// rebuilt when anybody else changed the container.
class ReportRecords {
public:
    TQelPigger* FindListing(TQelPigger* urls, std::string_view url);

    // Refreshes the record of url, or appends a new LISTING to urls; true when a new record
    // was made. The record gets the address url and the children TITLE, DESCRIPTION and
    // REDIRECT (in this order, texts without surrounding blanks); an existing record keeps its
    // place and its check mark.
    bool AddListing(TQelPigger* urls, std::string_view title, std::string_view description,
                    std::string_view url, std::string_view redirect);

    // How often the index was built from scratch (for tests of its upkeep).
    int Rebuilds() const { return rebuilds_; }

private:
    void ensureCurrent(TQelPigger* urls);

    const TQelPigger* urls_ = nullptr;
    std::uint64_t stamp_ = 0;
    std::unordered_map<std::string, TQelPigger*> byKey_;
    int rebuilds_ = 0;
};
