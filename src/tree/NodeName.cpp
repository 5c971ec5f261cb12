#include "tree/NodeName.h"

#include <array>
#include <mutex>
#include <unordered_set>

namespace {

struct SharedNames {
    std::mutex lock;
    std::unordered_set<std::string> names;
};

SharedNames& sharedNames() {
    // Never destroyed: names are used by trees that may outlive static destruction.
    static auto* names = new SharedNames;
    return *names;
}

// The shared string equal to name, or none when there is no more room for it.
const std::string* findShared(std::string_view name) {
    if (name.empty() || name.size() > NodeName::MaxSharedLength)
        return nullptr;
    // Each thread remembers the names it met last, so a read takes no lock per node.
    struct Seen {
        const std::string* name = nullptr;
    };
    thread_local std::array<Seen, 64> seen{};
    const std::size_t slot = (name.size() * 31 + static_cast<unsigned char>(name.front()) * 7 +
                              static_cast<unsigned char>(name.back())) %
                             seen.size();
    if (seen[slot].name && *seen[slot].name == name)
        return seen[slot].name;
    SharedNames& shared = sharedNames();
    const std::lock_guard<std::mutex> guard(shared.lock);
    auto it = shared.names.find(std::string(name));
    if (it == shared.names.end()) {
        if (shared.names.size() >= NodeName::MaxShared)
            return nullptr;
        it = shared.names.emplace(name).first;
    }
    seen[slot].name = &*it;
    return &*it;
}

} // namespace

const std::string& NodeName::none() noexcept {
    static const std::string none;
    return none;
}

NodeName::NodeName(std::string_view name) {
    if (name.empty())
        return;
    if (const std::string* shared = findShared(name))
        bits_ = reinterpret_cast<std::uintptr_t>(shared);
    else
        bits_ = reinterpret_cast<std::uintptr_t>(new std::string(name)) | kOwned;
}

NodeName::NodeName(const NodeName& other) : bits_(other.bits_) {
    if (bits_ & kOwned)
        bits_ = reinterpret_cast<std::uintptr_t>(new std::string(other.str())) | kOwned;
}

NodeName& NodeName::operator=(const NodeName& other) {
    if (this != &other) {
        NodeName copy(other);
        *this = std::move(copy);
    }
    return *this;
}

NodeName& NodeName::operator=(NodeName&& other) noexcept {
    if (this != &other) {
        freeOwn();
        bits_ = other.bits_;
        other.bits_ = 0;
    }
    return *this;
}

void NodeName::freeOwn() noexcept {
    if (bits_ & kOwned)
        delete reinterpret_cast<std::string*>(bits_ & ~kOwned);
    bits_ = 0;
}
