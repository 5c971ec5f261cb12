// The content text of a node and the values of its attributes: bytes with a length, either in
// a heap block of their own or, for what a read placed there, in the node's store.
#pragma once

#include "tree/StorePoison.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

class NodeText {
public:
    NodeText() noexcept = default;
    explicit NodeText(std::string_view s) { assign(s); }
    NodeText(const NodeText& other) : NodeText(other.view()) {}
    // A text in a store is copied, because the node it goes to may not hold that store.
    NodeText(NodeText&& other) : NodeText() { take(other); }
    ~NodeText() {
        if (capacity_ != 0 || (QRL_ADDRESS_SANITIZER && data_))
            freeOwn();
    }

    NodeText& operator=(const NodeText& other) {
        if (this != &other)
            assign(other.view());
        return *this;
    }
    NodeText& operator=(NodeText&& other) {
        if (this != &other)
            take(other);
        return *this;
    }
    NodeText& operator=(std::string_view s) {
        assign(s);
        return *this;
    }

    void assign(std::string_view s);
    void append(std::string_view s);
    void clear() noexcept;

    bool empty() const noexcept { return size_ == 0; }
    std::size_t size() const noexcept { return size_; }
    const char* data() const noexcept { return data_ ? data_ : ""; }
    std::string_view view() const noexcept { return {data(), size_}; }
    operator std::string_view() const noexcept { return view(); }
    std::string str() const { return std::string(view()); }

    friend bool operator==(const NodeText& a, std::string_view b) noexcept { return a.view() == b; }

private:
    friend class TQelPigger;
    friend class NodeAttrs;

    // Points at bytes in a store the owning node holds; they are not freed with the text (only
    // poisoned in sanitizer builds: nothing else points at them).
    void borrow(const char* data, std::size_t size) noexcept;
    // Takes other's bytes: its own block, or a copy when they are in a store.
    void take(NodeText& other);
    // Takes other's bytes as they are, also from a store: only within one node.
    void moveWithinNode(NodeText& other) noexcept;
    void freeOwn() noexcept;

    char* data_ = nullptr;
    std::uint32_t size_ = 0;
    // Size of the own block; 0 when the bytes are not the text's own.
    std::uint32_t capacity_ = 0;
};

std::ostream& operator<<(std::ostream& stream, const NodeText& text);
