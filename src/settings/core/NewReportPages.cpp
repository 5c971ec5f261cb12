#include "settings/core/NewReportPages.h"

namespace NewReportPages {

int PageToReturnTo(int from, int to, const QString& fileName, bool automatic, int keywordCount) {
    if (from == FileName && to == Search)
        return fileName.trimmed().isEmpty() ? FileName : -1;
    if (from == Search && to == Ready && automatic && keywordCount == 0)
        return Search;
    return -1;
}

} // namespace NewReportPages
