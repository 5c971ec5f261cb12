// A browser's bookmark file (the Netscape format), read with libxml2's HTML parser, which
// copes with the unclosed DT, DD and p tags every browser writes.
#include "exchange/Import.h"
#include "exchange/TreeText.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <cstring>
#include <memory>

namespace {

bool named(const xmlNode* node, const char* name) {
    return node && node->type == XML_ELEMENT_NODE &&
           xmlStrcasecmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

QString attribute(const xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (!value)
        return {};
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

// The text of a link or description, without the entries and lists that an unclosed tag
// nested in it.
void collectText(const xmlNode* node, QString& out) {
    for (const xmlNode* child = node->children; child; child = child->next) {
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
            out += QString::fromUtf8(reinterpret_cast<const char*>(child->content));
        } else if (child->type == XML_ELEMENT_NODE) {
            if (named(child, "dl") || named(child, "dt") || named(child, "dd") ||
                named(child, "h3") || named(child, "a"))
                continue;
            if (named(child, "br"))
                out += '\n';
            else
                collectText(child, out);
        }
    }
}

QString textOf(const xmlNode* node) {
    QString out;
    collectText(node, out);
    return out.trimmed();
}

// Firefox's "place:" addresses are saved queries of its own history, no pages.
bool isPage(const QString& href) {
    const QString lower = href.trimmed().toLower();
    return !lower.isEmpty() && !lower.startsWith("place:");
}

// Walks the document in order. A link's description is the DD that comes after it before any
// other entry, folder or list begins (the parser nests unclosed DT and DD elements in more
// than one way, so their order is what counts, not their nesting).
void collectLinks(const xmlNode* node, std::vector<ExchangeRecord>& pages, size_t& current) {
    constexpr size_t none = static_cast<size_t>(-1);
    for (; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE)
            continue;
        if (named(node, "a")) {
            current = none;
            const QString href = attribute(node, "href");
            if (isPage(href)) {
                ExchangeRecord page;
                page.url = href.trimmed();
                page.title = textOf(node);
                pages.push_back(std::move(page));
                current = pages.size() - 1;
            }
        } else if (named(node, "dd")) {
            if (current != none)
                pages[current].description = textOf(node);
            current = none;
        } else if (named(node, "dt") || named(node, "dl") || named(node, "h3") ||
                   named(node, "hr")) {
            current = none;
        }
        collectLinks(node->children, pages, current);
    }
}

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

} // namespace

std::vector<ExchangeRecord> ReadBookmarks(const QByteArray& bytes) {
    QByteArray text = bytes;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    // The text is made UTF-8 here (bytes of other code pages read as TreeText does), so the
    // parser is told so and a charset named in the file cannot garble it.
    const QByteArray utf8 =
        TreeText(std::string_view(text.constData(), static_cast<size_t>(text.size()))).toUtf8();
    if (utf8.trimmed().isEmpty())
        throw ImportError("the file is empty");
    std::unique_ptr<xmlDoc, DocFree> doc(htmlReadMemory(
        utf8.constData(), static_cast<int>(utf8.size()), nullptr, "UTF-8",
        HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET));
    if (!doc)
        throw ImportError("not an HTML bookmark file");
    std::vector<ExchangeRecord> pages;
    size_t current = static_cast<size_t>(-1);
    collectLinks(xmlDocGetRootElement(doc.get()), pages, current);
    return pages;
}
