#include "tree/NodeAttrs.h"

#include "tree/NodeStore.h"
#include "tree/StorePoison.h"

#include <new>
#include <utility>

// Moves from into the raw room at to; a value in a store stays there (same node).
void NodeAttrs::relocate(NodeAttr* to, NodeAttr& from) noexcept {
    auto* made = new (to) NodeAttr{std::move(from.name), NodeText()};
    made->value.moveWithinNode(from.value);
    from.~NodeAttr();
}

void NodeAttrs::grow() {
    const std::uint32_t capacity = size_ < 2 ? 2 : size_ * 2;
    auto* items = static_cast<NodeAttr*>(::operator new(sizeof(NodeAttr) * capacity));
    for (std::uint32_t i = 0; i < size_; ++i)
        relocate(items + i, items_[i]);
    if (capacity_ != 0)
        ::operator delete(items_);
    else if (items_)
        PoisonStoreBytes(items_, sizeof(NodeAttr) * size_);
    items_ = items;
    capacity_ = capacity;
}

void NodeAttrs::append(NodeName name, NodeText value) {
    // A list in a store has no room to grow: it moves to the heap.
    if (size_ >= capacity_)
        grow();
    auto* made = new (items_ + size_) NodeAttr{std::move(name), NodeText()};
    made->value.moveWithinNode(value);
    ++size_;
}

void NodeAttrs::erase(int i) {
    const auto at = static_cast<std::uint32_t>(i);
    items_[at].~NodeAttr();
    for (std::uint32_t k = at + 1; k < size_; ++k)
        relocate(items_ + k - 1, items_[k]);
    --size_;
    // A list in a store is not moved: its last place stays empty for good.
    if (capacity_ == 0)
        PoisonStoreBytes(items_ + size_, sizeof(NodeAttr));
}

void NodeAttrs::clear() noexcept {
    for (std::uint32_t i = 0; i < size_; ++i)
        items_[i].~NodeAttr();
    if (capacity_ != 0)
        ::operator delete(items_);
    else if (items_)
        PoisonStoreBytes(items_, sizeof(NodeAttr) * size_);
    items_ = nullptr;
    size_ = 0;
    capacity_ = 0;
}

void NodeAttrs::copyFrom(const NodeAttrs& other) {
    clear();
    if (other.size_ == 0)
        return;
    items_ = static_cast<NodeAttr*>(::operator new(sizeof(NodeAttr) * other.size_));
    capacity_ = other.size_;
    for (; size_ < other.size_; ++size_)
        new (items_ + size_) NodeAttr{other.items_[size_].name, other.items_[size_].value};
}

void NodeAttrs::placeIn(NodeStore& store, NodeAttr* items, int count) {
    const auto n = static_cast<std::uint32_t>(count);
    items_ = static_cast<NodeAttr*>(store.Allocate(sizeof(NodeAttr) * n));
    for (std::uint32_t i = 0; i < n; ++i) {
        auto* made = new (items_ + i) NodeAttr{std::move(items[i].name), NodeText()};
        made->value.moveWithinNode(items[i].value);
    }
    size_ = n;
}
