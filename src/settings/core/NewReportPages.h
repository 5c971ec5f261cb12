// The pages of the new report wizard and the checks made when the user turns them.
#pragma once

#include <QString>

namespace NewReportPages {
inline constexpr int General = 0;
inline constexpr int FileName = 1;
inline constexpr int Search = 2;
inline constexpr int Ready = 3;
inline constexpr int Count = 4;

// After a move from page `from` to page `to`: the page the wizard has to return to, or -1 when
// it may stay. The file page cannot be passed without a file, nor the search page in automatic
// mode without keywords. Moving backwards is never checked.
int PageToReturnTo(int from, int to, const QString& fileName, bool automatic, int keywordCount);
} // namespace NewReportPages
