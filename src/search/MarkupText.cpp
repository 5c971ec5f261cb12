#include "search/MarkupText.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <unordered_map>

namespace {

constexpr char32_t Replacement = 0xFFFD;

// The Latin-1 names, one for each character from U+00A0 on.
constexpr std::array<std::string_view, 96> Latin1Names{
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

struct Named {
    std::string_view name;
    char32_t c;
};

constexpr Named OtherNames[]{
    {"amp", '&'},       {"lt", '<'},        {"gt", '>'},       {"quot", '"'},
    {"apos", '\''},     {"OElig", 0x152},   {"oelig", 0x153},  {"Scaron", 0x160},
    {"scaron", 0x161},  {"Yuml", 0x178},    {"fnof", 0x192},   {"circ", 0x2C6},
    {"tilde", 0x2DC},   {"ensp", 0x2002},   {"emsp", 0x2003},  {"thinsp", 0x2009},
    {"zwnj", 0x200C},   {"zwj", 0x200D},    {"lrm", 0x200E},   {"rlm", 0x200F},
    {"ndash", 0x2013},  {"mdash", 0x2014},  {"lsquo", 0x2018}, {"rsquo", 0x2019},
    {"sbquo", 0x201A},  {"ldquo", 0x201C},  {"rdquo", 0x201D}, {"bdquo", 0x201E},
    {"dagger", 0x2020}, {"Dagger", 0x2021}, {"bull", 0x2022},  {"hellip", 0x2026},
    {"permil", 0x2030}, {"prime", 0x2032},  {"Prime", 0x2033}, {"lsaquo", 0x2039},
    {"rsaquo", 0x203A}, {"euro", 0x20AC},   {"trade", 0x2122}, {"larr", 0x2190},
    {"rarr", 0x2192},   {"minus", 0x2212},  {"nbsp", 0xA0}};

// What HTML makes of the numeric references to the C1 controls: the Windows-1252 characters
// that pages mean by them (0 where Windows-1252 has none).
constexpr std::array<char32_t, 32> Windows1252High{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool IsAsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsAsciiAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsAsciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

std::string LowerAscii(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), Lower);
    return out;
}

bool StartsWithNoCase(std::string_view s, std::size_t at, std::string_view prefix) {
    if (s.size() - at < prefix.size())
        return false;
    for (std::size_t k = 0; k < prefix.size(); ++k)
        if (Lower(s[at + k]) != prefix[k])
            return false;
    return true;
}

// The character starting at s[i] (i advanced past it); an invalid sequence gives U+FFFD and
// moves on by one byte.
char32_t DecodeUtf8(std::string_view s, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(s[i]);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    int length = 0;
    char32_t c = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
        least = 0x10000;
    } else {
        ++i;
        return Replacement;
    }
    if (s.size() - i < std::size_t(length)) {
        ++i;
        return Replacement;
    }
    for (int k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return Replacement;
        }
        c = (c << 6) | (b & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return Replacement;
    }
    i += length;
    return c;
}

// A numeric reference's value as HTML reads it.
char32_t NumericCharacter(unsigned long value) {
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return Replacement;
    if (value >= 0x80 && value <= 0x9F && Windows1252High[value - 0x80] != 0)
        return Windows1252High[value - 0x80];
    return char32_t(value);
}

// The reference that starts with the '&' at s[i]: its character, i advanced past it. 0 (i
// unchanged) when there is none: the '&' is then an ordinary character.
char32_t ReadReference(std::string_view s, std::size_t& i) {
    std::size_t at = i + 1;
    if (at < s.size() && s[at] == '#') {
        ++at;
        const bool hex = at < s.size() && (s[at] == 'x' || s[at] == 'X');
        if (hex)
            ++at;
        const std::size_t digits = at;
        unsigned long value = 0;
        for (; at < s.size(); ++at) {
            const char d = s[at];
            int digit;
            if (d >= '0' && d <= '9')
                digit = d - '0';
            else if (hex && Lower(d) >= 'a' && Lower(d) <= 'f')
                digit = Lower(d) - 'a' + 10;
            else
                break;
            // Kept just above the largest character, however many digits follow.
            value = std::min<unsigned long>(value * (hex ? 16 : 10) + digit, 0x110000);
        }
        if (at == digits)
            return 0;
        if (at < s.size() && s[at] == ';')
            ++at;
        i = at;
        return NumericCharacter(value);
    }
    // Names are short; a longer run of letters is no reference.
    const std::size_t start = at;
    while (at < s.size() && IsAsciiAlnum(s[at]) && at - start <= 32)
        ++at;
    if (at == start)
        return 0;
    const char32_t c = NamedEntity(s.substr(start, at - start));
    if (c == 0)
        return 0;
    if (at < s.size() && s[at] == ';')
        ++at;
    else if (at < s.size() && IsAsciiAlnum(s[at]))
        return 0;
    i = at;
    return c;
}

// Characters that separate words the way a blank does: white space, the controls and the
// Unicode blanks.
bool IsBlank(char32_t c) {
    return c <= 0x20 || (c >= 0x7F && c <= 0xA0) || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
           c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

// Text put together with runs of blanks made one, and none at either end.
class TidyText {
public:
    void Add(char32_t c) {
        if (IsBlank(c)) {
            Blank();
            return;
        }
        if (blank_) {
            out_.push_back(' ');
            blank_ = false;
        }
        AppendUtf8(out_, c);
    }
    void Blank() { blank_ = !out_.empty(); }
    // Bytes of text, checked as UTF-8.
    void AddText(std::string_view s) {
        for (std::size_t i = 0; i < s.size();)
            Add(DecodeUtf8(s, i));
    }
    std::string Take() { return std::move(out_); }

private:
    std::string out_;
    bool blank_ = false;
};

// Elements that sit inside a line of text; every other tag separates words.
bool IsInline(std::string_view name) {
    static const std::string_view inlineNames[]{
        "a",     "abbr", "b",      "bdi",    "bdo", "big", "cite", "code", "data", "del", "dfn",
        "em",    "font", "i",      "img",    "ins", "kbd", "mark", "nobr", "q",    "s",   "samp",
        "small", "span", "strike", "strong", "sub", "sup", "time", "tt",   "u",    "var", "wbr"};
    return std::find(std::begin(inlineNames), std::end(inlineNames), name) != std::end(inlineNames);
}

// The end of the tag whose name ends at s[i]: the index after its '>', or npos when the tag is
// not closed. A '>' inside a quoted attribute value does not end it.
std::size_t TagEnd(std::string_view s, std::size_t i) {
    char quote = 0;
    bool afterEquals = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            continue;
        }
        if (c == '>')
            return i + 1;
        if ((c == '"' || c == '\'') && afterEquals) {
            quote = c;
            afterEquals = false;
        } else if (c == '=') {
            afterEquals = true;
        } else if (!IsAsciiSpace(c)) {
            afterEquals = false;
        }
    }
    return std::string_view::npos;
}

// Where the content of a script or style element that starts at s[i] ends: the index after its
// end tag, or the end of the text.
std::size_t SkipRawContent(std::string_view s, std::size_t i, std::string_view name) {
    const std::string endTag = "</" + std::string(name);
    for (std::size_t at = i; at < s.size(); ++at) {
        if (s[at] != '<' || !StartsWithNoCase(s, at, endTag))
            continue;
        const std::size_t after = at + endTag.size();
        if (after < s.size() && IsAsciiAlnum(s[after]))
            continue;
        const std::size_t end = TagEnd(s, after);
        return end == std::string_view::npos ? s.size() : end;
    }
    return s.size();
}

} // namespace

char32_t NamedEntity(std::string_view name) {
    static const std::unordered_map<std::string_view, char32_t> table = [] {
        std::unordered_map<std::string_view, char32_t> t;
        for (std::size_t k = 0; k < Latin1Names.size(); ++k)
            t.emplace(Latin1Names[k], char32_t(0xA0 + k));
        for (const Named& n : OtherNames)
            t.emplace(n.name, n.c);
        return t;
    }();
    const auto found = table.find(name);
    return found == table.end() ? 0 : found->second;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

std::string DecodeReferences(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '&') {
            if (const char32_t c = ReadReference(text, i)) {
                AppendUtf8(out, c);
                continue;
            }
        }
        AppendUtf8(out, DecodeUtf8(text, i));
    }
    return out;
}

std::string PlainText(std::string_view s) {
    TidyText out;
    const std::size_t lastGt = s.rfind('>');
    bool quotesBroken = false;
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '&') {
            if (const char32_t decoded = ReadReference(s, i)) {
                out.Add(decoded);
                continue;
            }
            out.Add('&');
            ++i;
            continue;
        }
        if (c != '<') {
            out.Add(DecodeUtf8(s, i));
            continue;
        }
        if (s.compare(i, 4, "<!--") == 0) {
            // "<!-->" is an empty comment; one that is not closed runs to the end.
            const std::size_t end = s.find("-->", i + 2);
            i = end == std::string_view::npos ? s.size() : end + 3;
            continue;
        }
        if (s.compare(i, 9, "<![CDATA[") == 0) {
            // Text as it stands, references and all.
            const std::size_t end = s.find("]]>", i + 9);
            const std::size_t stop = end == std::string_view::npos ? s.size() : end;
            out.AddText(s.substr(i + 9, stop - (i + 9)));
            i = end == std::string_view::npos ? s.size() : end + 3;
            continue;
        }
        const bool closing = i + 1 < s.size() && s[i + 1] == '/';
        const std::size_t nameStart = i + (closing ? 2 : 1);
        const bool declaration =
            !closing && nameStart < s.size() && (s[nameStart] == '!' || s[nameStart] == '?');
        if (nameStart >= s.size() || (!declaration && !IsAsciiAlpha(s[nameStart]))) {
            // "a < b", "x<3": no tag.
            out.Add('<');
            ++i;
            continue;
        }
        std::size_t nameEnd = nameStart + (declaration ? 1 : 0);
        while (nameEnd < s.size() && (IsAsciiAlnum(s[nameEnd]) || s[nameEnd] == '-' ||
                                      s[nameEnd] == ':' || s[nameEnd] == '_'))
            ++nameEnd;
        if (lastGt == std::string_view::npos || lastGt < nameEnd) {
            // Not closed: taken as text rather than losing the rest.
            out.Add('<');
            ++i;
            continue;
        }
        // A quote that is never closed would make every later tag a scan to the end of the
        // text; once one is seen, tags end at the next '>' whatever the quotes.
        std::size_t end = quotesBroken ? std::string_view::npos : TagEnd(s, nameEnd);
        if (end == std::string_view::npos) {
            quotesBroken = true;
            end = s.find('>', nameEnd) + 1;
        }
        i = end;
        if (declaration)
            continue;
        const std::string name = LowerAscii(s.substr(nameStart, nameEnd - nameStart));
        const bool selfClosing = s[end - 2] == '/';
        if (!closing && !selfClosing && (name == "script" || name == "style")) {
            i = SkipRawContent(s, i, name);
            out.Blank();
            continue;
        }
        if (!IsInline(name))
            out.Blank();
    }
    return out.Take();
}

namespace {

// Whether the text holds an HTML tag of the kinds search engines mark their snippets with.
bool HoldsSnippetTag(std::string_view s) {
    static constexpr std::string_view names[] = {"b",    "i",     "em",   "strong", "span",
                                                 "a",    "p",     "br",   "div",    "u",
                                                 "mark", "small", "code", "sup",    "sub"};
    for (std::size_t at = s.find('<'); at != std::string_view::npos; at = s.find('<', at + 1)) {
        std::size_t i = at + 1;
        if (i < s.size() && s[i] == '/')
            ++i;
        std::size_t end = i;
        while (end < s.size() && std::isalpha(static_cast<unsigned char>(s[end])))
            ++end;
        if (end == i || end >= s.size() || (s[end] != '>' && s[end] != ' ' && s[end] != '/'))
            continue;
        const std::string name = LowerAscii(s.substr(i, end - i));
        for (const std::string_view known : names)
            if (name == known)
                return true;
    }
    return false;
}

} // namespace

std::string ResultText(std::string_view markup) {
    std::string text = PlainText(markup);
    if (HoldsSnippetTag(text))
        text = PlainText(text);
    return text;
}
