// The tree's nodes: their life (placed in a read's store or on the heap), names, children and
// attributes, and copying.
#include "tree/TQelPigger.h"

#include "tree/NodeStore.h"
#include "tree/StorePoison.h"
#include "tree/TextCase.h"
#include "tree/TreeScan.h"

#include <atomic>
#include <cstring>
#include <unordered_map>

using namespace TreeScan;

namespace {

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
