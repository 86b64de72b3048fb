#pragma once
// Storage for XML nodes. A parse makes one node per element and per run of
// text, tens of thousands for a register description file, and drops them
// all together; a per-thread pool of size-class free lists makes each of
// those allocations a few instructions instead of a trip through malloc.

#include <cstddef>

namespace tidewater::xml_node_pool {

/// A block of at least "size" bytes, aligned for any fundamental type.
void* allocate(std::size_t size);
/// Gives back a block from allocate(); "size" must be the size asked for.
/// A block may be given back on another thread than the one that made it.
void release(void* block, std::size_t size) noexcept;

/// Blocks the calling thread was handed minus blocks it gave back: a leak
/// check for tests.
std::ptrdiff_t balance() noexcept;

/// The pool as a standard allocator, for the lists nodes keep: an
/// element's attribute list is made and dropped as often as the element.
template <typename T>
struct Allocator {
  using value_type = T;
  Allocator() = default;
  template <typename U>
  Allocator(const Allocator<U>&) noexcept {}
  T* allocate(std::size_t count) { return static_cast<T*>(xml_node_pool::allocate(count * sizeof(T))); }
  void deallocate(T* block, std::size_t count) noexcept { release(block, count * sizeof(T)); }
  friend bool operator==(const Allocator&, const Allocator&) = default;
};

}  // namespace tidewater::xml_node_pool
