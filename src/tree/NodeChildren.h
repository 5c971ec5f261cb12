// The list of a node's children. The few children of a record read from a file lie in the
// read's store; a list that grows past a few entries moves into a heap block of its own.
#pragma once

#include "tree/StorePoison.h"

#include <cstdint>
#include <span>

class NodeStore;
class TQelPigger;

class NodeChildren {
public:
    NodeChildren() noexcept = default;
    NodeChildren(const NodeChildren&) = delete;
    NodeChildren& operator=(const NodeChildren&) = delete;
    ~NodeChildren() {
        if ((capacity_ & kOwn) || (QRL_ADDRESS_SANITIZER && items_))
            freeOwn();
    }

    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }
    TQelPigger* operator[](std::size_t i) const noexcept { return items_[i]; }
    TQelPigger* const* begin() const noexcept { return items_; }
    TQelPigger* const* end() const noexcept { return items_ + size_; }
    std::span<TQelPigger* const> span() const noexcept { return {items_, size_}; }

    // Appends child; while the list is short, its room may come from store (or none).
    void push_back(TQelPigger* child, NodeStore* store);
    void erase(std::size_t index) noexcept;
    void reserve(std::size_t count);
    void clear() noexcept;

    // Lists of at most this many entries lie in the store of a read.
    static constexpr std::uint32_t MaxInStore = 8;

private:
    void moveTo(std::uint32_t capacity, NodeStore* store);
    void freeOwn() noexcept;

    std::uint32_t room() const noexcept { return capacity_ & ~kOwn; }

    // Set in capacity_ when items_ is a heap block of this list's own.
    static constexpr std::uint32_t kOwn = 0x80000000u;
    TQelPigger** items_ = nullptr;
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = 0;
};
