// Reading a tree from its text, without recursion, into the nodes of one store.
#include "tree/TQelPigger.h"

#include "tree/NodeStore.h"
#include "tree/TreeScan.h"

#include <cstring>
#include <memory>
#include <vector>

using namespace TreeScan;

namespace {

constexpr ByteSet kTagNameEnd(" />\r\n\t");

constexpr ByteSet kAttrNameEnd(" =/>\r\n\t");

constexpr ByteSet kValueEnd(" >/\n\r\t");

constexpr ByteSet kClosingNameEnd(" =/>\r\n\t");

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

    // First position from p (at least 1) holding the character c, or 0.
    int findByte(char c, int p) const {
        const int from = p < 1 ? 1 : p;
        if (from > len)
            return 0;
        const void* hit =
            std::memchr(s.data() + (from - 1), c, static_cast<size_t>(len - from + 1));
        return hit ? static_cast<int>(static_cast<const char*>(hit) - s.data()) + 1 : 0;
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

} // namespace

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

void TQelPigger::SetAsText(std::string_view s) {
    Clear();
    if (s.empty())
        return;
    const Reader r(s);
    int p = 1;
    r.skipBlanks(p);
    ReadElement(s, p);
}

void TQelPigger::takeText(std::string_view piece, std::string& scratch) {
    std::string_view decoded = piece;
    if (std::memchr(piece.data(), '%', piece.size()) != nullptr) {
        scratch.clear();
        PercentDecodeTo(scratch, piece);
        decoded = scratch;
    }
    if (decoded.empty() || !AcceptText(decoded))
        return;
    // The first piece of a node made by this read goes into the read's store.
    NodeStore* const current = NodeStore::Current();
    if (Text.empty() && current && store() == current)
        Text.borrow(current->Copy(decoded), decoded.size());
    else
        Text.append(decoded);
}

void TQelPigger::ReadElement(std::string_view s, int& p) {
    // The nodes made here, their texts and attributes lie in one store.
    const NodeStore::Scope scope(s.size());
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
    // Content with escapes is decoded here, once for all elements.
    std::string scratch;
    // Told of the way through this text only (a read nested in this one reads another).
    struct Progress {
        ReadProgress* hook;
        explicit Progress(std::string_view text)
            : hook(readProgress && readProgress->base == text.data() ? readProgress : nullptr) {
            readProgress = nullptr;
        }
        ~Progress() { readProgress = hook; }
    } progress(s);
    constexpr int kProgressStep = 4 << 20;
    int nextProgress = kProgressStep;
    while (!open.empty()) {
        if (progress.hook && p > nextProgress) {
            progress.hook->Passed(static_cast<std::size_t>(p - 1));
            nextProgress = p + kProgressStep;
        }
        TQelPigger* node = open.back().node;
        // Content.
        r.skipBlanks(p);
        const int next = r.findByte('<', p);
        if (next > p) {
            const std::string_view piece = TrimBlanks(r.range(p, next));
            if (!piece.empty())
                node->takeText(piece, scratch);
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
    const int lt = r.findByte('<', p);
    if (lt == 0)
        Error(QelMessages::SyntaxError, p);
    p = lt + 1;
    r.skipBlanks(p);
    int end = r.find(kTagNameEnd, p);
    if (end == 0)
        Error(QelMessages::SyntaxError, p);
    // A node made by this read is seen by nobody yet: its new name is marked with the change of
    // its attributes at the end.
    NodeStore* const current = NodeStore::Current();
    const bool made = current && store() == current;
    if (made)
        name_ = nameFrom(r.range(p, end));
    else
        SetName(r.range(p, end));
    p = end;

    // Attributes. A node made by this read keeps them, and their values, in the read's store;
    // they are gathered first so that the list is placed there at once.
    NodeStore* keep = made && attrs_.empty() ? current : nullptr;
    constexpr int kGathered = 8;
    // Room for the attributes of a record, made only as far as it is used.
    struct Gathered {
        alignas(NodeAttr) unsigned char room[kGathered * sizeof(NodeAttr)];
        int count = 0;
        NodeAttr* items() { return reinterpret_cast<NodeAttr*>(room); }
        ~Gathered() {
            for (int i = 0; i < count; ++i)
                items()[i].~NodeAttr();
        }
    } gathered;
    std::string scratch;
    const auto value = [&](std::string_view raw) {
        std::string_view decoded = raw;
        if (!raw.empty() && std::memchr(raw.data(), '%', raw.size()) != nullptr) {
            scratch.clear();
            PercentDecodeTo(scratch, raw);
            decoded = scratch;
        }
        NodeText text;
        if (keep && !decoded.empty())
            text.borrow(keep->Copy(decoded), decoded.size());
        else
            text.assign(decoded);
        return text;
    };
    for (;;) {
        r.skipBlanks(p);
        const char c = r.at(p);
        if (c == '/' || c == '>')
            break;
        end = r.find(kAttrNameEnd, p);
        if (end == 0)
            Error(QelMessages::SyntaxError, p);
        const std::string_view attrName = r.range(p, end);
        p = end;
        r.skipBlanks(p);
        NodeText attrValue;
        if (r.at(p) == '=') {
            ++p;
            r.skipBlanks(p);
            if (r.at(p) == '"') {
                const int close = r.findByte('"', p + 1);
                if (close == 0)
                    Error(QelMessages::SyntaxError, p);
                attrValue = value(r.range(p + 1, close));
                p = close + 1;
            } else {
                end = r.find(kValueEnd, p);
                if (end == 0)
                    Error(QelMessages::SyntaxError, p);
                attrValue = value(r.range(p, end));
                p = end;
            }
        } else if (attrName.empty()) {
            // Only a blank that is the last character of the text stops here: the text ends
            // inside the opening tag.
            Error(QelMessages::SyntaxError, p);
        }
        if (keep && gathered.count < kGathered) {
            NodeAttr* attr =
                new (gathered.items() + gathered.count) NodeAttr{upperName(attrName), {}};
            ++gathered.count;
            attr->value.moveWithinNode(attrValue);
            continue;
        }
        // Many attributes: the list goes to the heap.
        for (int i = 0; i < gathered.count; ++i)
            attrs_.append(std::move(gathered.items()[i].name),
                          std::move(gathered.items()[i].value));
        for (int i = 0; i < gathered.count; ++i)
            gathered.items()[i].~NodeAttr();
        // Spilled once: the rest of the attributes go straight to the list.
        gathered.count = 0;
        keep = nullptr;
        attrs_.append(upperName(attrName), std::move(attrValue));
    }
    if (keep && gathered.count > 0)
        attrs_.placeIn(*keep, gathered.items(), gathered.count);
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
        message.replace(message.find("%s"), 2, name_.str());
        Error(message, start);
    };
    // The closing name in any case against the (upper-case) name of the element.
    const std::string& name = name_.str();
    const auto sameName = [&](std::string_view closing) {
        if (closing.size() != name.size())
            return false;
        for (size_t i = 0; i < closing.size(); ++i) {
            char c = closing[i];
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 32);
            if (c != name[i])
                return false;
        }
        return true;
    };
    if (r.at(p) != '<' || r.at(p + 1) != '/')
        unclosed();
    p += 2;
    const int end = r.find(kClosingNameEnd, p);
    if (end == 0 || !sameName(r.range(p, end)))
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
