#include "tree/NodeChildren.h"

#include "tree/NodeStore.h"

#include <cstring>
#include <stdexcept>

void NodeChildren::freeOwn() noexcept {
    if (capacity_ & kOwn)
        delete[] items_;
    else if (items_)
        PoisonStoreBytes(items_, sizeof(TQelPigger*) * room());
    items_ = nullptr;
    size_ = 0;
    capacity_ = 0;
}

void NodeChildren::moveTo(std::uint32_t capacity, NodeStore* store) {
    TQelPigger** items;
    const bool own = !store || capacity > MaxInStore;
    if (own)
        items = new TQelPigger*[capacity];
    else
        items = static_cast<TQelPigger**>(store->Allocate(sizeof(TQelPigger*) * capacity));
    if (size_ != 0)
        std::memcpy(items, items_, sizeof(TQelPigger*) * size_);
    if (capacity_ & kOwn)
        delete[] items_;
    else if (items_)
        PoisonStoreBytes(items_, sizeof(TQelPigger*) * room());
    items_ = items;
    capacity_ = own ? capacity | kOwn : capacity;
}

void NodeChildren::push_back(TQelPigger* child, NodeStore* store) {
    if (size_ == room()) {
        if (size_ > (kOwn >> 2))
            throw std::length_error("too many children");
        // Records have a few children: room for four at once rather than growing one by one.
        moveTo(size_ < 4 ? 4 : size_ * 2, store);
    }
    items_[size_++] = child;
}

void NodeChildren::erase(std::size_t index) noexcept {
    std::memmove(items_ + index, items_ + index + 1, sizeof(TQelPigger*) * (size_ - index - 1));
    --size_;
}

void NodeChildren::reserve(std::size_t count) {
    if (count > room()) {
        if (count > (kOwn >> 1))
            throw std::length_error("too many children");
        moveTo(static_cast<std::uint32_t>(count), nullptr);
    }
}

void NodeChildren::clear() noexcept {
    size_ = 0;
}
