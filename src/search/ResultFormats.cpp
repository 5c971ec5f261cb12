#include "search/ResultFormats.h"

#include "search/OpenSearch.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <QXmlStreamEntityResolver>
#include <QXmlStreamReader>

#include <algorithm>
#include <charconv>

namespace {

const QString AtomNs = QStringLiteral("http://www.w3.org/2005/Atom");
const QString OpenSearchNs = QStringLiteral("http://a9.com/-/spec/opensearch/1.1/");
// Where the response elements lived before OpenSearch 1.1; some servers still send it.
const QString OpenSearchRssNs = QStringLiteral("http://a9.com/-/spec/opensearchrss/1.0/");
const QString ContentNs = QStringLiteral("http://purl.org/rss/1.0/modules/content/");

// The HTML named entities for replies that use them without declaring them (a DOCTYPE naming an
// old RSS DTD, or none at all). The text returned is read as markup, hence a character reference.
class HtmlEntities : public QXmlStreamEntityResolver {
public:
    QString resolveUndeclaredEntity(const QString& name) override {
        const char32_t c = NamedEntity(name.toStdString());
        return c == 0 ? QString() : QStringLiteral("&#%1;").arg(unsigned(c));
    }
};

// A reader that counts how deep it is and stops at MaxReplyNesting.
class Reader {
public:
    explicit Reader(std::string_view body) : r_(QByteArray(body.data(), qsizetype(body.size()))) {
        GuardReplyReader(r_);
    }

    QXmlStreamReader::TokenType Next() {
        const QXmlStreamReader::TokenType t = r_.readNext();
        if (t == QXmlStreamReader::StartElement && ++depth_ > MaxReplyNesting)
            r_.raiseError(QString::fromUtf8(ReplyTooDeep));
        else if (t == QXmlStreamReader::EndElement)
            --depth_;
        return t;
    }

    // On to the next child element of the current one (true), or past its end (false).
    bool NextChild() {
        for (;;) {
            if (r_.atEnd() || r_.hasError())
                return false;
            switch (Next()) {
            case QXmlStreamReader::StartElement:
                if (r_.hasError())
                    return false;
                return true;
            case QXmlStreamReader::EndElement:
                return false;
            default:
                break;
            }
        }
    }

    // Past the end of the current element.
    void Skip() {
        while (NextChild())
            Skip();
    }

    bool Is(const QString& ns, QStringView name) const {
        return r_.namespaceUri() == ns && r_.name() == name;
    }

    QString Attribute(const char* name) const {
        return r_.attributes().value(QLatin1StringView(name)).toString();
    }

    // The content of the current element as markup, the reader past its end. With
    // charactersAreMarkup its text is HTML source (RSS, Atom type="html"), else it is text
    // (escaped here); child elements are kept as tags either way.
    std::string Content(bool charactersAreMarkup) {
        std::string out;
        int open = 0;
        while (!r_.atEnd() && !r_.hasError()) {
            switch (Next()) {
            case QXmlStreamReader::StartElement:
                ++open;
                out += '<' + r_.name().toString().toStdString() + '>';
                break;
            case QXmlStreamReader::EndElement:
                if (open-- == 0)
                    return out;
                out += "</" + r_.name().toString().toStdString() + '>';
                break;
            case QXmlStreamReader::Characters:
                if (charactersAreMarkup)
                    out += r_.text().toString().toStdString();
                else
                    out += Escaped(r_.text().toString().toStdString());
                break;
            case QXmlStreamReader::EntityReference:
                // Named in a DTD that is not read: decoded later when it is an HTML one.
                out += '&' + r_.name().toString().toStdString() + ';';
                break;
            default:
                break;
            }
        }
        return out;
    }

    std::string Text() { return PlainText(Content(false)); }

    bool Failed() const { return r_.hasError(); }

    std::string Error() const {
        QString message = r_.errorString();
        if (message.endsWith(u'.'))
            message.chop(1);
        return QStringLiteral("%1 (line %2, column %3)")
            .arg(message)
            .arg(r_.lineNumber())
            .arg(r_.columnNumber())
            .toStdString();
    }

    QXmlStreamReader& Raw() { return r_; }

private:
    static std::string Escaped(const std::string& text) {
        std::string out;
        out.reserve(text.size());
        for (const char c : text) {
            if (c == '&')
                out += "&amp;";
            else if (c == '<')
                out += "&lt;";
            else
                out += c;
        }
        return out;
    }

    QXmlStreamReader r_;
    int depth_ = 0;
};

// Result links are taken only when they are absolute http(s) addresses: the reply's own address
// is not known here to resolve relative ones (nor xml:base), and a record needs a page address.
bool IsWebAddress(const std::string& address) {
    if (address.empty() || address.find(' ') != std::string::npos)
        return false;
    const QUrl url(QString::fromStdString(address));
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

long long Count(const std::string& text) {
    long long value = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0)
        return -1;
    return value;
}

// An OpenSearch response element (the reader past it), true when it was one.
bool ReadResponseElement(Reader& reader, ResultPage& page) {
    const QXmlStreamReader& r = reader.Raw();
    if (r.namespaceUri() != OpenSearchNs && r.namespaceUri() != OpenSearchRssNs)
        return false;
    long long* target = nullptr;
    if (r.name() == u"totalResults")
        target = &page.totalResults;
    else if (r.name() == u"startIndex")
        target = &page.startIndex;
    else if (r.name() == u"itemsPerPage")
        target = &page.itemsPerPage;
    if (!target)
        return false;
    *target = Count(reader.Text());
    return true;
}

void ReadRssItem(Reader& reader, ResultPage& page) {
    FoundPage found;
    std::string link;
    std::string permalink;
    std::string content;
    const QString none;
    while (reader.NextChild()) {
        if (reader.Is(none, u"title")) {
            found.title = ResultText(reader.Content(true));
        } else if (reader.Is(none, u"link")) {
            link = reader.Text();
        } else if (reader.Is(none, u"description")) {
            found.description = ResultText(reader.Content(true));
        } else if (reader.Is(none, u"guid")) {
            const QString isPermaLink = reader.Attribute("isPermaLink").trimmed();
            const bool permanent = isPermaLink.isEmpty() || isPermaLink == u"true";
            const std::string guid = reader.Text();
            if (permanent)
                permalink = guid;
        } else if (reader.Is(ContentNs, u"encoded")) {
            content = ResultText(reader.Content(true));
        } else {
            reader.Skip();
        }
    }
    if (reader.Failed())
        return;
    if (found.description.empty())
        found.description = content;
    if (IsWebAddress(link))
        found.url = link;
    else if (IsWebAddress(permalink))
        found.url = permalink;
    else
        return;
    page.pages.push_back(std::move(found));
}

void ReadRss(Reader& reader, ResultPage& page) {
    const QString none;
    while (reader.NextChild()) {
        if (!reader.Is(none, u"channel")) {
            reader.Skip();
            continue;
        }
        while (reader.NextChild()) {
            if (reader.Is(none, u"item"))
                ReadRssItem(reader, page);
            else if (!ReadResponseElement(reader, page))
                reader.Skip();
        }
    }
}

// An Atom text construct or content (the reader past it) as plain text; empty for content that
// is not text (other media types, or only referred to by src).
std::string AtomText(Reader& reader, bool isContent) {
    const QString type = reader.Attribute("type").trimmed().toLower();
    if (isContent && !reader.Attribute("src").isEmpty()) {
        reader.Skip();
        return {};
    }
    if (type == u"html" || type == u"text/html")
        return ResultText(reader.Content(true));
    if (type.isEmpty() || type == u"text" || type == u"xhtml" || type == u"application/xhtml+xml" ||
        type.startsWith(u"text/"))
        return reader.Text();
    reader.Skip();
    return {};
}

void ReadAtomEntry(Reader& reader, ResultPage& page) {
    FoundPage found;
    std::string alternate;
    std::string id;
    std::string summary;
    std::string content;
    while (reader.NextChild()) {
        if (reader.Is(AtomNs, u"title")) {
            found.title = AtomText(reader, false);
        } else if (reader.Is(AtomNs, u"link")) {
            const QString rel = reader.Attribute("rel").trimmed();
            const std::string href = reader.Attribute("href").trimmed().toStdString();
            reader.Skip();
            if ((rel.isEmpty() || rel == u"alternate" ||
                 rel == u"http://www.iana.org/assignments/relation/alternate") &&
                alternate.empty() && IsWebAddress(href))
                alternate = href;
        } else if (reader.Is(AtomNs, u"id")) {
            id = reader.Text();
        } else if (reader.Is(AtomNs, u"summary")) {
            summary = AtomText(reader, false);
        } else if (reader.Is(AtomNs, u"content")) {
            content = AtomText(reader, true);
        } else {
            reader.Skip();
        }
    }
    if (reader.Failed())
        return;
    found.description = summary.empty() ? content : summary;
    if (!alternate.empty())
        found.url = alternate;
    else if (IsWebAddress(id))
        found.url = id;
    else
        return;
    page.pages.push_back(std::move(found));
}

void ReadAtom(Reader& reader, ResultPage& page) {
    while (reader.NextChild()) {
        if (reader.Is(AtomNs, u"entry"))
            ReadAtomEntry(reader, page);
        else if (!ReadResponseElement(reader, page))
            reader.Skip();
    }
}

std::string ValueText(const QJsonValue& value) {
    if (value.isString())
        return value.toString().toStdString();
    if (value.isDouble())
        return QString::number(value.toDouble()).toStdString();
    return {};
}

} // namespace

void GuardReplyReader(QXmlStreamReader& reader) {
    static HtmlEntities entities;
    reader.setNamespaceProcessing(true);
    reader.setEntityResolver(&entities);
    // Entities declared in the reply's own DTD are expanded, to a small size; external ones are
    // never loaded by QXmlStreamReader.
    reader.setEntityExpansionLimit(1024);
}

bool ReadResultFeed(std::string_view body, ResultPage& page, std::string& error) {
    page = ResultPage();
    error.clear();
    Reader reader(body);
    QXmlStreamReader& r = reader.Raw();
    if (body.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        error = "the reply is empty";
        return false;
    }
    if (!reader.NextChild()) {
        error = "unreadable XML: " + reader.Error();
        return false;
    }
    if (reader.Is(QString(), u"rss")) {
        ReadRss(reader, page);
    } else if (reader.Is(AtomNs, u"feed")) {
        ReadAtom(reader, page);
    } else {
        error = "neither RSS nor Atom: the document is <" +
                r.qualifiedName().toString().toStdString() + ">";
        return false;
    }
    while (!r.atEnd() && !r.hasError())
        reader.Next();
    // A total or a page size below what this page holds is not the server's count (searx sends
    // its number_of_results in both, often 0).
    for (long long* count : {&page.totalResults, &page.itemsPerPage})
        if (*count >= 0 && std::size_t(*count) < page.pages.size())
            *count = -1;
    if (reader.Failed()) {
        error = "unreadable XML: " + reader.Error();
        return false;
    }
    return true;
}

bool ReadSearxJson(std::string_view body, ResultPage& page, std::string& error) {
    page = ResultPage();
    error.clear();
    QJsonParseError parseError;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray(body.data(), qsizetype(body.size())), &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = QStringLiteral("unreadable JSON: %1 (at byte %2)")
                    .arg(parseError.errorString())
                    .arg(parseError.offset)
                    .toStdString();
        return false;
    }
    if (!document.isObject()) {
        error = "the reply is not a JSON object";
        return false;
    }
    const QJsonObject root = document.object();
    const QJsonValue results = root.value(QLatin1StringView("results"));
    if (!results.isArray()) {
        error = "the reply has no \"results\" list";
        return false;
    }
    for (const QJsonValue& value : results.toArray()) {
        const QJsonObject result = value.toObject();
        FoundPage found;
        found.url = result.value(QLatin1StringView("url")).toString().trimmed().toStdString();
        if (!IsWebAddress(found.url))
            continue;
        found.title = ResultText(result.value(QLatin1StringView("title")).toString().toStdString());
        found.description =
            ResultText(result.value(QLatin1StringView("content")).toString().toStdString());
        page.pages.push_back(std::move(found));
    }
    // searx and SearXNG send [name, reason] pairs; a bare name is taken as well.
    for (const QJsonValue& value :
         root.value(QLatin1StringView("unresponsive_engines")).toArray()) {
        std::string name;
        std::string reason;
        if (value.isArray()) {
            const QJsonArray pair = value.toArray();
            name = ValueText(pair.at(0));
            reason = ValueText(pair.at(1));
        } else {
            name = ValueText(value);
        }
        name = PlainText(name);
        reason = PlainText(reason);
        if (name.empty())
            continue;
        page.unresponsiveEngines.push_back(reason.empty() ? name : name + " (" + reason + ")");
    }
    return true;
}

std::string SearxSearchUrl(std::string_view baseAddress, std::string_view keyword, int pageNo) {
    while (!baseAddress.empty() && baseAddress.back() == '/')
        baseAddress.remove_suffix(1);
    return std::string(baseAddress) + "/search?q=" + UriEncode(keyword) +
           "&format=json&pageno=" + std::to_string(std::max(pageNo, 1));
}
