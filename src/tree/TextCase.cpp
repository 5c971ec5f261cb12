#include "tree/TextCase.h"

#include <QLocale>
#include <QString>

bool IsAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80)
            return false;
    return true;
}

namespace {

unsigned char foldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

// Decodes UTF-8, or gives false when the bytes are not valid UTF-8 (they would not survive the
// round trip, and two different byte runs could fold to the same replacement characters).
bool decodeUtf8(std::string_view s, QString& out) {
    out = QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
    const QByteArray back = out.toUtf8();
    return back.size() == static_cast<qsizetype>(s.size()) &&
           std::string_view(back.constData(), static_cast<size_t>(back.size())) == s;
}

} // namespace

std::string CaseKey(std::string_view s) {
    QString text;
    if (!IsAscii(s) && decodeUtf8(s, text)) {
        const QByteArray folded = text.toCaseFolded().toUtf8();
        return std::string(folded.constData(), static_cast<size_t>(folded.size()));
    }
    std::string key(s);
    for (auto& c : key)
        c = static_cast<char>(foldAscii(static_cast<unsigned char>(c)));
    return key;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    if (IsAscii(a) && IsAscii(b)) {
        if (a.size() != b.size())
            return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (foldAscii(static_cast<unsigned char>(a[i])) !=
                foldAscii(static_cast<unsigned char>(b[i])))
                return false;
        return true;
    }
    return CaseKey(a) == CaseKey(b);
}

std::string LocaleUpper(std::string_view s) {
    const QByteArray up =
        QLocale::system()
            .toUpper(QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())))
            .toUtf8();
    return std::string(up.constData(), static_cast<size_t>(up.size()));
}
