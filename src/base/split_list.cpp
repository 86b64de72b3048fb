#include "base/split_list.h"

namespace tidewater {

std::vector<std::string> splitEscapedList(std::string_view text, char separator) {
  std::vector<std::string> items;
  std::string item;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\' && i + 1 < text.size()) {
      item += text[++i];
    } else if (c == separator) {
      if (!item.empty()) items.push_back(std::move(item));
      item.clear();
    } else {
      item += c;
    }
  }
  if (!item.empty()) items.push_back(std::move(item));
  return items;
}

std::vector<std::string> splitList(std::string_view text, char separator) {
  std::vector<std::string> items;
  while (!text.empty()) {
    const size_t end = text.find(separator);
    if (end != 0) items.emplace_back(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return items;
}

}  // namespace tidewater
