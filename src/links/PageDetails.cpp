#include "links/PageDetails.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

namespace {

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

std::string LowerCase(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), Lower);
    return out;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Runs of blanks as one space, none at either end.
std::string Collapse(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    bool blank = false;
    for (const char c : Trim(s)) {
        if (IsBlank(c)) {
            blank = true;
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

// The value of "charset=" within a Content-Type value, without quotes; empty when none.
std::string CharsetParameter(std::string_view value) {
    const std::string lower = LowerCase(value);
    std::size_t at = 0;
    while ((at = lower.find("charset", at)) != std::string::npos) {
        std::size_t i = at + 7;
        while (i < lower.size() && IsBlank(lower[i]))
            ++i;
        if (i >= lower.size() || lower[i] != '=') {
            at = i;
            continue;
        }
        ++i;
        while (i < lower.size() && IsBlank(lower[i]))
            ++i;
        const char quote = i < lower.size() && (lower[i] == '"' || lower[i] == '\'') ? lower[i] : 0;
        if (quote)
            ++i;
        std::size_t end = i;
        while (end < value.size() && value[end] != quote && value[end] != ';' &&
               (quote || !IsBlank(value[end])))
            ++end;
        return std::string(Trim(value.substr(i, end - i)));
    }
    return {};
}

// The attributes of the tag starting at text[at] ('<' already passed the tag name): name and
// value pairs, names in lower case. Ends at '>' or the end of text.
struct TagAttribute {
    std::string name;
    std::string value;
};
std::vector<TagAttribute> ReadTagAttributes(std::string_view text, std::size_t& at) {
    std::vector<TagAttribute> out;
    while (at < text.size()) {
        while (at < text.size() && (IsBlank(text[at]) || text[at] == '/'))
            ++at;
        if (at >= text.size() || text[at] == '>')
            break;
        TagAttribute a;
        while (at < text.size() && !IsBlank(text[at]) && text[at] != '=' && text[at] != '>' &&
               text[at] != '/')
            a.name += Lower(text[at++]);
        while (at < text.size() && IsBlank(text[at]))
            ++at;
        if (at < text.size() && text[at] == '=') {
            ++at;
            while (at < text.size() && IsBlank(text[at]))
                ++at;
            if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
                const char quote = text[at++];
                const std::size_t end = std::min(text.find(quote, at), text.size());
                a.value = std::string(text.substr(at, end - at));
                at = std::min(end + 1, text.size());
            } else {
                while (at < text.size() && !IsBlank(text[at]) && text[at] != '>')
                    a.value += text[at++];
            }
        }
        if (!a.name.empty())
            out.push_back(std::move(a));
    }
    return out;
}

// The character set a <meta charset> or <meta http-equiv="Content-Type"> near the start of the
// page names; empty when none does.
std::string MetaCharset(std::string_view body) {
    // Where browsers look for it, with room for long heads.
    const std::string_view head = body.substr(0, std::min<std::size_t>(body.size(), 64 * 1024));
    const std::string lower = LowerCase(head);
    std::size_t at = 0;
    while ((at = lower.find("<meta", at)) != std::string::npos) {
        at += 5;
        if (at < lower.size() && !IsBlank(lower[at]) && lower[at] != '/')
            continue;
        const std::vector<TagAttribute> attributes = ReadTagAttributes(head, at);
        bool contentType = false;
        std::string content;
        for (const TagAttribute& a : attributes) {
            if (a.name == "charset" && !Trim(a.value).empty())
                return std::string(Trim(a.value));
            if (a.name == "http-equiv" && LowerCase(Trim(a.value)) == "content-type")
                contentType = true;
            if (a.name == "content")
                content = a.value;
        }
        if (contentType)
            if (std::string charset = CharsetParameter(content); !charset.empty())
                return charset;
        if (lower.compare(at, 7, "</head>") == 0)
            break;
    }
    return {};
}

// Whether the bytes are UTF-8; a sequence cut short by the end of the bytes is allowed.
bool IsUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        int more = 0;
        unsigned int min = 0;
        unsigned int code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            more = 1, min = 0x80, code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2, min = 0x800, code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3, min = 0x10000, code = c & 0x07;
        } else {
            return false;
        }
        for (int k = 1; k <= more; ++k) {
            if (i + k >= s.size())
                return true; // cut at the size limit
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (d & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += static_cast<std::size_t>(more) + 1;
    }
    return true;
}

// The bytes without a UTF-8 sequence cut short at their end (a page cut at the size limit).
std::string_view WithoutCutSequence(std::string_view s) {
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, s.size()); ++back) {
        const auto c = static_cast<unsigned char>(s[s.size() - back]);
        if ((c & 0xC0) == 0x80)
            continue; // a continuation byte: look further back
        const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? s.substr(0, s.size() - back) : s;
    }
    return s;
}

bool IsUtf8Name(std::string_view name) {
    const std::string lower = LowerCase(name);
    return lower == "utf-8" || lower == "utf8";
}

std::string Content(xmlNode* node) {
    xmlChar* text = xmlNodeGetContent(node);
    if (!text)
        return {};
    std::string out(reinterpret_cast<const char*>(text));
    xmlFree(text);
    return out;
}

std::string Attribute(xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (!value)
        return {};
    std::string out(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return out;
}

struct Found {
    std::string title, ogTitle, description, ogDescription;
    bool titleSeen = false, ogTitleSeen = false, descriptionSeen = false, ogDescriptionSeen = false;
};

void Collect(xmlNode* node, Found& found) {
    for (xmlNode* n = node; n; n = n->next) {
        if (n->type != XML_ELEMENT_NODE)
            continue;
        const std::string name = LowerCase(reinterpret_cast<const char*>(n->name));
        if (name == "title" && !found.titleSeen) {
            found.titleSeen = true;
            found.title = Collapse(Content(n));
            continue;
        }
        if (name == "meta") {
            std::string key = LowerCase(Trim(Attribute(n, "property")));
            if (key.empty())
                key = LowerCase(Trim(Attribute(n, "name")));
            const auto take = [&](bool& seen, std::string& into) {
                if (seen)
                    return;
                seen = true;
                into = Collapse(Attribute(n, "content"));
            };
            if (key == "og:title")
                take(found.ogTitleSeen, found.ogTitle);
            else if (key == "og:description")
                take(found.ogDescriptionSeen, found.ogDescription);
            else if (key == "description")
                take(found.descriptionSeen, found.description);
            continue;
        }
        // Nothing worth reading is inside these.
        if (name == "script" || name == "style" || name == "svg")
            continue;
        Collect(n->children, found);
    }
}

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

std::unique_ptr<xmlDoc, DocFree> Parse(std::string_view body, const std::string& encoding) {
    const int options = HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                        HTML_PARSE_RECOVER | HTML_PARSE_COMPACT | HTML_PARSE_IGNORE_ENC;
    htmlParserCtxtPtr ctxt = htmlNewParserCtxt();
    if (!ctxt)
        return nullptr;
    xmlDoc* doc = htmlCtxtReadMemory(ctxt, body.data(), static_cast<int>(body.size()), nullptr,
                                     encoding.c_str(), options);
    htmlFreeParserCtxt(ctxt);
    return std::unique_ptr<xmlDoc, DocFree>(doc);
}

} // namespace

PageDetails ReadPageDetails(std::string_view body, std::string_view contentType) {
    PageDetails details;
    std::string charset = CharsetParameter(contentType);
    if (charset.empty())
        charset = MetaCharset(body);
    if (charset.empty())
        charset = IsUtf8(body) ? "UTF-8" : "windows-1252";
    // libxml2 counts in int.
    body = body.substr(0, std::min<std::size_t>(body.size(), 0x7FFFFFFF));

    if (IsUtf8Name(charset))
        body = WithoutCutSequence(body);

    // A name the converter does not know is read as UTF-8 when it can be, else as Windows-1252.
    std::unique_ptr<xmlDoc, DocFree> doc;
    if (xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(charset.c_str())) {
        xmlCharEncCloseFunc(handler);
        doc = Parse(body, charset);
    }
    if (!doc) {
        charset = IsUtf8(body) ? "UTF-8" : "windows-1252";
        if (charset == "UTF-8")
            body = WithoutCutSequence(body);
        doc = Parse(body, charset);
    }
    details.charset = charset;
    if (!doc)
        return details;

    Found found;
    Collect(xmlDocGetRootElement(doc.get()) ? doc->children : nullptr, found);
    details.title = !found.ogTitle.empty() ? found.ogTitle : found.title;
    details.description = !found.ogDescription.empty() ? found.ogDescription : found.description;
    return details;
}
