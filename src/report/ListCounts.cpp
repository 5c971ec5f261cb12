#include "report/ListCounts.h"

QString ListCountText(const ListCounts& counts) {
    QString text = QString("%1 records, %2 ticked").arg(counts.records).arg(counts.ticked);
    if (counts.shown != counts.records)
        text += QString("; %1 shown (%2 ticked)").arg(counts.shown).arg(counts.shownTicked);
    return text;
}
