#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace tidewater::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tw-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = std::filesystem::canonical(pattern).string();
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& relativeName, const std::string& content) const {
  const std::filesystem::path file = std::filesystem::path(path_) / relativeName;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream stream(file, std::ios::binary);
  stream << content;
  if (!stream) throw std::runtime_error("cannot write " + file.string());
  return file.string();
}

}  // namespace tidewater::test
