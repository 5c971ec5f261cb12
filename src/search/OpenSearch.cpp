#include "search/OpenSearch.h"

#include "search/MarkupText.h"
#include "search/ResultFormats.h"

#include <QByteArray>
#include <QUrl>
#include <QXmlStreamReader>

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>

namespace {

const QString OpenSearchNs = QStringLiteral("http://a9.com/-/spec/opensearch/1.1/");
// Where the parameter extension puts Param; searx puts it into the OpenSearch namespace.
const QString ParametersNs =
    QStringLiteral("http://a9.com/-/spec/opensearch/extensions/parameters/1.0/");

constexpr std::string_view RssType = "application/rss+xml";
constexpr std::string_view AtomType = "application/atom+xml";

// One {name} or {name?} of a template.
struct Parameter {
    std::size_t begin = 0; // the '{'
    std::size_t end = 0;   // after the '}'
    std::string_view written;
    std::string_view local; // without a namespace prefix
    bool optional = false;
};

// The parameters of a template in order; false with error when a brace is not closed.
bool TemplateParameters(std::string_view templ, std::vector<Parameter>& parameters,
                        std::string& error) {
    parameters.clear();
    for (std::size_t i = templ.find('{'); i != std::string_view::npos; i = templ.find('{', i)) {
        const std::size_t close = templ.find('}', i + 1);
        if (close == std::string_view::npos) {
            error = "the template has a \"{\" that is not closed";
            return false;
        }
        Parameter p;
        p.begin = i;
        p.end = close + 1;
        std::string_view name = templ.substr(i + 1, close - i - 1);
        p.optional = !name.empty() && name.back() == '?';
        if (p.optional)
            name.remove_suffix(1);
        p.written = name;
        const std::size_t colon = name.rfind(':');
        p.local = colon == std::string_view::npos ? name : name.substr(colon + 1);
        parameters.push_back(p);
        i = close + 1;
    }
    return true;
}

std::string LowerAscii(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    return out;
}

std::string Trimmed(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t\r\n\f");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = s.find_last_not_of(" \t\r\n\f");
    return std::string(s.substr(first, last - first + 1));
}

bool IsWebScheme(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

// The template as an absolute http(s) address: kept as written when it is one already,
// otherwise resolved against base. Its parameters stand in for themselves: they are swapped
// for plain words while QUrl resolves, so that their braces are not percent-encoded.
std::optional<std::string> AbsoluteTemplate(const std::string& templ, std::string_view base) {
    std::vector<Parameter> parameters;
    std::string ignored;
    if (!TemplateParameters(templ, parameters, ignored))
        return std::nullopt;
    // A word the template does not hold: longer than any run of x after "qrlparam" in it.
    std::size_t xs = 0;
    for (std::size_t at = templ.find("qrlparam"); at != std::string::npos;
         at = templ.find("qrlparam", at + 1)) {
        const std::size_t run = templ.find_first_not_of('x', at + 8);
        xs = std::max(xs, (run == std::string::npos ? templ.size() : run) - (at + 8));
    }
    const std::string mark = "qrlparam" + std::string(xs + 1, 'x');
    std::string plain;
    std::size_t from = 0;
    for (std::size_t k = 0; k < parameters.size(); ++k) {
        plain.append(templ, from, parameters[k].begin - from);
        plain += mark + std::to_string(k) + 'e';
        from = parameters[k].end;
    }
    plain.append(templ, from, std::string::npos);

    const QUrl given(QString::fromStdString(plain));
    if (!given.isRelative())
        return IsWebScheme(given) ? std::optional<std::string>(templ) : std::nullopt;
    const QUrl baseUrl(QString::fromUtf8(base.data(), qsizetype(base.size())));
    if (baseUrl.isRelative())
        return std::nullopt;
    const QUrl resolved = baseUrl.resolved(given);
    if (!IsWebScheme(resolved))
        return std::nullopt;
    // The words come back in their order (resolving moves none, but may drop one with a dot
    // segment: the template is then not taken).
    const std::string resolvedText = resolved.toString(QUrl::FullyEncoded).toStdString();
    std::string out;
    from = 0;
    for (std::size_t k = 0; k < parameters.size(); ++k) {
        const std::string word = mark + std::to_string(k) + 'e';
        const std::size_t at = resolvedText.find(word, from);
        if (at == std::string::npos)
            return std::nullopt;
        out.append(resolvedText, from, at - from);
        out.append(templ, parameters[k].begin, parameters[k].end - parameters[k].begin);
        from = at + word.size();
    }
    out.append(resolvedText, from, std::string::npos);
    return out;
}

int OffsetAttribute(const QXmlStreamAttributes& attributes, const char* name) {
    const std::string text =
        attributes.value(QLatin1StringView(name)).toString().trimmed().toStdString();
    int value = 1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return 1;
    return value;
}

// The words of a rel attribute, in lower case.
bool RelHas(std::string_view rel, std::string_view word) {
    const std::string lower = LowerAscii(rel);
    std::size_t i = 0;
    while (i < lower.size()) {
        const std::size_t start = lower.find_first_not_of(" \t\r\n\f", i);
        if (start == std::string::npos)
            break;
        std::size_t stop = lower.find_first_of(" \t\r\n\f", start);
        if (stop == std::string::npos)
            stop = lower.size();
        if (std::string_view(lower).substr(start, stop - start) == word)
            return true;
        i = stop;
    }
    return false;
}

// The template with name=value appended to its query.
std::string WithQueryParameter(std::string templ, const std::string& name,
                               const std::string& value) {
    const std::size_t hash = templ.find('#');
    std::string fragment;
    if (hash != std::string::npos) {
        fragment = templ.substr(hash);
        templ.resize(hash);
    }
    const bool hasQuery = templ.find('?') != std::string::npos;
    if (hasQuery && templ.back() != '?' && templ.back() != '&')
        templ += '&';
    else if (!hasQuery)
        templ += '?';
    // Parameters ({searchTerms}) stay as they are; the rest of the value is encoded.
    std::string encodedValue;
    std::size_t from = 0;
    for (std::size_t open = value.find('{'); open != std::string::npos;
         open = value.find('{', from)) {
        const std::size_t close = value.find('}', open);
        if (close == std::string::npos)
            break;
        encodedValue += UriEncode(std::string_view(value).substr(from, open - from));
        encodedValue.append(value, open, close + 1 - open);
        from = close + 1;
    }
    encodedValue += UriEncode(std::string_view(value).substr(from));
    return templ + UriEncode(name) + '=' + encodedValue + fragment;
}

// searx and SearXNG describe only their web page of results, whose address gives RSS with
// format=rss (and the page with pageno); such a description is known by its LongName.
bool IsSearxDescription(const std::string& longName) {
    const std::string lower = LowerAscii(Trimmed(longName));
    return lower == "searx metasearch" || lower == "searxng metasearch";
}

// A start tag of an HTML page, read the tolerant way browsers do: names in lower case,
// values quoted with ' or " or not at all, the first of a repeated attribute kept.
struct Tag {
    std::string name;
    std::map<std::string, std::string> attributes;
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The tag at the '<' at html[at]; returns where reading goes on (after the tag, or after the
// '<' when no tag starts there: tag.name is then empty). End tags are not read.
std::size_t ReadTag(std::string_view html, std::size_t at, Tag& tag) {
    std::size_t i = at + 1;
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (i >= html.size() || !isLetter(html[i]))
        return i;
    const std::size_t nameStart = i;
    while (i < html.size() && !IsSpace(html[i]) && html[i] != '>' && html[i] != '/')
        ++i;
    tag.name = LowerAscii(html.substr(nameStart, i - nameStart));
    while (i < html.size()) {
        while (i < html.size() && (IsSpace(html[i]) || html[i] == '/'))
            ++i;
        if (i >= html.size())
            break;
        if (html[i] == '>')
            return i + 1;
        const std::size_t attrStart = i;
        ++i; // a name may start with '=' or a quote; it ends with any of these
        while (i < html.size() && !IsSpace(html[i]) && html[i] != '=' && html[i] != '>' &&
               html[i] != '/')
            ++i;
        const std::string name = LowerAscii(html.substr(attrStart, i - attrStart));
        while (i < html.size() && IsSpace(html[i]))
            ++i;
        std::string value;
        if (i < html.size() && html[i] == '=') {
            ++i;
            while (i < html.size() && IsSpace(html[i]))
                ++i;
            if (i < html.size() && (html[i] == '"' || html[i] == '\'')) {
                const char quote = html[i];
                const std::size_t close = html.find(quote, i + 1);
                const std::size_t stop = close == std::string_view::npos ? html.size() : close;
                value = html.substr(i + 1, stop - i - 1);
                i = close == std::string_view::npos ? html.size() : close + 1;
            } else {
                const std::size_t valueStart = i;
                while (i < html.size() && !IsSpace(html[i]) && html[i] != '>')
                    ++i;
                value = html.substr(valueStart, i - valueStart);
            }
        }
        tag.attributes.emplace(name, std::move(value));
    }
    // A tag the page does not close (the end of the text in it or in a value) is no tag.
    tag = Tag();
    return html.size();
}

// Past the end tag of a script or style element whose content starts at html[i].
std::size_t SkipRawText(std::string_view html, std::size_t i, const std::string& name) {
    const std::string endTag = "</" + name;
    for (std::size_t at = html.find('<', i); at != std::string_view::npos;
         at = html.find('<', at + 1)) {
        if (LowerAscii(html.substr(at, endTag.size())) != endTag)
            continue;
        const std::size_t after = at + endTag.size();
        if (after < html.size() && IsAlnum(html[after]))
            continue;
        const std::size_t close = html.find('>', after);
        return close == std::string_view::npos ? html.size() : close + 1;
    }
    return html.size();
}

struct UrlElement {
    std::string type;
    std::string templ;
    std::string rel;
    int indexOffset = 1;
    int pageOffset = 1;
    int params = 0;
};

constexpr int MaxParams = 64;

} // namespace

std::string UriEncode(std::string_view text) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') ||
            b == '-' || b == '.' || b == '_' || b == '~') {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(hex[b >> 4]);
            out.push_back(hex[b & 0x0F]);
        }
    }
    return out;
}

bool ExpandOpenSearchTemplate(std::string_view templ, const TemplateValues& values,
                              std::string& url, std::string& error) {
    url.clear();
    error.clear();
    std::vector<Parameter> parameters;
    if (!TemplateParameters(templ, parameters, error))
        return false;
    bool hasTerms = false;
    std::string out;
    std::size_t from = 0;
    for (const Parameter& p : parameters) {
        out.append(templ.substr(from, p.begin - from));
        from = p.end;
        const std::string_view name = p.local;
        if (name == "searchTerms") {
            hasTerms = true;
            out += UriEncode(values.searchTerms);
        } else if (name == "count") {
            if (values.count > 0)
                out += std::to_string(values.count);
        } else if (name == "startIndex") {
            out += std::to_string(values.startIndex);
        } else if (name == "startPage") {
            out += std::to_string(values.startPage);
        } else if (name == "language") {
            out += values.language.empty() ? std::string("*") : UriEncode(values.language);
        } else if (name == "inputEncoding" || name == "outputEncoding") {
            out += "UTF-8";
        } else if (!p.optional) {
            error = "the template asks for {" + std::string(p.written) +
                    "}, a parameter that is not known";
            return false;
        }
    }
    out.append(templ.substr(from));
    if (!hasTerms) {
        error = "the template has no {searchTerms}";
        return false;
    }
    url = std::move(out);
    return true;
}

bool TemplateHas(std::string_view templ, std::string_view parameter) {
    std::vector<Parameter> parameters;
    std::string error;
    TemplateParameters(templ, parameters, error);
    return std::any_of(parameters.begin(), parameters.end(),
                       [&](const Parameter& p) { return p.local == parameter; });
}

bool ReadOpenSearchDescription(std::string_view xml, std::string_view baseUrl,
                               OpenSearchDescription& description, std::string& error) {
    description = OpenSearchDescription();
    error.clear();
    QXmlStreamReader r(QByteArray(xml.data(), qsizetype(xml.size())));
    GuardReplyReader(r);
    std::vector<UrlElement> elements;
    std::string longName;
    int depth = 0;
    bool root = false;
    bool inUrl = false; // within a Url element of the description
    while (!r.atEnd() && !r.hasError()) {
        const QXmlStreamReader::TokenType token = r.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (++depth > MaxReplyNesting) {
            r.raiseError(QString::fromUtf8(ReplyTooDeep));
            break;
        }
        const bool inOpenSearch = r.namespaceUri() == OpenSearchNs;
        if (depth == 2)
            inUrl = inOpenSearch && r.name() == u"Url";
        if (depth == 1) {
            if (!inOpenSearch || r.name() != u"OpenSearchDescription") {
                error = "not an OpenSearch description: the document is <" +
                        r.qualifiedName().toString().toStdString() + ">";
                return false;
            }
            root = true;
        } else if (depth == 2 && inOpenSearch &&
                   (r.name() == u"ShortName" || r.name() == u"LongName")) {
            const bool shortName = r.name() == u"ShortName";
            const std::string text =
                PlainText(r.readElementText(QXmlStreamReader::SkipChildElements)
                              .toHtmlEscaped()
                              .toStdString());
            --depth; // readElementText went past the end
            (shortName ? description.shortName : longName) = text;
        } else if (depth == 2 && inOpenSearch && r.name() == u"Url") {
            const QXmlStreamAttributes a = r.attributes();
            UrlElement e;
            e.type =
                LowerAscii(Trimmed(a.value(QLatin1StringView("type")).toString().toStdString()));
            if (const std::size_t semicolon = e.type.find(';'); semicolon != std::string::npos)
                e.type = Trimmed(e.type.substr(0, semicolon));
            e.templ = Trimmed(a.value(QLatin1StringView("template")).toString().toStdString());
            e.rel = a.value(QLatin1StringView("rel")).toString().toStdString();
            e.indexOffset = OffsetAttribute(a, "indexOffset");
            e.pageOffset = OffsetAttribute(a, "pageOffset");
            elements.push_back(std::move(e));
        } else if (depth == 3 &&
                   (r.namespaceUri() == OpenSearchNs || r.namespaceUri() == ParametersNs) &&
                   r.name() == u"Param" && inUrl) {
            // Parameters given as elements (searx does so for its POST form) go into the
            // query: the request is a GET.
            const QXmlStreamAttributes a = r.attributes();
            const std::string name = a.value(QLatin1StringView("name")).toString().toStdString();
            // More than a form would have: the Url is garbage, and each one copies the template.
            if (++elements.back().params > MaxParams)
                elements.back().templ.clear();
            else if (!name.empty())
                elements.back().templ = WithQueryParameter(
                    elements.back().templ, name,
                    a.value(QLatin1StringView("value")).toString().toStdString());
        }
    }
    if (r.hasError()) {
        QString message = r.errorString();
        if (message.endsWith(u'.'))
            message.chop(1);
        error = QStringLiteral("unreadable XML: %1 (line %2, column %3)")
                    .arg(message)
                    .arg(r.lineNumber())
                    .arg(r.columnNumber())
                    .toStdString();
        return false;
    }
    if (!root) {
        error = "not an OpenSearch description: the document is empty";
        return false;
    }

    const bool searx = IsSearxDescription(longName);
    std::string skipped;
    for (UrlElement& e : elements) {
        if (!e.rel.empty() && !RelHas(e.rel, "results"))
            continue;
        if (searx && e.type == "text/html") {
            e.type = std::string(RssType);
            e.templ = WithQueryParameter(e.templ, "format", "rss");
            if (!TemplateHas(e.templ, "startPage"))
                e.templ = WithQueryParameter(e.templ, "pageno", "{startPage}");
            e.pageOffset = 1;
        }
        if (e.type != RssType && e.type != AtomType)
            continue;
        std::string url;
        std::string reason;
        TemplateValues probe;
        probe.searchTerms = "x";
        if (!ExpandOpenSearchTemplate(e.templ, probe, url, reason)) {
            skipped = reason;
            continue;
        }
        const std::optional<std::string> absolute = AbsoluteTemplate(e.templ, baseUrl);
        if (!absolute) {
            skipped = "the template " + e.templ + " is not an http or https address";
            continue;
        }
        description.urls.push_back({e.type, *absolute, e.indexOffset, e.pageOffset});
    }
    if (description.urls.empty()) {
        error = "the description offers no results as RSS or Atom";
        if (!skipped.empty())
            error += " (" + skipped + ")";
        return false;
    }
    return true;
}

std::vector<std::string> FindDescriptionLinks(std::string_view html, std::string_view pageUrl) {
    std::vector<std::string> found;
    QUrl base(QString::fromUtf8(pageUrl.data(), qsizetype(pageUrl.size())));
    bool baseSeen = false;
    std::size_t i = 0;
    while (i < html.size()) {
        if (html[i] != '<') {
            ++i;
            continue;
        }
        if (html.compare(i, 4, "<!--") == 0) {
            const std::size_t end = html.find("-->", i + 2);
            i = end == std::string_view::npos ? html.size() : end + 3;
            continue;
        }
        Tag tag;
        i = ReadTag(html, i, tag);
        if (tag.name == "script" || tag.name == "style") {
            i = SkipRawText(html, i, tag.name);
        } else if (tag.name == "base" && !baseSeen && tag.attributes.count("href")) {
            // The first <base href> is where the page's relative addresses start from.
            baseSeen = true;
            base = base.resolved(
                QUrl(QString::fromStdString(Trimmed(DecodeReferences(tag.attributes["href"])))));
        } else if (tag.name == "link" && RelHas(tag.attributes["rel"], "search") &&
                   LowerAscii(Trimmed(tag.attributes["type"])) ==
                       "application/opensearchdescription+xml") {
            const std::string href = Trimmed(DecodeReferences(tag.attributes["href"]));
            if (href.empty())
                continue;
            const QUrl address = base.resolved(QUrl(QString::fromStdString(href)));
            if (address.isValid() && !address.isRelative())
                found.push_back(address.toString(QUrl::FullyEncoded).toStdString());
        }
    }
    return found;
}
