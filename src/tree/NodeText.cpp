#include "tree/NodeText.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <ostream>
#include <stdexcept>

namespace {

std::uint32_t checkedSize(std::size_t n) {
    if (n > std::numeric_limits<std::uint32_t>::max() / 2)
        throw std::length_error("text too long");
    return static_cast<std::uint32_t>(n);
}

} // namespace

void NodeText::freeOwn() noexcept {
    if (capacity_ != 0)
        delete[] data_;
    else if (data_)
        PoisonStoreBytes(data_, size_);
    data_ = nullptr;
    size_ = 0;
    capacity_ = 0;
}

void NodeText::assign(std::string_view s) {
    const std::uint32_t n = checkedSize(s.size());
    if (n <= capacity_) {
        // The bytes may lie inside the old text: memmove.
        if (n != 0)
            std::memmove(data_, s.data(), n);
        size_ = n;
        return;
    }
    char* block = new char[n];
    std::memcpy(block, s.data(), n);
    freeOwn();
    data_ = block;
    size_ = n;
    capacity_ = n;
}

void NodeText::append(std::string_view s) {
    if (s.empty())
        return;
    const std::uint32_t n = checkedSize(std::size_t{size_} + s.size());
    if (n <= capacity_) {
        std::memmove(data_ + size_, s.data(), s.size());
        size_ = n;
        return;
    }
    const std::uint32_t capacity = checkedSize(std::max<std::size_t>(n, std::size_t{size_} * 2));
    char* block = new char[capacity];
    if (size_ != 0)
        std::memcpy(block, data_, size_);
    std::memcpy(block + size_, s.data(), s.size());
    freeOwn();
    data_ = block;
    size_ = n;
    capacity_ = capacity;
}

void NodeText::clear() noexcept {
    if (capacity_ != 0)
        size_ = 0;
    else
        freeOwn();
}

void NodeText::borrow(const char* data, std::size_t size) noexcept {
    freeOwn();
    data_ = const_cast<char*>(data);
    size_ = static_cast<std::uint32_t>(size);
}

void NodeText::take(NodeText& other) {
    if (other.capacity_ == 0) {
        assign(other.view());
        other.freeOwn();
        return;
    }
    moveWithinNode(other);
}

void NodeText::moveWithinNode(NodeText& other) noexcept {
    freeOwn();
    data_ = other.data_;
    size_ = other.size_;
    capacity_ = other.capacity_;
    other.data_ = nullptr;
    other.size_ = 0;
    other.capacity_ = 0;
}

std::ostream& operator<<(std::ostream& stream, const NodeText& text) {
    return stream << text.view();
}
