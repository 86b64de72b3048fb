#include "project/file_filters.h"

#include <string_view>

namespace tidewater {

namespace {

// Each entry is "description|ext;ext;..." as the filters are written down.
constexpr std::string_view kFilterTexts[] = {
    "C Source Files|c",
    "C Header Files|h",
    "C Files|c;h",
    "C and C++ Files|c;cpp;cxx;cc;h;hpp;hxx",
    "C++ Source Files|cpp;cxx;cc",
    "C++ Header Files|hpp;hxx",
    "C++ Files|cpp;cxx;cc;h;hpp;hxx",
    "Text Files|txt;log",
    "Assembly Source Files|asm;s;inc",
    "Java Source Files|java",
    "JavaScript Files|js;jse;scr",
    "Web Files|htm;html;css",
    "XML Files|xml;xsd;xsl;xslt",
    "VHDL Files|vhd;vhdl;bsd;bsdl",
    "STAPL Files|stapl;jam",
    "Project Files|twp",
    "All Files|*",
};

FileFilter parseFilter(std::string_view text) {
  const auto bar = text.find('|');
  FileFilter filter{std::string(text.substr(0, bar)), {}};
  std::string_view rest = bar == std::string_view::npos ? std::string_view() : text.substr(bar + 1);
  while (!rest.empty()) {
    const auto semicolon = rest.find(';');
    const std::string_view item = rest.substr(0, semicolon);
    if (!item.empty()) filter.extensions.emplace_back(item);
    rest = semicolon == std::string_view::npos ? std::string_view() : rest.substr(semicolon + 1);
  }
  return filter;
}

}  // namespace

const std::vector<FileFilter>& fileFilters() {
  static const std::vector<FileFilter> kFilters = [] {
    std::vector<FileFilter> filters;
    for (const std::string_view text : kFilterTexts) filters.push_back(parseFilter(text));
    return filters;
  }();
  return kFilters;
}

}  // namespace tidewater
