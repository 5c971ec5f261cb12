// The attributes of a node in their order: a list that lies in the node's store after a read
// and moves into a heap block of its own when it grows.
#pragma once

#include "tree/NodeName.h"
#include "tree/NodeText.h"

#include <cstdint>

struct NodeAttr {
    NodeName name;
    NodeText value;
};

class NodeStore;

class NodeAttrs {
public:
    NodeAttrs() noexcept = default;
    NodeAttrs(const NodeAttrs&) = delete;
    NodeAttrs& operator=(const NodeAttrs&) = delete;
    ~NodeAttrs() {
        if (size_ != 0 || capacity_ != 0)
            clear();
    }

    int size() const noexcept { return static_cast<int>(size_); }
    bool empty() const noexcept { return size_ == 0; }
    NodeAttr& operator[](int i) noexcept { return items_[i]; }
    const NodeAttr& operator[](int i) const noexcept { return items_[i]; }
    NodeAttr* begin() noexcept { return items_; }
    NodeAttr* end() noexcept { return items_ + size_; }
    const NodeAttr* begin() const noexcept { return items_; }
    const NodeAttr* end() const noexcept { return items_ + size_; }

    void append(NodeName name, NodeText value);
    void erase(int i);
    void clear() noexcept;
    // A deep copy of other, in heap blocks.
    void copyFrom(const NodeAttrs& other);
    // Moves items into room in the store, values in that store included; the list must be empty.
    void placeIn(NodeStore& store, NodeAttr* items, int count);

private:
    static void relocate(NodeAttr* to, NodeAttr& from) noexcept;
    void grow();

    NodeAttr* items_ = nullptr;
    std::uint32_t size_ = 0;
    // Room in the own block; 0 when the list lies in a store.
    std::uint32_t capacity_ = 0;
};
