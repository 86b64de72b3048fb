#include "xml/xml_source.h"

#include <cstring>

namespace tidewater {

namespace {

/// Reads the whole stream (from its start when it can seek) straight into
/// one buffer, sized by the seek when the stream has one and grown while
/// more comes (a pipe, or a file that grew). The buffer is not cleared
/// first: every byte of it that is read is written by the read.
/// At most "limit" bytes are taken; a stream with more fails.
bool readAll(std::FILE* file, std::unique_ptr<char[]>& buffer, size_t& size, uint64_t limit) {
  size_t capacity = 64 * 1024;
  if (std::fseek(file, 0, SEEK_END) == 0) {
    const long length = std::ftell(file);
    if (length > 0) capacity = static_cast<size_t>(length) + 1;  // one more, to see the end
    std::rewind(file);
  }
  if (limit < capacity) capacity = static_cast<size_t>(limit) + 1;
  auto data = std::make_unique_for_overwrite<char[]>(capacity + 1);
  size_t used = 0;
  for (;;) {
    used += std::fread(data.get() + used, 1, capacity - used, file);
    if (used < capacity) break;
    if (used > limit) return false;
    auto larger = std::make_unique_for_overwrite<char[]>(capacity * 2 + 1);
    std::memcpy(larger.get(), data.get(), used);
    data = std::move(larger);
    capacity *= 2;
  }
  data[used] = '\0';
  buffer = std::move(data);
  size = used;
  return std::ferror(file) == 0;
}

}  // namespace

bool XMLSource::read(std::FILE* file, uint64_t limit, bool mayMap) {
  mapped_.reset();
  buffer_.reset();
  data_ = nullptr;
  size_ = 0;
  if (mayMap) {
    auto mapped = std::make_unique<MappedFile>(::fileno(file), limit);
    if (mapped->data()) {
      data_ = mapped->data();
      size_ = mapped->size();
      mapped_ = std::move(mapped);
      return true;
    }
  }
  if (!readAll(file, buffer_, size_, limit)) return false;
  data_ = buffer_.get();
  return true;
}

const char* XMLSource::text() const {
  if (!data_) return nullptr;
  const bool bom = size_ >= 3 && std::memcmp(data_, "\xEF\xBB\xBF", 3) == 0;
  return data_ + (bom ? 3 : 0);
}

}  // namespace tidewater
