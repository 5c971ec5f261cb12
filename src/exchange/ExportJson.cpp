// The report as JSON.
#include "exchange/Export.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

QByteArray ExportJson(const ExchangeReport& report) {
    QJsonArray records;
    for (const ExchangeRecord& r : report.records) {
        records.append(QJsonObject{{"url", r.url},
                                   {"title", r.title},
                                   {"description", r.description},
                                   {"redirect", r.redirect},
                                   {"checked", r.checked}});
    }
    const QJsonObject root{{"title", report.title},
                           {"date", report.date},
                           {"description", report.description},
                           {"records", records}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}
