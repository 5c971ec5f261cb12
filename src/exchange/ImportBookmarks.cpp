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

const xmlNode* nextElement(const xmlNode* node) {
    for (node = node->next; node; node = node->next)
        if (node->type == XML_ELEMENT_NODE)
            return node;
    return nullptr;
}

// The text of a node; a description stops at the lists and entries nested in it.
void collectText(const xmlNode* node, QString& out, bool descriptionOnly) {
    for (const xmlNode* child = node->children; child; child = child->next) {
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
            out += QString::fromUtf8(reinterpret_cast<const char*>(child->content));
        } else if (child->type == XML_ELEMENT_NODE) {
            if (descriptionOnly && (named(child, "dl") || named(child, "dt") ||
                                    named(child, "dd") || named(child, "h3")))
                continue;
            if (named(child, "br"))
                out += '\n';
            else
                collectText(child, out, descriptionOnly);
        }
    }
}

QString textOf(const xmlNode* node, bool descriptionOnly) {
    QString out;
    collectText(node, out, descriptionOnly);
    return out.trimmed();
}

// The description of a link: the DD that follows it, within its DT or right after the DT.
QString descriptionOf(const xmlNode* link) {
    for (const xmlNode* next = nextElement(link); next; next = nextElement(next)) {
        if (named(next, "dd"))
            return textOf(next, true);
        if (named(next, "a") || named(next, "dt") || named(next, "dl") || named(next, "h3"))
            break;
    }
    if (named(link->parent, "dt"))
        if (const xmlNode* next = nextElement(link->parent); named(next, "dd"))
            return textOf(next, true);
    return {};
}

// Firefox's "place:" addresses are saved queries of its own history, no pages.
bool isPage(const QString& href) {
    const QString lower = href.trimmed().toLower();
    return !lower.isEmpty() && !lower.startsWith("place:");
}

void collectLinks(const xmlNode* node, std::vector<ExchangeRecord>& pages) {
    for (; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE)
            continue;
        if (named(node, "a")) {
            const QString href = attribute(node, "href");
            if (isPage(href)) {
                ExchangeRecord page;
                page.url = href.trimmed();
                page.title = textOf(node, false);
                page.description = descriptionOf(node);
                pages.push_back(std::move(page));
            }
        }
        collectLinks(node->children, pages);
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
    collectLinks(xmlDocGetRootElement(doc.get()), pages);
    return pages;
}
