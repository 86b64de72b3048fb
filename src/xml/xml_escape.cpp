#include "xml/xml_escape.h"

namespace tidewater {

std::string xmlEscape(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '>': escaped += "&gt;"; break;
      case '<': escaped += "&lt;"; break;
      case '"': escaped += "&quot;"; break;
      case '\'': escaped += "&apos;"; break;
      case '\xC2':
        if (i + 1 < text.size() && text[i + 1] == '\xB7') {
          escaped += "&middot;";
          ++i;
          break;
        }
        escaped += c;
        break;
      default: escaped += c;
    }
  }
  return escaped;
}

}  // namespace tidewater
