// CSV with a header row naming the columns: the dialect the export writes (RFC 4180) and the
// common spreadsheet dialects (comma, semicolon or TAB, quoted fields with line breaks).
#include "exchange/Import.h"
#include "exchange/TreeText.h"

#include <QStringList>

namespace {

using Row = QStringList;

// The separator of the header row: the most frequent of comma, semicolon and TAB outside
// quotes (comma when there is none).
QChar separatorOf(const QString& text) {
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
        else if (!quoted && c == '\t')
            ++tabs;
    }
    if (semicolons > commas && semicolons >= tabs)
        return ';';
    if (tabs > commas && tabs > semicolons)
        return '\t';
    return ',';
}

std::vector<Row> parseRows(const QString& text, QChar separator) {
    std::vector<Row> rows;
    Row row;
    QString field;
    bool quoted = false;       // inside a quoted field
    bool fieldStarted = false; // the row has a field in progress
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < n && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == '"' && field.isEmpty()) {
            // Only a quote that opens a field quotes it; one inside a field is a character.
            quoted = true;
            fieldStarted = true;
        } else if (c == separator) {
            row << field;
            field.clear();
            fieldStarted = true;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < n && text[i + 1] == '\n')
                ++i;
            if (fieldStarted || !field.isEmpty() || !row.isEmpty()) {
                row << field;
                rows.push_back(row);
            }
            row.clear();
            field.clear();
            fieldStarted = false;
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted)
        throw ImportError("a quoted field is not closed");
    if (fieldStarted || !field.isEmpty() || !row.isEmpty()) {
        row << field;
        rows.push_back(row);
    }
    return rows;
}

bool isTick(const QString& value) {
    static const QStringList yes = {"y", "yes", "true", "1", "x"};
    return yes.contains(value.trimmed().toLower());
}

} // namespace

std::vector<ExchangeRecord> ReadCsv(const QByteArray& bytes) {
    QString text = TreeText(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const std::vector<Row> rows = parseRows(text, separatorOf(text));
    if (rows.empty())
        throw ImportError("the file is empty; a header row with a url column is needed");
    int url = -1, title = -1, description = -1, redirect = -1, checked = -1;
    const Row& header = rows.front();
    for (int i = 0; i < header.size(); ++i) {
        const QString name = header[i].trimmed().toLower();
        int* column = name == "url"           ? &url
                      : name == "title"       ? &title
                      : name == "description" ? &description
                      : name == "redirect"    ? &redirect
                      : name == "checked"     ? &checked
                                              : nullptr;
        if (column && *column < 0)
            *column = i;
    }
    if (url < 0)
        throw ImportError("the header row has no url column");
    const auto at = [](const Row& row, int column) {
        return column >= 0 && column < row.size() ? row[column] : QString();
    };
    std::vector<ExchangeRecord> pages;
    for (size_t r = 1; r < rows.size(); ++r) {
        const Row& row = rows[r];
        ExchangeRecord page;
        page.url = at(row, url).trimmed();
        if (page.url.isEmpty())
            continue;
        page.title = at(row, title);
        page.description = at(row, description);
        page.redirect = at(row, redirect);
        page.checked = isTick(at(row, checked));
        pages.push_back(std::move(page));
    }
    return pages;
}
