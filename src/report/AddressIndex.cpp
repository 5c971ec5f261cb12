#include "report/AddressIndex.h"

#include "report/ReportLayout.h"
#include "tree/TQelPigger.h"
#include "tree/TextCase.h"

#include <string>

namespace {

std::string_view addressOf(const TQelPigger& record) {
    return record.AttrRef(RecordFields::Url);
}

std::uint32_t tagOf(std::uint64_t hash) {
    return static_cast<std::uint32_t>(hash >> 32);
}

} // namespace

AddressIndex::Entry AddressIndex::makeEntry(const TQelPigger& child) const {
    return {child.Serial(), child.ChangeStamp(), CaseKeyHash(addressOf(child)), kEnd};
}

int AddressIndex::Find(const TQelPigger& urls, std::string_view url) {
    ensureCurrent(urls);
    if (used_ == 0)
        return None;
    const auto children = urls.Children();
    const std::uint64_t hash = CaseKeyHash(url);
    const std::uint32_t tag = tagOf(hash);
    for (size_t i = home(hash);; i = (i + 1) & mask_) {
        const Slot slot = slots_[i];
        if (slot.head == 0)
            return None;
        const std::uint32_t p = slot.head - 1;
        if (slot.tag == tag && entries_[p].hash == hash &&
            SameTextIgnoringCase(addressOf(*children[p]), url))
            return static_cast<int>(p);
    }
}

void AddressIndex::Appended(const TQelPigger& urls) {
    const auto children = urls.Children();
    if (&urls != urls_ || urls.Serial() != urlsSerial_ || entries_.size() + 1 != children.size()) {
        ensureCurrent(urls);
        return;
    }
    const auto p = static_cast<std::uint32_t>(entries_.size());
    entries_.push_back(makeEntry(*children[p]));
    link(urls, p);
    stamp_ = urls.ChangeStamp();
}

void AddressIndex::Changed(const TQelPigger& urls, int position) {
    const auto children = urls.Children();
    if (&urls != urls_ || urls.Serial() != urlsSerial_ || position < 0 ||
        static_cast<size_t>(position) >= entries_.size() || entries_.size() != children.size()) {
        ensureCurrent(urls);
        return;
    }
    const auto p = static_cast<size_t>(position);
    entries_[p].stamp = children[p]->ChangeStamp();
    stamp_ = urls.ChangeStamp();
}

void AddressIndex::ensureCurrent(const TQelPigger& urls) {
    // Serials are never shared by two nodes: a container replaced at the same address is
    // read afresh.
    if (&urls != urls_ || urls.Serial() != urlsSerial_) {
        rebuild(urls);
        return;
    }
    if (urls.ChangeStamp() == stamp_)
        return;
    if (!catchUp(urls))
        layTable(urls);
    stamp_ = urls.ChangeStamp();
}

void AddressIndex::rebuild(const TQelPigger& urls) {
    urls_ = &urls;
    urlsSerial_ = urls.Serial();
    const auto children = urls.Children();
    const size_t n = children.size();
    // Reading the records is waiting for memory: in two short passes, each asking for what it
    // needs a few records ahead, the waits overlap.
    constexpr size_t ahead = 16;
    entries_.assign(n, Entry{0, 0, 0, kEnd});
    std::vector<std::string_view> addresses(n);
    for (size_t p = 0; p < n; ++p) {
        if (p + ahead < n)
            __builtin_prefetch(children[p + ahead]);
        const TQelPigger& child = *children[p];
        entries_[p].serial = child.Serial();
        entries_[p].stamp = child.ChangeStamp();
        addresses[p] = addressOf(child);
    }
    for (size_t p = 0; p < n; ++p) {
        if (p + ahead < n)
            __builtin_prefetch(addresses[p + ahead].data());
        entries_[p].hash = CaseKeyHash(addresses[p]);
    }
    layTable(urls);
    stamp_ = urls.ChangeStamp();
    ++rebuilds_;
}

bool AddressIndex::catchUp(const TQelPigger& urls) {
    const auto children = urls.Children();
    const size_t n = children.size();
    const size_t m = entries_.size();
    // Most changes leave every child in its place: some were changed, some appended.
    std::vector<std::uint32_t> changed;
    size_t j = 0;
    for (; j < n && j < m; ++j) {
        if (j + 16 < n)
            __builtin_prefetch(children[j + 16]);
        const TQelPigger& child = *children[j];
        if (child.Serial() != entries_[j].serial)
            break;
        if (child.ChangeStamp() != entries_[j].stamp)
            changed.push_back(static_cast<std::uint32_t>(j));
    }
    if (j == m) {
        // All out first, so that each one links up with the others' present addresses.
        for (std::uint32_t p : changed)
            unlink(p);
        for (std::uint32_t p : changed) {
            entries_[p] = makeEntry(*children[p]);
            link(urls, p);
        }
        for (; j < n; ++j) {
            entries_.push_back(makeEntry(*children[j]));
            link(urls, static_cast<std::uint32_t>(j));
        }
        return true;
    }
    // Children were removed (or moved to the end). Those that stayed keep their order, so one
    // pass pairs them with their entries; only the changed ones are read again.
    std::vector<Entry> now;
    now.reserve(n);
    size_t i = 0;
    for (const TQelPigger* child : children) {
        while (i < m && entries_[i].serial != child->Serial())
            ++i;
        if (i < m && entries_[i].stamp == child->ChangeStamp())
            now.push_back(entries_[i]);
        else
            now.push_back(makeEntry(*child));
        if (i < m)
            ++i;
    }
    entries_.swap(now);
    return false;
}

void AddressIndex::layTable(const TQelPigger& urls) {
    size_t size = 16;
    while (size < entries_.size() * 2)
        size *= 2;
    slots_.assign(size, Slot{0, 0});
    mask_ = size - 1;
    used_ = 0;
    // From the last child to the first: each one becomes the head of its key's chain.
    for (size_t p = entries_.size(); p-- > 0;)
        link(urls, static_cast<std::uint32_t>(p));
}

void AddressIndex::link(const TQelPigger& urls, std::uint32_t position) {
    if (slots_.empty() || (used_ + 1) * 2 > slots_.size())
        growTable(slots_.empty() ? 16 : slots_.size() * 2);
    const auto children = urls.Children();
    Entry& entry = entries_[position];
    const std::uint32_t tag = tagOf(entry.hash);
    for (size_t i = home(entry.hash);; i = (i + 1) & mask_) {
        Slot& slot = slots_[i];
        if (slot.head == 0) {
            slot = Slot{tag, position + 1};
            entry.next = kEnd;
            ++used_;
            return;
        }
        const std::uint32_t head = slot.head - 1;
        if (slot.tag != tag || entries_[head].hash != entry.hash ||
            !SameTextIgnoringCase(addressOf(*children[head]), addressOf(*children[position])))
            continue;
        // The same key: the chain stays in child order.
        if (position < head) {
            entry.next = head;
            slot.head = position + 1;
            return;
        }
        std::uint32_t before = head;
        while (entries_[before].next != kEnd && entries_[before].next < position)
            before = entries_[before].next;
        entry.next = entries_[before].next;
        entries_[before].next = position;
        return;
    }
}

void AddressIndex::unlink(std::uint32_t position) {
    const Entry& entry = entries_[position];
    const std::uint32_t tag = tagOf(entry.hash);
    for (size_t i = home(entry.hash);; i = (i + 1) & mask_) {
        Slot& slot = slots_[i];
        if (slot.head == 0)
            return;
        std::uint32_t p = slot.head - 1;
        if (slot.tag != tag || entries_[p].hash != entry.hash)
            continue;
        if (p == position) {
            if (entry.next != kEnd) {
                slot.head = entry.next + 1;
            } else {
                eraseSlot(i);
                --used_;
            }
            return;
        }
        while (entries_[p].next != kEnd && entries_[p].next != position)
            p = entries_[p].next;
        if (entries_[p].next == position) {
            entries_[p].next = entry.next;
            return;
        }
    }
}

void AddressIndex::eraseSlot(size_t at) {
    // Linear probing without tombstones: later slots of the run move back into the hole
    // unless their home lies after it.
    size_t hole = at;
    for (size_t j = (at + 1) & mask_; slots_[j].head != 0; j = (j + 1) & mask_) {
        const size_t k = home(entries_[slots_[j].head - 1].hash);
        const bool stays = hole <= j ? (hole < k && k <= j) : (hole < k || k <= j);
        if (!stays) {
            slots_[hole] = slots_[j];
            hole = j;
        }
    }
    slots_[hole] = Slot{0, 0};
}

void AddressIndex::growTable(size_t wanted) {
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.assign(wanted, Slot{0, 0});
    mask_ = wanted - 1;
    for (const Slot& slot : old) {
        if (slot.head == 0)
            continue;
        size_t i = home(entries_[slot.head - 1].hash);
        while (slots_[i].head != 0)
            i = (i + 1) & mask_;
        slots_[i] = slot;
    }
}
