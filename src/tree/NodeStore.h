// Memory for the nodes a read makes: their objects, texts and attribute lists come from a few
// large blocks instead of one heap block each, which makes reading, destroying and the memory
// kept by a large tree cheap. A store lives as long as something placed in it: every node made
// in it holds one reference, so a node moved into another tree keeps its memory valid after
// the tree it was read into is gone. In sanitizer builds, memory of a store that is not handed
// out or was given up (see StorePoison.h) is marked, so that using it is reported.
#pragma once

#include <atomic>
#include <cstddef>
#include <string_view>

class NodeStore {
public:
    NodeStore(const NodeStore&) = delete;
    NodeStore& operator=(const NodeStore&) = delete;

    // 8-aligned room for bytes. Only the thread that reads into the store calls this (and Copy).
    void* Allocate(std::size_t bytes);
    // A copy of s in the store (not NUL-terminated).
    char* Copy(std::string_view s);

    // Count fewer holders of memory in this store (every node made in it holds one); the last
    // one frees it.
    void Release(std::size_t count = 1);

    // The store of the read going on in this thread, or none.
    static NodeStore* Current();

    // Frees the memory kept from released stores for later reads.
    static void ReleaseCache();
    // How many stores hold memory now.
    static std::size_t Count();

    // Makes nodes created on this thread while it lives come from a new store sized for a text
    // of about textSize bytes. Reads can nest: the outer store comes back at the end.
    class Scope {
    public:
        explicit Scope(std::size_t textSize);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        NodeStore* store_;
        NodeStore* outer_;
    };

    // Gives a store the reference for one node made in it while a Scope is open; the scope
    // settles the count at its end.
    void CountNode() { ++nodesMade_; }

private:
    explicit NodeStore(std::size_t chunkSize);
    ~NodeStore();
    // Nodes and their lists fill one run of chunks, texts another: deleting a tree then reads
    // only the memory of its nodes.
    struct Lane {
        char* next = nullptr;
        char* end = nullptr;
    };
    void* take(Lane& lane, std::size_t bytes);
    void* allocateSlow(Lane& lane, std::size_t bytes);

    struct Chunk {
        Chunk* previous;
        // Room after the header.
        std::size_t size;
        // Taken from the system (see BulkMemory.h) rather than the heap.
        bool bulk;
    };

    // While a scope is open the count holds a reserve so large that no release reaches zero;
    // the scope gives back what its nodes did not take.
    static constexpr std::size_t kReserve = std::size_t{1} << 60;
    std::atomic<std::size_t> refs_{kReserve};
    std::size_t nodesMade_ = 0;
    std::size_t chunkSize_;
    Lane objects_;
    Lane texts_;
    Chunk* chunks_ = nullptr;
};
