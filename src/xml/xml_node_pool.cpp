#include "xml/xml_node_pool.h"

#include <sys/mman.h>

#include <new>

namespace tidewater::xml_node_pool {

namespace {

// Sizes are rounded up to kGranule; larger objects than kLargest (a derived
// element with much state of its own) go to the global allocator.
constexpr std::size_t kGranule = alignof(std::max_align_t);
constexpr std::size_t kLargest = 512;
constexpr std::size_t kClasses = kLargest / kGranule;
// Chunks come populated (see newChunk), so the unused tail of the newest one
// is resident too: small chunks keep that waste small, and a chunk's pages
// cost the same whether they come sixteen or sixty-four at a time.
constexpr std::size_t kChunkSize = 64 * 1024;

// The sanitizers must see every node as a heap object of its own, so that
// a leaked or doubly freed node is reported; the pool steps aside there.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPooled = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer)
constexpr bool kPooled = false;
#else
constexpr bool kPooled = true;
#endif
#else
constexpr bool kPooled = true;
#endif

struct FreeBlock {
  FreeBlock* next;
};

/// One thread's free lists and the unused tail of its newest chunk. Chunks
/// are never given back: a block freed here may have come from any thread's
/// chunk, so no chunk is ever known to be empty, and what a thread's lists
/// hold when it ends stays allocated. Trivially destructible, so that it is
/// usable until the thread ends (nodes destroyed by static destructors).
struct Pool {
  FreeBlock* free[kClasses];
  char* tail;
  char* tailEnd;
  // Blocks this thread handed out minus blocks it was given back.
  std::ptrdiff_t balance;
};

thread_local Pool pool{};

std::size_t classOf(std::size_t size) { return (size + kGranule - 1) / kGranule - 1; }

/// A fresh chunk with its pages already in place: a tree of tens of
/// thousands of nodes would otherwise fault in each page on first use, and
/// one call that populates the whole chunk costs far less than those faults.
char* newChunk(std::size_t size) {
  void* chunk = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  if (chunk == MAP_FAILED) throw std::bad_alloc();
  return static_cast<char*>(chunk);
}

void* carve(std::size_t blockSize) {
  if (static_cast<std::size_t>(pool.tailEnd - pool.tail) < blockSize) {
    // The old tail (smaller than one block) is given up.
    pool.tail = newChunk(kChunkSize);
    pool.tailEnd = pool.tail + kChunkSize;
  }
  void* block = pool.tail;
  pool.tail += blockSize;
  return block;
}

}  // namespace

void* allocate(std::size_t size) {
  ++pool.balance;
  if (!kPooled || size > kLargest || size == 0) return ::operator new(size);
  const std::size_t index = classOf(size);
  if (FreeBlock* block = pool.free[index]) {
    pool.free[index] = block->next;
    return block;
  }
  return carve((index + 1) * kGranule);
}

void release(void* block, std::size_t size) noexcept {
  if (!block) return;
  --pool.balance;
  if (!kPooled || size > kLargest || size == 0) {
    ::operator delete(block);
    return;
  }
  const std::size_t index = classOf(size);
  auto* freed = static_cast<FreeBlock*>(block);
  freed->next = pool.free[index];
  pool.free[index] = freed;
}

std::ptrdiff_t balance() noexcept { return pool.balance; }

}  // namespace tidewater::xml_node_pool
