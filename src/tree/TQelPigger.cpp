#include "tree/TQelPigger.h"

#include "tree/LineBreaks.h"
#include "tree/LocalText.h"
#include "tree/TextCase.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <atomic>
#include <istream>
#include <iterator>
#include <ostream>
#include <unordered_map>

namespace {

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

struct ByteSet {
    std::array<bool, 256> has{};
    constexpr explicit ByteSet(std::string_view chars) {
        for (char c : chars)
            has[static_cast<unsigned char>(c)] = true;
    }
    bool operator()(char c) const { return has[static_cast<unsigned char>(c)]; }
};

constexpr ByteSet kTagNameEnd(" />\r\n\t");
constexpr ByteSet kAttrNameEnd(" =/>\r\n\t");
constexpr ByteSet kValueEnd(" >/\n\r\t");
constexpr ByteSet kClosingNameEnd(" =/>\r\n\t");
constexpr ByteSet kLessThan("<");
constexpr ByteSet kQuote("\"");

ByteSet makeEncodeSet() {
    ByteSet set("\"%<>");
    for (int b = 0x00; b <= 0x1F; ++b)
        if (b != 0x09 && b != 0x0A && b != 0x0D)
            set.has[static_cast<size_t>(b)] = true;
    return set;
}

const ByteSet kEncoded = makeEncodeSet();

// A cursor over the text with the 1-based positions of the format's messages.
struct Reader {
    std::string_view s;
    int len;

    explicit Reader(std::string_view text) : s(text), len(static_cast<int>(text.size())) {}

    // The character at 1-based position i, NUL outside the text.
    char at(int i) const { return (i >= 1 && i <= len) ? s[static_cast<size_t>(i - 1)] : '\0'; }

    // Advances over codes 0-32, never past the last character.
    void skipBlanks(int& p) const {
        while (p >= 1 && p < len && isBlank(s[static_cast<size_t>(p - 1)]))
            ++p;
    }

    // First position from p (at least 1) holding a character of the set, or 0.
    int find(const ByteSet& set, int p) const {
        for (int i = p < 1 ? 1 : p; i <= len; ++i)
            if (set(s[static_cast<size_t>(i - 1)]))
                return i;
        return 0;
    }

    // The characters from position a up to, not including, position b.
    std::string_view range(int a, int b) const {
        if (b <= a)
            return {};
        return s.substr(static_cast<size_t>(a - 1), static_cast<size_t>(b - a));
    }
};

// Stamps and serials come from one counter, so that no two values of either kind are equal.
std::uint64_t nextStamp() {
    static std::atomic<std::uint64_t> counter{0};
    return counter.fetch_add(1, std::memory_order_relaxed) + 1;
}

int hexDigit(unsigned char d) {
    return d < 'A' ? d - '0' : d - 'A' + 10;
}

} // namespace

// ---------------------------------------------------------------- helpers

std::string DescribeReadError(const EQelPiggerError& error, std::string_view fileName) {
    std::string text;
    if (!fileName.empty()) {
        text.append(fileName);
        text.append(": ");
    }
    text.append(error.what());
    text.append(". Position ");
    text.append(std::to_string(error.Position));
    return text;
}

std::string_view TrimBlanks(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

std::string UpperAscii(std::string_view s) {
    std::string r(s);
    for (auto& c : r)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return r;
}

void PercentEncodeTo(std::string& out, std::string_view s) {
    static constexpr char hex[] = "0123456789ABCDEF";
    size_t runStart = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (!kEncoded.has[b])
            continue;
        out.append(s.substr(runStart, i - runStart));
        out.push_back('%');
        out.push_back(hex[b >> 4]);
        out.push_back(hex[b & 0x0F]);
        runStart = i + 1;
    }
    out.append(s.substr(runStart));
}

// Content text is read without the blanks around it, so blanks at its start or end are written
// encoded: they then read back as part of the text.
static void encodeContentTo(std::string& out, std::string_view s) {
    static constexpr char hex[] = "0123456789ABCDEF";
    const auto escaped = [&](char c) {
        const auto b = static_cast<unsigned char>(c);
        out.push_back('%');
        out.push_back(hex[b >> 4]);
        out.push_back(hex[b & 0x0F]);
    };
    size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    for (size_t i = 0; i < b; ++i)
        escaped(s[i]);
    PercentEncodeTo(out, s.substr(b, e - b));
    for (size_t i = e; i < s.size(); ++i)
        escaped(s[i]);
}

std::string PercentEncode(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    PercentEncodeTo(out, s);
    return out;
}

std::string PercentDecode(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        // A percent sign without two characters after it stays as it is.
        if (s[i] == '%' && i + 2 < s.size()) {
            const int value = 16 * hexDigit(static_cast<unsigned char>(s[i + 1])) +
                              hexDigit(static_cast<unsigned char>(s[i + 2]));
            out.push_back(static_cast<char>(value & 0xFF));
            i += 3;
        } else {
            out.push_back(s[i]);
            ++i;
        }
    }
    return out;
}

// ---------------------------------------------------------------- life cycle

// The children of a node by serial; made on the first look-up, then kept up to date as children
// come and go.
struct TQelPigger::SerialIndex {
    std::unordered_map<std::uint64_t, TQelPigger*> children;
};

TQelPigger::TQelPigger(TQelPigger* parent) : stamp_(nextStamp()), serial_(nextStamp()) {
    if (parent)
        SetParent(parent);
}

TQelPigger::~TQelPigger() {
    if (parent_)
        parent_->detachChild(this);
    parent_ = nullptr;
    TQelPigger::Clear();
}

TQelPigger* TQelPigger::Create(TQelPigger* parent) const {
    return new TQelPigger(parent);
}

void TQelPigger::touch() {
    stamp_ = nextStamp();
    if (parent_)
        parent_->stamp_ = nextStamp();
}

void TQelPigger::Clear() {
    std::vector<TQelPigger*> doomed;
    doomed.swap(children_);
    indexDirty_ = false;
    serialIndex_.reset();
    // Without recursion, whatever the depth: each node is emptied before it is deleted.
    while (!doomed.empty()) {
        TQelPigger* node = doomed.back();
        doomed.pop_back();
        node->parent_ = nullptr;
        doomed.insert(doomed.end(), node->children_.begin(), node->children_.end());
        node->children_.clear();
        node->serialIndex_.reset();
        delete node;
    }
    name_.clear();
    Text.clear();
    attrs_.clear();
    touch();
}

void TQelPigger::SetName(std::string_view s) {
    name_ = UpperAscii(TrimBlanks(s));
    touch();
}

std::string TQelPigger::Indent() const {
    std::string r = "\r\n";
    r.append(static_cast<size_t>(depth_), '\t');
    return r;
}

// ---------------------------------------------------------------- structure

void TQelPigger::renumberChildren() const {
    for (size_t i = 0; i < children_.size(); ++i)
        children_[i]->indexInParent_ = static_cast<int>(i);
    indexDirty_ = false;
}

int TQelPigger::IndexOfChild(const TQelPigger* child) const {
    if (!child || child->parent_ != this)
        return -1;
    if (indexDirty_)
        renumberChildren();
    return child->indexInParent_;
}

void TQelPigger::detachChild(TQelPigger* child) {
    const int index = IndexOfChild(child);
    if (index < 0)
        return;
    children_.erase(children_.begin() + index);
    if (index != static_cast<int>(children_.size()))
        indexDirty_ = true;
    if (serialIndex_)
        serialIndex_->children.erase(child->serial_);
    child->parent_ = nullptr;
    stamp_ = nextStamp();
}

void TQelPigger::SetParent(TQelPigger* newParent) {
    if (newParent == parent_)
        return;
    if (parent_)
        parent_->detachChild(this);
    parent_ = newParent;
    if (newParent) {
        indexInParent_ = static_cast<int>(newParent->children_.size());
        newParent->children_.push_back(this);
        if (newParent->serialIndex_)
            newParent->serialIndex_->children.emplace(serial_, this);
    }
    touch();
    fixDepth();
}

void TQelPigger::fixDepth() {
    // Depth first, without recursion: a moved subtree may be deep.
    std::vector<TQelPigger*> stack{this};
    while (!stack.empty()) {
        TQelPigger* n = stack.back();
        stack.pop_back();
        n->depth_ = n->parent_ ? n->parent_->depth_ + 1 : 0;
        for (auto it = n->children_.rbegin(); it != n->children_.rend(); ++it)
            stack.push_back(*it);
    }
}

TQelPigger* TQelPigger::Child(int index) {
    if (index < 0 || index >= ChildCount())
        return nullptr;
    return children_[static_cast<size_t>(index)];
}

const TQelPigger* TQelPigger::Child(int index) const {
    if (index < 0 || index >= ChildCount())
        return nullptr;
    return children_[static_cast<size_t>(index)];
}

TQelPigger* TQelPigger::AddChild(std::string_view name) {
    TQelPigger* child = Create(this);
    child->SetName(name);
    return child;
}

TQelPigger* TQelPigger::FindOrAddChild(std::string_view name) {
    if (TQelPigger* found = FindChild(name))
        return found;
    return AddChild(name);
}

TQelPigger* TQelPigger::FindChildBySerial(std::uint64_t serial) const {
    if (!serialIndex_) {
        serialIndex_ = std::make_unique<SerialIndex>();
        serialIndex_->children.reserve(children_.size());
        for (TQelPigger* c : children_)
            serialIndex_->children.emplace(c->serial_, c);
    }
    const auto it = serialIndex_->children.find(serial);
    return it == serialIndex_->children.end() ? nullptr : it->second;
}

TQelPigger* TQelPigger::FindChild(std::string_view childName) const {
    const std::string wanted = UpperAscii(childName);
    for (TQelPigger* c : children_)
        if (c->name_ == wanted)
            return c;
    return nullptr;
}

TQelPigger* TQelPigger::FindNextChild(const TQelPigger* child) const {
    const int index = IndexOfChild(child);
    if (index < 0)
        return nullptr;
    for (size_t i = static_cast<size_t>(index) + 1; i < children_.size(); ++i)
        if (children_[i]->name_ == child->name_)
            return children_[i];
    return nullptr;
}

TQelPigger* TQelPigger::FindChildByAttr(std::string_view attrName, std::string_view value) const {
    const std::string key = UpperAscii(attrName);
    for (TQelPigger* c : children_)
        if (SameTextIgnoringCase(c->AttrRef(key), value))
            return c;
    return nullptr;
}

void TQelPigger::DeleteChild(int index) {
    delete Child(index);
}

void TQelPigger::DeleteChildNode(TQelPigger* node) {
    if (!node)
        return;
    node->SetParent(nullptr);
    delete node;
}

// ---------------------------------------------------------------- attributes

const std::string& TQelPigger::AttrRef(std::string_view upperName) const {
    static const std::string empty;
    for (const auto& a : attrs_)
        if (a.first == upperName)
            return a.second;
    return empty;
}

std::string TQelPigger::GetAttr(std::string_view attrName) const {
    return AttrRef(UpperAscii(attrName));
}

void TQelPigger::SetAttr(std::string_view attrName, std::string_view value) {
    if (value.empty()) {
        DeleteAttr(attrName);
        return;
    }
    std::string key = UpperAscii(attrName);
    for (auto& a : attrs_)
        if (a.first == key) {
            a.second = value;
            touch();
            return;
        }
    attrs_.emplace_back(std::move(key), std::string(value));
    touch();
}

void TQelPigger::DeleteAttr(std::string_view attrName) {
    const std::string key = UpperAscii(attrName);
    for (auto it = attrs_.begin(); it != attrs_.end(); ++it)
        if (it->first == key) {
            attrs_.erase(it);
            touch();
            return;
        }
}

// ---------------------------------------------------------------- copying

void TQelPigger::Assign(const TQelPigger& source) {
    if (&source == this)
        return;
    // When the source lies inside this subtree, Clear would destroy it; when this node lies
    // inside the source, the copy would grow the source while it is being read. Copy it first.
    bool nested = false;
    for (const TQelPigger* a = source.parent_; a && !nested; a = a->parent_)
        nested = a == this;
    for (const TQelPigger* a = parent_; a && !nested; a = a->parent_)
        nested = a == &source;
    if (nested) {
        TQelPigger copy;
        copy.Assign(source);
        Assign(copy);
        return;
    }
    Clear();
    name_ = source.name_;
    Text = source.Text;
    attrs_ = source.attrs_;
    touch();
    children_.reserve(source.children_.size());
    for (const TQelPigger* c : source.children_) {
        TQelPigger* mine = c->Create(this);
        mine->Assign(*c);
    }
}

// ---------------------------------------------------------------- writing

void TQelPigger::AppendText(std::string& out) const {
    if (name_.empty())
        return;
    const auto indent = [&] {
        out.append("\r\n");
        out.append(static_cast<size_t>(depth_), '\t');
    };
    indent();
    out.push_back('<');
    out.append(name_);
    for (const auto& [n, v] : attrs_) {
        out.push_back(' ');
        out.append(n);
        out.append("=\"");
        PercentEncodeTo(out, v);
        out.push_back('"');
    }
    // Children without a name write nothing, so an element with no other content is empty.
    const bool hasContent =
        !Text.empty() || std::any_of(children_.begin(), children_.end(),
                                     [](const TQelPigger* c) { return !c->name_.empty(); });
    if (!hasContent) {
        out.append("/>");
        return;
    }
    out.push_back('>');
    encodeContentTo(out, Text);
    for (const TQelPigger* c : children_)
        c->AppendText(out);
    indent();
    out.append("</");
    out.append(name_);
    out.push_back('>');
}

std::string TQelPigger::GetAsText() const {
    std::string out;
    out.reserve(4096);
    AppendText(out);
    out.shrink_to_fit();
    return out;
}

void TQelPigger::SaveToStream(std::ostream& stream) const {
    const std::string text = GetAsText();
    if (!text.empty())
        stream.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void TQelPigger::SaveToFile(const std::string& fileName) const {
    const std::string text = GetAsText();
    QSaveFile file(ToQPath(fileName));
    // Never write into the file itself: a failure half way would destroy it.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        throw EQelFileError("Cannot create file \"" + fileName +
                            "\": " + file.errorString().toStdString());
    if (!text.empty() && file.write(text.data(), static_cast<qint64>(text.size())) !=
                             static_cast<qint64>(text.size())) {
        const std::string why = file.errorString().toStdString();
        file.cancelWriting();
        throw EQelFileError("Cannot write file \"" + fileName + "\": " + why);
    }
    if (!file.commit())
        throw EQelFileError("Cannot write file \"" + fileName +
                            "\": " + file.errorString().toStdString());
}

// ---------------------------------------------------------------- reading

std::string TQelPigger::NormalizeLineBreaks(std::string_view bytes) {
    const size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos)
        bytes = bytes.substr(0, nul);
    std::string out = WithCrLfBreaks(bytes);
    if (!bytes.empty() && bytes.back() != '\r' && bytes.back() != '\n')
        out.append("\r\n");
    return out;
}

void TQelPigger::LoadFromStream(std::istream& stream) {
    const std::string bytes((std::istreambuf_iterator<char>(stream)),
                            std::istreambuf_iterator<char>());
    SetAsText(NormalizeLineBreaks(bytes));
}

void TQelPigger::LoadFromFile(const std::string& fileName) {
    if (fileName.empty())
        throw EQelFileError("Cannot open file \"\": no file name given");
    QFile file(ToQPath(fileName));
    if (!file.open(QIODevice::ReadOnly))
        throw EQelFileError("Cannot open file \"" + fileName +
                            "\": " + file.errorString().toStdString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EQelFileError("Cannot read file \"" + fileName +
                            "\": " + file.errorString().toStdString());
    SetAsText(NormalizeLineBreaks(
        std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))));
}

void TQelPigger::SetAsText(std::string_view s) {
    Clear();
    if (s.empty())
        return;
    const Reader r(s);
    int p = 1;
    r.skipBlanks(p);
    ReadElement(s, p);
}

void TQelPigger::ReadElement(std::string_view s, int& p) {
    if (!readOpeningTag(s, p))
        return;
    // The elements whose content is being read, outermost first; an element that no node takes
    // (CreateChild gave none) is read into a node of its own that goes with it.
    struct Open {
        TQelPigger* node;
        std::unique_ptr<TQelPigger> skipped;
    };
    std::vector<Open> open;
    open.push_back({this, nullptr});
    const Reader r(s);
    while (!open.empty()) {
        TQelPigger* node = open.back().node;
        // Content.
        r.skipBlanks(p);
        const int next = r.find(kLessThan, p);
        if (next > p) {
            const std::string_view piece = TrimBlanks(r.range(p, next));
            if (!piece.empty()) {
                const std::string decoded = PercentDecode(piece);
                if (!decoded.empty() && node->AcceptText(decoded))
                    node->Text.append(decoded);
            }
            p = next;
        }
        if (next == 0)
            node->Error(QelMessages::SyntaxError, p);
        if (r.at(next + 1) == '/') {
            node->readClosingTag(s, p);
            const Open done = std::move(open.back());
            open.pop_back();
            if (!open.empty() && !done.skipped)
                open.back().node->ChildLoaded(done.node);
            continue;
        }
        // A child element.
        int q = next + 1;
        r.skipBlanks(q);
        const int end = r.find(kTagNameEnd, q);
        if (end == 0)
            node->Error(QelMessages::SyntaxError, q);
        // The depth of node is open.size() - 1.
        if (static_cast<int>(open.size()) >= MaxReadDepth)
            node->Error(QelMessages::SyntaxError, next);
        Open child{node->CreateChild(r.range(q, end)), nullptr};
        if (!child.node) {
            child.skipped = std::make_unique<TQelPigger>();
            child.node = child.skipped.get();
        }
        if (child.node->readOpeningTag(s, p))
            open.push_back(std::move(child));
        else if (!child.skipped)
            node->ChildLoaded(child.node);
    }
}

bool TQelPigger::readOpeningTag(std::string_view s, int& p) {
    const Reader r(s);

    // Opening tag name.
    const int lt = r.find(kLessThan, p);
    if (lt == 0)
        Error(QelMessages::SyntaxError, p);
    p = lt + 1;
    r.skipBlanks(p);
    int end = r.find(kTagNameEnd, p);
    if (end == 0)
        Error(QelMessages::SyntaxError, p);
    SetName(r.range(p, end));
    p = end;

    // Attributes.
    for (;;) {
        r.skipBlanks(p);
        const char c = r.at(p);
        if (c == '/' || c == '>')
            break;
        end = r.find(kAttrNameEnd, p);
        if (end == 0)
            Error(QelMessages::SyntaxError, p);
        std::string attrName = UpperAscii(r.range(p, end));
        p = end;
        r.skipBlanks(p);
        std::string value;
        if (r.at(p) == '=') {
            ++p;
            r.skipBlanks(p);
            if (r.at(p) == '"') {
                const int close = r.find(kQuote, p + 1);
                if (close == 0)
                    Error(QelMessages::SyntaxError, p);
                value = PercentDecode(r.range(p + 1, close));
                p = close + 1;
            } else {
                end = r.find(kValueEnd, p);
                if (end == 0)
                    Error(QelMessages::SyntaxError, p);
                value = PercentDecode(r.range(p, end));
                p = end;
            }
        } else if (attrName.empty()) {
            // Only a blank that is the last character of the text stops here: the text ends
            // inside the opening tag.
            Error(QelMessages::SyntaxError, p);
        }
        attrs_.emplace_back(std::move(attrName), std::move(value));
    }
    touch();

    // End of the opening tag.
    r.skipBlanks(p);
    if (r.at(p) == '/' && r.at(p + 1) == '>') {
        p += 2;
        return false;
    }
    if (r.at(p) != '>')
        Error(QelMessages::SyntaxError, p + 1);
    ++p;
    return true;
}

void TQelPigger::readClosingTag(std::string_view s, int& p) {
    const Reader r(s);
    r.skipBlanks(p);
    const int start = p;
    const auto unclosed = [&] {
        std::string message = QelMessages::UnclosedTag;
        message.replace(message.find("%s"), 2, name_);
        Error(message, start);
    };
    if (r.at(p) != '<' || r.at(p + 1) != '/')
        unclosed();
    p += 2;
    const int end = r.find(kClosingNameEnd, p);
    if (end == 0 || UpperAscii(r.range(p, end)) != name_)
        unclosed();
    p = end;
    r.skipBlanks(p);
    if (r.at(p) != '>')
        unclosed();
    ++p;
}

TQelPigger* TQelPigger::CreateChild(std::string_view) {
    return new TQelPigger(this);
}

void TQelPigger::ChildLoaded(TQelPigger*) {}

bool TQelPigger::AcceptText(std::string_view) {
    return true;
}

void TQelPigger::Error(const std::string& message, int position) const {
    throw EQelPiggerError(message, position);
}
