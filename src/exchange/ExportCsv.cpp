// The records as CSV after RFC 4180, as spreadsheet programs open it.
#include "exchange/Export.h"

namespace {

void appendField(QString& out, const QString& field) {
    const bool quote = field.contains(',') || field.contains('"') || field.contains('\r') ||
                       field.contains('\n') || field.contains(';');
    if (!quote) {
        out += field;
        return;
    }
    QString doubled = field;
    doubled.replace('"', QLatin1String("\"\""));
    out += '"' + doubled + '"';
}

} // namespace

QByteArray ExportCsv(const ExchangeReport& report) {
    // The byte-order mark makes spreadsheet programs read the file as UTF-8 rather than in the
    // code page of the machine.
    QString csv = QChar(0xFEFF);
    csv += "url,title,description,redirect,checked\r\n";
    for (const ExchangeRecord& r : report.records) {
        appendField(csv, r.url);
        csv += ',';
        appendField(csv, r.title);
        csv += ',';
        appendField(csv, r.description);
        csv += ',';
        appendField(csv, r.redirect);
        csv += ',';
        csv += r.checked ? "Y" : "";
        csv += "\r\n";
    }
    return csv.toUtf8();
}
