// The count line under the found URL list.
#pragma once

#include <QString>

struct ListCounts {
    int records = 0; // records of the report
    int ticked = 0;  // of them ticked, whether listed or not
    int shown = 0;   // rows the list shows (after the filter and the quick find)
    int shownTicked = 0;
};

// "N records, T ticked" when every record is shown, else followed by "; M shown (K ticked)".
QString ListCountText(const ListCounts& counts);
