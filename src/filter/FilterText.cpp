#include "filter/FilterText.h"

#include "tree/TextCase.h"

#include <QLocale>

namespace {

bool isAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80)
            return false;
    return true;
}

bool asciiUpperIsLocaleUpper() {
    const QLocale::Language l = QLocale::system().language();
    return l != QLocale::Turkish && l != QLocale::Azerbaijani;
}

} // namespace

void UpperForFilter(std::string_view text, std::string& out) {
    if (isAscii(text) && asciiUpperIsLocaleUpper()) {
        out.assign(text);
        for (char& c : out)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 32);
        return;
    }
    out = LocaleUpper(text);
}
