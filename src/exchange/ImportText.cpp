// A plain list of addresses: one a line; blank lines and lines starting with "#" are skipped.
#include "exchange/Import.h"
#include "exchange/TreeText.h"

#include <QRegularExpression>

std::vector<ExchangeRecord> ReadAddressList(const QByteArray& bytes) {
    QString text = TreeText(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    std::vector<ExchangeRecord> pages;
    static const QRegularExpression lineBreak("\r\n|\r|\n");
    for (const QString& line : text.split(lineBreak)) {
        const QString address = line.trimmed();
        if (address.isEmpty() || address.startsWith('#'))
            continue;
        ExchangeRecord page;
        page.url = address;
        pages.push_back(std::move(page));
    }
    return pages;
}
