#include "tree/TQelPigger.h"

#include "tree/LineBreaks.h"
#include "tree/LocalText.h"
#include "tree/NodeStore.h"
#include "tree/StorePoison.h"
#include "tree/TextCase.h"
#include "tree/TreeFile.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <istream>
#include <iterator>
#include <limits>
#include <ostream>
#include <typeinfo>
#include <unordered_map>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

ByteSet makeEncodeSet() {
    ByteSet set("\"%<>");
    for (int b = 0x00; b <= 0x1F; ++b)
        if (b != 0x09 && b != 0x0A && b != 0x0D)
            set.has[static_cast<size_t>(b)] = true;
    return set;
}

const ByteSet kEncoded = makeEncodeSet();

// Position of the first byte from i on that is written escaped, or n.
size_t findEncoded(const char* data, size_t i, size_t n) {
#if defined(__SSE2__)
    const __m128i ctrlMax = _mm_set1_epi8(0x1F);
    const __m128i tab = _mm_set1_epi8('\t'), lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
    const __m128i quote = _mm_set1_epi8('"'), pct = _mm_set1_epi8('%');
    const __m128i lt = _mm_set1_epi8('<'), gt = _mm_set1_epi8('>');
    for (; i + 16 <= n; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        // Codes 0-31 other than TAB, LF and CR, and the four signs of the format.
        const __m128i ctrl = _mm_cmpeq_epi8(_mm_min_epu8(x, ctrlMax), x);
        const __m128i kept = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(x, tab), _mm_cmpeq_epi8(x, lf)), _mm_cmpeq_epi8(x, cr));
        const __m128i signs =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, quote), _mm_cmpeq_epi8(x, pct)),
                         _mm_or_si128(_mm_cmpeq_epi8(x, lt), _mm_cmpeq_epi8(x, gt)));
        const auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_andnot_si128(kept, ctrl), signs)));
        if (mask != 0)
            return i + static_cast<size_t>(__builtin_ctz(mask));
    }
#endif
    for (; i < n; ++i)
        if (kEncoded.has[static_cast<unsigned char>(data[i])])
            return i;
    return n;
}

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

// Stamps and serials come from one counter, so that no two values of either kind are equal.
// Each thread takes a block of values at a time and hands them out without further locking.
std::uint64_t nextStamp() {
    constexpr std::uint64_t block = 4096;
    static std::atomic<std::uint64_t> counter{0};
    thread_local std::uint64_t next = 0, end = 0;
    if (next == end) {
        next = counter.fetch_add(block, std::memory_order_relaxed) + 1;
        end = next + block;
    }
    return next++;
}

// How far a text goes before its first NUL, and whether every line break up to there is CR LF.
struct BreakScan {
    size_t length;
    bool crLfOnly;
};

BreakScan scanBreaks(const char* data, size_t n) {
    size_t i = 0;
    // Looks at a CR, LF or NUL at k; gives false at a NUL or once a break is not CR LF.
    const auto regular = [&](size_t k) {
        const char c = data[k];
        if (c == '\r')
            return k + 1 < n && data[k + 1] == '\n';
        if (c == '\n')
            return k > 0 && data[k - 1] == '\r';
        return c != '\0';
    };
    const auto rest = [&](size_t from) -> BreakScan {
        // A break that is not CR LF was found at from: only the NUL is left to look for.
        const void* nul = std::memchr(data + from, '\0', n - from);
        return {nul ? static_cast<size_t>(static_cast<const char*>(nul) - data) : n, false};
    };
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    const __m128i nul = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(x, cr), _mm_cmpeq_epi8(x, lf)), _mm_cmpeq_epi8(x, nul))));
        while (mask != 0) {
            const size_t k = i + static_cast<size_t>(__builtin_ctz(mask));
            mask &= mask - 1;
            if (!regular(k))
                return data[k] == '\0' ? BreakScan{k, true} : rest(k);
        }
    }
#endif
    for (; i < n; ++i) {
        const char c = data[i];
        if ((c == '\r' || c == '\n' || c == '\0') && !regular(i))
            return c == '\0' ? BreakScan{i, true} : rest(i);
    }
    return {n, true};
}

// Whether the text needs CR LF added at its end (it does not end with a line break).
bool needsFinalBreak(const char* data, size_t n) {
    return n > 0 && data[n - 1] != '\r' && data[n - 1] != '\n';
}

int hexDigit(unsigned char d) {
    return d < 'A' ? d - '0' : d - 'A' + 10;
}

// A node's memory starts with the store it lies in (none for a node on the heap). In sanitizer
// builds the size of the node comes first, so that a deleted node can be poisoned whole.
constexpr size_t kNodeHeader = QRL_ADDRESS_SANITIZER ? 16 : 8;
static_assert(alignof(TQelPigger) <= 8);

// The node operator new just placed in a store, for its constructor to recognise itself.
thread_local const void* nodeJustPlaced = nullptr;

NodeStore* headerStore(const void* node) {
    NodeStore* store;
    std::memcpy(&store, static_cast<const char*>(node) - sizeof store, sizeof store);
    return store;
}

// Marks the memory of a node deleted in its store as given up (in sanitizer builds).
void poisonNode([[maybe_unused]] const void* node) {
    if constexpr (QRL_ADDRESS_SANITIZER) {
        const char* const base = static_cast<const char*>(node) - kNodeHeader;
        size_t size;
        std::memcpy(&size, base, sizeof size);
        PoisonStoreBytes(base, kNodeHeader + size);
    }
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

// The name s with a-z upper-cased.
static NodeName upperName(std::string_view s) {
    char upper[NodeName::MaxSharedLength];
    if (s.size() > sizeof upper)
        return NodeName(UpperAscii(s));
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        upper[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    }
    return NodeName(std::string_view(upper, s.size()));
}

// The name s stands for: without the blanks around it, a-z upper-cased.
static NodeName nameFrom(std::string_view s) {
    return upperName(TrimBlanks(s));
}

void PercentEncodeTo(std::string& out, std::string_view s) {
    static constexpr char hex[] = "0123456789ABCDEF";
    const char* const data = s.data();
    const size_t n = s.size();
    size_t runStart = 0;
    for (size_t i = findEncoded(data, 0, n); i < n; i = findEncoded(data, i + 1, n)) {
        const auto b = static_cast<unsigned char>(data[i]);
        out.append(data + runStart, i - runStart);
        const char escape[3] = {'%', hex[b >> 4], hex[b & 0x0F]};
        out.append(escape, 3);
        runStart = i + 1;
    }
    out.append(data + runStart, n - runStart);
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

void PercentDecodeTo(std::string& out, std::string_view s) {
    const char* const data = s.data();
    const size_t n = s.size();
    size_t i = 0;
    while (i < n) {
        const void* hit = std::memchr(data + i, '%', n - i);
        const size_t pct = hit ? static_cast<size_t>(static_cast<const char*>(hit) - data) : n;
        out.append(data + i, pct - i);
        if (pct == n)
            break;
        // A percent sign without two characters after it stays as it is.
        if (pct + 2 < n) {
            const int value = 16 * hexDigit(static_cast<unsigned char>(data[pct + 1])) +
                              hexDigit(static_cast<unsigned char>(data[pct + 2]));
            out.push_back(static_cast<char>(value & 0xFF));
            i = pct + 3;
        } else {
            out.push_back('%');
            i = pct + 1;
        }
    }
}

std::string PercentDecode(std::string_view s) {
    std::string out;
    if (s.empty() || std::memchr(s.data(), '%', s.size()) == nullptr) {
        out.assign(s);
        return out;
    }
    out.reserve(s.size());
    PercentDecodeTo(out, s);
    return out;
}

// ---------------------------------------------------------------- life cycle

// The children of a node by serial; made on the first look-up, then kept up to date as children
// come and go.
struct TQelPigger::SerialIndex {
    std::unordered_map<std::uint64_t, TQelPigger*> children;
};

void* TQelPigger::operator new(std::size_t size) {
    NodeStore* const store = NodeStore::Current();
    char* base;
    if (store) {
        base = static_cast<char*>(store->Allocate(size + kNodeHeader));
        store->CountNode();
        nodeJustPlaced = base + kNodeHeader;
    } else {
        base = static_cast<char*>(::operator new(size + kNodeHeader));
    }
    if constexpr (kNodeHeader > sizeof store)
        std::memcpy(base, &size, sizeof size);
    std::memcpy(base + kNodeHeader - sizeof store, &store, sizeof store);
    return base + kNodeHeader;
}

void TQelPigger::operator delete(void* node) noexcept {
    if (!node)
        return;
    if (NodeStore* store = headerStore(node)) {
        poisonNode(node);
        store->Release();
    } else {
        ::operator delete(static_cast<char*>(node) - kNodeHeader);
    }
}

TQelPigger::TQelPigger(TQelPigger* parent)
    // Placed under a parent, the node takes its stamp there.
    : inStore_(nodeJustPlaced == this), stamp_(parent ? 0 : nextStamp()), serial_(nextStamp()) {
    nodeJustPlaced = nullptr;
    if (parent)
        SetParent(parent);
}

TQelPigger::~TQelPigger() {
    if (parent_)
        parent_->detachChild(this);
    parent_ = nullptr;
    if (!children_.empty() || serialIndex_)
        destroyChildren();
}

NodeStore* TQelPigger::store() const {
    return inStore_ ? headerStore(this) : nullptr;
}

TQelPigger* TQelPigger::Create(TQelPigger* parent) const {
    return new TQelPigger(parent);
}

void TQelPigger::touch() {
    stamp_ = nextStamp();
    if (parent_)
        parent_->stamp_ = nextStamp();
}

void TQelPigger::destroyChildren() noexcept {
    std::vector<TQelPigger*> doomed(children_.begin(), children_.end());
    children_.clear();
    indexDirty_ = false;
    serialIndex_.reset();
    // The nodes of one store give their references back together.
    NodeStore* releasing = nullptr;
    size_t count = 0;
    // Without recursion, whatever the depth: each node is emptied before it is deleted.
    while (!doomed.empty()) {
        TQelPigger* node = doomed.back();
        doomed.pop_back();
        // Deleting a large tree waits mostly on memory: ask early for the nodes to come.
        constexpr size_t ahead = 16;
        if (doomed.size() >= ahead) {
            const char* next = reinterpret_cast<const char*>(doomed[doomed.size() - ahead]);
            __builtin_prefetch(next);
            __builtin_prefetch(next + 64);
        }
        node->parent_ = nullptr;
        doomed.insert(doomed.end(), node->children_.begin(), node->children_.end());
        node->children_.clear();
        node->serialIndex_.reset();
        NodeStore* const store = node->store();
        if (!store) {
            delete node;
            continue;
        }
        node->~TQelPigger();
        poisonNode(node);
        if (store != releasing) {
            if (releasing)
                releasing->Release(count);
            releasing = store;
            count = 0;
        }
        ++count;
    }
    if (releasing)
        releasing->Release(count);
}

void TQelPigger::Clear() {
    destroyChildren();
    name_ = NodeName();
    Text.clear();
    attrs_.clear();
    touch();
}

void TQelPigger::SetName(std::string_view s) {
    name_ = nameFrom(s);
    touch();
}

std::string TQelPigger::Indent() const {
    std::string r = "\r\n";
    r.append(static_cast<size_t>(Depth()), '\t');
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
    children_.erase(static_cast<size_t>(index));
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
        // The children of a node made by a read go into the read's store.
        NodeStore* const current = NodeStore::Current();
        newParent->children_.push_back(this, current && newParent->store() == current ? current
                                                                                      : nullptr);
        if (newParent->serialIndex_)
            newParent->serialIndex_->children.emplace(serial_, this);
    }
    touch();
}

int TQelPigger::Depth() const {
    int depth = 0;
    for (const TQelPigger* a = parent_; a; a = a->parent_)
        ++depth;
    return depth;
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
        if (c->name_.str() == wanted)
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

std::string_view TQelPigger::AttrRef(std::string_view upperName) const {
    for (const NodeAttr& a : attrs_)
        if (a.name.str() == upperName)
            return a.value;
    return {};
}

std::string TQelPigger::GetAttr(std::string_view attrName) const {
    return std::string(AttrRef(UpperAscii(attrName)));
}

void TQelPigger::SetAttr(std::string_view attrName, std::string_view value) {
    if (value.empty()) {
        DeleteAttr(attrName);
        return;
    }
    const std::string key = UpperAscii(attrName);
    for (NodeAttr& a : attrs_)
        if (a.name.str() == key) {
            a.value = value;
            touch();
            return;
        }
    attrs_.append(NodeName(key), NodeText(value));
    touch();
}

void TQelPigger::DeleteAttr(std::string_view attrName) {
    const std::string key = UpperAscii(attrName);
    for (int i = 0; i < attrs_.size(); ++i)
        if (attrs_[i].name.str() == key) {
            attrs_.erase(i);
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
    attrs_.copyFrom(source.attrs_);
    touch();
    children_.reserve(source.children_.size());
    for (const TQelPigger* c : source.children_) {
        TQelPigger* mine = c->Create(this);
        mine->Assign(*c);
    }
}

// ---------------------------------------------------------------- writing

size_t TQelPigger::textSizeEstimate(int depth) const {
    // The text without escapes; a few escapes fit in what is added on top.
    size_t size = 0;
    std::vector<std::pair<const TQelPigger*, int>> stack{{this, depth}};
    while (!stack.empty()) {
        const auto [n, level] = stack.back();
        stack.pop_back();
        if (n->name_.empty())
            continue;
        const size_t indent = 2 + static_cast<size_t>(level);
        const size_t nameSize = n->name_.str().size();
        size += indent + nameSize + 3 + n->Text.size();
        for (const NodeAttr& a : n->attrs_)
            size += a.name.str().size() + a.value.size() + 4;
        if (!n->children_.empty() || !n->Text.empty())
            size += indent + nameSize + 3;
        for (const TQelPigger* c : n->children_)
            stack.emplace_back(c, level + 1);
    }
    return size + size / 32 + 16;
}

void TQelPigger::AppendText(std::string& out) const {
    writeText(out, {});
}

bool TQelPigger::WriteText(const std::function<bool(std::string_view)>& sink) const {
    std::string piece;
    const auto flush = [&](std::string& out) {
        const bool written = sink(out);
        out.clear();
        return written;
    };
    return writeText(piece, flush) && (piece.empty() || sink(piece));
}

bool TQelPigger::writeText(std::string& out, const std::function<bool(std::string&)>& flush) const {
    if (name_.empty())
        return true;
    const int depth = Depth();
    // Written in pieces, the text is never whole in memory.
    constexpr size_t kPiece = size_t{1} << 20;
    out.reserve(out.size() + (flush ? kPiece + kPiece / 8 : textSizeEstimate(depth)));
    const auto full = [&] { return flush && out.size() >= kPiece && !flush(out); };
    const auto indent = [&](size_t level) {
        out.append("\r\n");
        out.append(level, '\t');
    };
    // Writes the opening tag and the text; gives whether children and a closing tag follow.
    const auto open = [&](const TQelPigger* n, size_t level) {
        indent(level);
        out.push_back('<');
        out.append(n->name_.str());
        for (const NodeAttr& a : n->attrs_) {
            out.push_back(' ');
            out.append(a.name.str());
            out.append("=\"");
            PercentEncodeTo(out, a.value);
            out.push_back('"');
        }
        // Children without a name write nothing, so an element with no other content is empty.
        const bool hasContent =
            !n->Text.empty() || std::any_of(n->children_.begin(), n->children_.end(),
                                            [](const TQelPigger* c) { return !c->name_.empty(); });
        if (!hasContent) {
            out.append("/>");
            return false;
        }
        out.push_back('>');
        encodeContentTo(out, n->Text);
        return true;
    };
    const auto close = [&](const TQelPigger* n, size_t level) {
        indent(level);
        out.append("</");
        out.append(n->name_.str());
        out.push_back('>');
    };
    const auto base = static_cast<size_t>(depth);
    if (!open(this, base))
        return true;
    // Without recursion, whatever the depth. A node without a name is written with nothing
    // of what lies below it.
    struct Frame {
        const TQelPigger* node;
        size_t next;
    };
    std::vector<Frame> stack{{this, 0}};
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next < f.node->children_.size()) {
            const TQelPigger* c = f.node->children_[f.next++];
            if (!c->name_.empty() && open(c, base + stack.size()))
                stack.push_back({c, 0});
        } else {
            close(f.node, base + stack.size() - 1);
            stack.pop_back();
        }
        if (full())
            return false;
    }
    return true;
}

std::string TQelPigger::GetAsText() const {
    std::string out;
    AppendText(out);
    return out;
}

void TQelPigger::SaveToStream(std::ostream& stream) const {
    const std::string text = GetAsText();
    if (!text.empty())
        stream.write(text.data(), static_cast<std::streamsize>(text.size()));
}

bool TQelPigger::SaveToSink(const std::function<bool(std::string_view)>& sink) const {
    // A derived class may write its own text; a plain tree is written in pieces.
    return typeid(*this) == typeid(TQelPigger) ? WriteText(sink) : sink(GetAsText());
}

void TQelPigger::SaveToFile(const std::string& fileName) const {
    std::string reason;
    if (!WriteFileAtomically(
            fileName, [this](const FileSink& sink) { return SaveToSink(sink); },
            FilePermissions::Usual, &reason))
        throw EQelFileError(reason);
}

// ---------------------------------------------------------------- reading

std::string TQelPigger::NormalizeLineBreaks(std::string_view bytes) {
    const BreakScan scan = scanBreaks(bytes.data(), bytes.size());
    bytes = bytes.substr(0, scan.length);
    std::string out;
    if (scan.crLfOnly) {
        out.reserve(bytes.size() + 2);
        out.append(bytes);
    } else {
        out = WithCrLfBreaks(bytes);
    }
    if (needsFinalBreak(bytes.data(), bytes.size()))
        out.append("\r\n");
    return out;
}

void TQelPigger::LoadFromStream(std::istream& stream) {
    const std::string bytes((std::istreambuf_iterator<char>(stream)),
                            std::istreambuf_iterator<char>());
    SetAsText(NormalizeLineBreaks(bytes));
}

void TQelPigger::LoadFromFile(const std::string& fileName) {
    std::string normalized;
    {
        WholeFile file(fileName);
        char* const data = file.data();
        std::size_t size = file.size();
        const BreakScan scan = scanBreaks(data, size);
        // Read in place when the line breaks are already CR LF (as in every file this program
        // writes), with the room after the file for a line break at its end.
        if (scan.crLfOnly) {
            size = scan.length;
            if (needsFinalBreak(data, size)) {
                data[size++] = '\r';
                data[size++] = '\n';
            }
            SetAsText(std::string_view(data, size));
            return;
        }
        normalized = NormalizeLineBreaks(std::string_view(data, size));
    }
    SetAsText(normalized);
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
    while (!open.empty()) {
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
