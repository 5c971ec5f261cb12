#include "filter/core/FilterText.h"

#include "tree/TextCase.h"

#include <QLocale>

bool AsciiUpperIsLocaleUpper() {
    const QLocale::Language l = QLocale::system().language();
    return l != QLocale::Turkish && l != QLocale::Azerbaijani;
}

void UpperForFilter(std::string_view text, std::string& out) {
    UpperForFilter(text, out, AsciiUpperIsLocaleUpper());
}

void UpperForFilter(std::string_view text, std::string& out, bool asciiUpperIsLocaleUpper) {
    if (asciiUpperIsLocaleUpper) {
        // Copied and upper-cased in one pass; a byte beyond ASCII sends the text to the locale.
        out.resize(text.size());
        unsigned char any = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            any |= c;
            out[i] = static_cast<char>(static_cast<unsigned>(c - 'a') < 26u ? c - 32 : c);
        }
        if (any < 0x80)
            return;
    }
    out = LocaleUpper(text);
}
