#pragma once

#include <string>
#include <vector>

namespace tidewater {

/// A named set of file extensions ("*" matches every file), as offered by
/// folder filters and file dialogs.
struct FileFilter {
  std::string description;
  std::vector<std::string> extensions;
};

/// The file filters, in display order; built once on first use.
const std::vector<FileFilter>& fileFilters();

}  // namespace tidewater
