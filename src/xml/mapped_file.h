#pragma once
// A regular file read in place: its pages mapped instead of copied into a
// buffer of our own, which would have to be faulted in page by page and
// filled from the page cache first. Parsing a large register description
// spends a good part of its time on exactly that.

#include <cstddef>
#include <cstdint>

namespace tidewater {

/// The whole of a regular file, mapped read-only and followed by a NUL, or
/// nothing (data() null): when the file is not regular, is empty, holds more
/// than "limit" bytes, or ends exactly at a page boundary. Only past the end
/// of a file that ends inside a page does the mapping show zeros, and those
/// terminate the text; other files are for a plain read.
class MappedFile {
 public:
  MappedFile(int descriptor, uint64_t limit);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  const char* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  const char* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace tidewater
