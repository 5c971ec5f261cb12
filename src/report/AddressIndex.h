// The records of a report's URLS container by address, ignoring letter case as CaseKey does,
// kept current across changes that other parts of the program make to the container.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

class TQelPigger;

// Gives the position of urls.FindChildByAttr("URL", url) (the first child in order whose
// address equals url ignoring letter case) without comparing every record.
//
// The index keeps, for every child in order, its serial, its change stamp and the hash of its
// address's key, and a hash table with one entry per distinct key: its first child, the others
// chained behind it in order. Before each use it is brought up to date: nothing to do while
// the container's change stamp stands still; when only some children changed (a tick, an edited
// address) or children were appended, one pass over the children finds them by their stamps
// and only they are read again; when children were removed or moved, the table is laid anew
// from the kept hashes; a different container is read in full.
class AddressIndex {
public:
    static constexpr int None = -1;

    // The position of the first child of urls whose address matches url, or None.
    int Find(const TQelPigger& urls, std::string_view url);

    // Tells the index, current for urls before the call, that the caller has just appended
    // one child to urls and changed nothing else since.
    void Appended(const TQelPigger& urls);
    // Tells the index, current for urls before the call, that the caller has just changed the
    // child at position (not its address's key) and nothing else since.
    void Changed(const TQelPigger& urls, int position);

    // How often every record's address was read anew (for tests of the upkeep).
    int Rebuilds() const { return rebuilds_; }

private:
    static constexpr std::uint32_t kEnd = 0xFFFFFFFFu;

    struct Entry {
        std::uint64_t serial;
        std::uint64_t stamp;
        std::uint64_t hash;
        // The next child with the same key, or kEnd.
        std::uint32_t next;
    };
    // Empty while head is 0; else head - 1 is the first child with a key, tag the high half of
    // the key's hash.
    struct Slot {
        std::uint32_t tag;
        std::uint32_t head;
    };

    void ensureCurrent(const TQelPigger& urls);
    void rebuild(const TQelPigger& urls);
    // Compares the children with the entries; false when the table has to be laid anew.
    bool catchUp(const TQelPigger& urls);
    void layTable(const TQelPigger& urls);
    void link(const TQelPigger& urls, std::uint32_t position);
    void unlink(std::uint32_t position);
    void eraseSlot(size_t at);
    void growTable(size_t wanted);
    size_t home(std::uint64_t hash) const { return static_cast<size_t>(hash) & mask_; }
    Entry makeEntry(const TQelPigger& child) const;

    const TQelPigger* urls_ = nullptr;
    std::uint64_t urlsSerial_ = 0;
    std::uint64_t stamp_ = 0;
    std::vector<Entry> entries_;
    std::vector<Slot> slots_;
    size_t mask_ = 0;
    size_t used_ = 0;
    int rebuilds_ = 0;
};
