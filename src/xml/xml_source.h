#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "xml/mapped_file.h"

namespace tidewater {

/// The bytes of one file for the parser: mapped in place where the file
/// allows, else read into a buffer of their own; NUL-terminated either way.
/// A reader whose model views the text keeps its source as long as the model.
class XMLSource {
 public:
  /// Fills the source from an open file, read from its start; with mayMap
  /// a regular file is mapped where MappedFile allows (a stream this
  /// process may have written to unflushed is read instead). False when it
  /// cannot be read or holds more than "limit" bytes.
  bool read(std::FILE* file, uint64_t limit, bool mayMap);

  /// The text after a leading UTF-8 byte-order mark, which is not part of
  /// the document; null before a successful read().
  const char* text() const;

 private:
  std::unique_ptr<MappedFile> mapped_;
  std::unique_ptr<char[]> buffer_;
  const char* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace tidewater
