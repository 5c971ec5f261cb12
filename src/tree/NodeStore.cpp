#include "tree/NodeStore.h"

#include "tree/BulkMemory.h"
#include "tree/StorePoison.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

namespace {

thread_local NodeStore* currentStore = nullptr;
std::atomic<std::size_t> storeCount{0};

constexpr std::size_t kAlign = 8;
constexpr std::size_t kSmallestChunk = 4096;
constexpr std::size_t kLargestChunk = std::size_t{4} << 20;

// Chunks of a megabyte and more come straight from the system (see BulkMemory.h), header and
// room together a power of two. Given back, they are kept for the next read, up to this many
// bytes: memory the system hands out anew costs page faults, which makes reading a large tree
// again (opening another report) slower.
constexpr std::size_t kCachedBytes = std::size_t{128} << 20;
constexpr std::size_t kSmallestCached = std::size_t{1} << 20;

struct ChunkCache {
    std::mutex lock;
    // Bulk chunks with their whole size, a power of two.
    std::vector<std::pair<void*, std::size_t>> chunks;
    std::size_t bytes = 0;
};

ChunkCache& chunkCache() {
    // Never destroyed: stores may be released during static destruction.
    static auto* cache = new ChunkCache;
    return *cache;
}

std::size_t roundUp(std::size_t n) {
    return (n + kAlign - 1) & ~(kAlign - 1);
}

} // namespace

NodeStore::NodeStore(std::size_t chunkSize) : chunkSize_(chunkSize) {
    storeCount.fetch_add(1, std::memory_order_relaxed);
}

std::size_t NodeStore::Count() {
    return storeCount.load(std::memory_order_relaxed);
}

NodeStore::~NodeStore() {
    storeCount.fetch_sub(1, std::memory_order_relaxed);
    std::vector<std::pair<void*, std::size_t>> spare;
    for (Chunk* chunk = chunks_; chunk;) {
        Chunk* const previous = chunk->previous;
        if (chunk->bulk) {
            spare.emplace_back(chunk, chunk->size + roundUp(sizeof(Chunk)));
            // Kept for a later read: nothing may use it until that read hands it out again.
            PoisonStoreBytes(reinterpret_cast<char*>(chunk) + roundUp(sizeof(Chunk)), chunk->size);
        } else {
            std::free(chunk);
        }
        chunk = previous;
    }
    if (spare.empty())
        return;
    {
        ChunkCache& cache = chunkCache();
        const std::lock_guard<std::mutex> guard(cache.lock);
        while (!spare.empty() && cache.bytes + spare.back().second <= kCachedBytes) {
            cache.bytes += spare.back().second;
            cache.chunks.push_back(spare.back());
            spare.pop_back();
        }
    }
    for (const auto& chunk : spare)
        GiveBackBulk(chunk.first, chunk.second);
}

void NodeStore::ReleaseCache() {
    std::vector<std::pair<void*, std::size_t>> chunks;
    {
        ChunkCache& cache = chunkCache();
        const std::lock_guard<std::mutex> guard(cache.lock);
        chunks.swap(cache.chunks);
        cache.bytes = 0;
    }
    for (const auto& chunk : chunks)
        GiveBackBulk(chunk.first, chunk.second);
}

NodeStore* NodeStore::Current() {
    return currentStore;
}

void* NodeStore::Allocate(std::size_t bytes) {
    return take(objects_, roundUp(std::max<std::size_t>(bytes, 1)));
}

void* NodeStore::take(Lane& lane, std::size_t bytes) {
    if (static_cast<std::size_t>(lane.end - lane.next) >= bytes) {
        void* p = lane.next;
        lane.next += bytes;
        UnpoisonStoreBytes(p, bytes);
        return p;
    }
    return allocateSlow(lane, bytes);
}

void* NodeStore::allocateSlow(Lane& lane, std::size_t bytes) {
    const std::size_t header = roundUp(sizeof(Chunk));
    // A piece too large for a chunk gets one of its own, and the current chunk stays in use.
    const bool own = bytes > chunkSize_ / 4;
    // A chunk of the store's size is a bulk one from a megabyte on: header and room fill it.
    const bool bulk = !own && chunkSize_ >= kSmallestCached;
    const std::size_t room = own ? bytes : bulk ? chunkSize_ - header : chunkSize_;
    void* memory = nullptr;
    if (bulk) {
        {
            ChunkCache& cache = chunkCache();
            const std::lock_guard<std::mutex> guard(cache.lock);
            for (auto it = cache.chunks.rbegin(); it != cache.chunks.rend(); ++it)
                if (it->second == chunkSize_) {
                    memory = it->first;
                    cache.bytes -= chunkSize_;
                    cache.chunks.erase(std::next(it).base());
                    break;
                }
        }
        if (!memory)
            memory = TakeBulk(chunkSize_);
    } else {
        memory = std::malloc(header + room);
    }
    if (!memory)
        throw std::bad_alloc();
    auto* chunk = static_cast<Chunk*>(memory);
    chunk->previous = chunks_;
    chunk->size = room;
    chunk->bulk = bulk;
    chunks_ = chunk;
    char* const start = static_cast<char*>(memory) + header;
    // Room not handed out yet is poisoned: reading past a piece into it is reported too.
    PoisonStoreBytes(start, room);
    UnpoisonStoreBytes(start, bytes);
    if (own)
        return start;
    lane.next = start + bytes;
    lane.end = start + room;
    return start;
}

char* NodeStore::Copy(std::string_view s) {
    // Texts need no alignment: they are packed.
    auto* p = static_cast<char*>(take(texts_, std::max<std::size_t>(s.size(), 1)));
    if (!s.empty())
        std::memcpy(p, s.data(), s.size());
    return p;
}

void NodeStore::Release(std::size_t count) {
    if (refs_.fetch_sub(count, std::memory_order_acq_rel) == count)
        delete this;
}

NodeStore::Scope::Scope(std::size_t textSize)
    // About a sixteenth of the text: the unused rest of the last chunks stays small. A power of
    // two, so that chunks of freed stores fit later ones.
    : store_(
          new NodeStore(std::bit_floor(std::clamp(textSize / 16, kSmallestChunk, kLargestChunk)))),
      outer_(currentStore) {
    currentStore = store_;
}

NodeStore::Scope::~Scope() {
    currentStore = outer_;
    // The scope's own hold ends here; the nodes made keep theirs.
    store_->Release(kReserve - store_->nodesMade_);
}
