#include "filter/core/FilterText.h"

#include "tree/TextCase.h"

#include <QLocale>

namespace {

bool asciiUpperIsLocaleUpper() {
    const QLocale::Language l = QLocale::system().language();
    return l != QLocale::Turkish && l != QLocale::Azerbaijani;
}

} // namespace

void UpperForFilter(std::string_view text, std::string& out) {
    if (IsAscii(text) && asciiUpperIsLocaleUpper()) {
        out.assign(text);
        for (char& c : out)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 32);
        return;
    }
    out = LocaleUpper(text);
}
