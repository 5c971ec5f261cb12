#include "report/ListCounts.h"

QString ListCountText(int records, int shown, int ticked) {
    QString text = shown == records ? QString("%1 records").arg(records)
                                    : QString("%1 of %2 shown").arg(shown).arg(records);
    return text + QString(", %1 ticked").arg(ticked);
}
