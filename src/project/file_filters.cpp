#include "project/file_filters.h"

#include <string_view>

#include "base/split_list.h"

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
  return FileFilter{std::string(text.substr(0, bar)),
                    bar == std::string_view::npos ? std::vector<std::string>{} : splitList(text.substr(bar + 1))};
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
