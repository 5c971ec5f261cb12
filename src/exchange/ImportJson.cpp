// The JSON the export writes: an object with a "records" array (or the array alone).
#include "exchange/Import.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

std::vector<ExchangeRecord> ReadJson(const QByteArray& bytes) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (doc.isNull())
        throw ImportError("not JSON (" + error.errorString().toStdString() + " at byte " +
                          std::to_string(error.offset) + ")");
    QJsonArray records;
    if (doc.isArray())
        records = doc.array();
    else if (doc.object().value("records").isArray())
        records = doc.object().value("records").toArray();
    else
        throw ImportError("no \"records\" array");
    std::vector<ExchangeRecord> pages;
    for (const QJsonValue& value : records) {
        const QJsonObject o = value.toObject();
        ExchangeRecord page;
        page.url = o.value("url").toString().trimmed();
        if (page.url.isEmpty())
            continue;
        page.title = o.value("title").toString();
        page.description = o.value("description").toString();
        page.redirect = o.value("redirect").toString();
        page.checked = o.value("checked").toBool();
        pages.push_back(std::move(page));
    }
    return pages;
}
