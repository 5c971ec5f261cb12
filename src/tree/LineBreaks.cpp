#include "tree/LineBreaks.h"

std::string WithCrLfBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32 + 2);
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        const size_t brk = text.find_first_of("\r\n", i);
        if (brk == std::string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, brk - i));
        out.append("\r\n");
        i = brk + ((text[brk] == '\r' && brk + 1 < n && text[brk + 1] == '\n') ? 2 : 1);
    }
    return out;
}

QString WithLfBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}
