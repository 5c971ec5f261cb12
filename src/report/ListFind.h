// The quick find of the found URL list: a row is shown when its title, address or description
// contains the typed text, whatever the letter case.
#pragma once

#include "report/RecordRows.h"

#include <QString>

// The texts of a row the quick find looks in, case-folded once so that each keystroke only
// searches.
QString FindHaystack(const RowTexts& texts);
// The typed text in the form FindHaystack uses.
QString FindNeedle(const QString& typed);
// Whether a row with that haystack is shown for that needle; an empty needle shows every row.
bool FindMatches(const QString& haystack, const QString& needle);
