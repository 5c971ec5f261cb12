// The name of a node or an attribute. The same few names ("LISTING", "TITLE", "URL", ...) come
// back in every record, so names are kept once for the whole program and shared; a name that
// is long, or comes after very many different ones, gets a string of its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class NodeName {
public:
    NodeName() noexcept = default;
    // name as it stands (the caller has already upper-cased and trimmed it).
    explicit NodeName(std::string_view name);
    NodeName(const NodeName& other);
    NodeName(NodeName&& other) noexcept : bits_(other.bits_) { other.bits_ = 0; }
    NodeName& operator=(const NodeName& other);
    NodeName& operator=(NodeName&& other) noexcept;
    ~NodeName() {
        if (bits_ & kOwned)
            freeOwn();
    }

    const std::string& str() const noexcept {
        return bits_ ? *reinterpret_cast<const std::string*>(bits_ & ~kOwned) : none();
    }
    bool empty() const noexcept { return str().empty(); }
    friend bool operator==(const NodeName& a, const NodeName& b) noexcept {
        return a.bits_ == b.bits_ || a.str() == b.str();
    }

    // How many names are shared at most, and how long one may be.
    static constexpr std::size_t MaxShared = 4096;
    static constexpr std::size_t MaxSharedLength = 64;

private:
    static const std::string& none() noexcept;
    void freeOwn() noexcept;

    // A pointer to the shared or own string; the lowest bit is set when it is the name's own.
    static constexpr std::uintptr_t kOwned = 1;
    std::uintptr_t bits_ = 0;
};
