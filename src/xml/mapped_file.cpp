#include "xml/mapped_file.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tidewater {

MappedFile::MappedFile(int descriptor, uint64_t limit) {
  struct stat status {};
  if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0) return;
  const auto size = static_cast<uint64_t>(status.st_size);
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  if (size > limit || pageSize <= 0 || size % static_cast<uint64_t>(pageSize) == 0 || size > SIZE_MAX / 2) return;
  // Populated at once: one call brings in every page instead of one fault each.
  void* mapping = ::mmap(nullptr, static_cast<size_t>(size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, descriptor, 0);
  if (mapping == MAP_FAILED) return;
  data_ = static_cast<const char*>(mapping);
  size_ = static_cast<size_t>(size);
}

MappedFile::~MappedFile() {
  if (data_) ::munmap(const_cast<char*>(data_), size_);
}

}  // namespace tidewater
