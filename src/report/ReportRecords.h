// The records of a report: finding one by its address and adding or refreshing one.
#pragma once

#include "report/AddressIndex.h"

#include <string_view>

class TQelPigger;

// Finds records as urls.FindChildByAttr("URL", url) does (the first child in order whose
// address equals url ignoring letter case) through an index by address that follows the
// changes anybody makes to the container (see AddressIndex).
class ReportRecords {
public:
    TQelPigger* FindListing(TQelPigger* urls, std::string_view url);

    // Refreshes the record of url, or appends a new LISTING to urls; true when a new record
    // was made. The record gets the address url and the children TITLE, DESCRIPTION and
    // REDIRECT (in this order, texts without surrounding blanks); an existing record keeps its
    // place and its check mark.
    bool AddListing(TQelPigger* urls, std::string_view title, std::string_view description,
                    std::string_view url, std::string_view redirect);

    // How often the index read every record anew (for tests of its upkeep).
    int Rebuilds() const { return index_.Rebuilds(); }

private:
    AddressIndex index_;
};
