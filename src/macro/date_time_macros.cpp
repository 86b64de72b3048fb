#include "macro/date_time_macros.h"

#include <ctime>

namespace tidewater {

namespace {

struct DateTimeMacro {
  std::string_view name;
  const char* format;  // strftime; the month name follows the process locale
};

// "%e" pads the day with a blank; Date wants no padding, so it is trimmed.
constexpr DateTimeMacro kDateTimeMacros[] = {
    {"Date", "%e %B %Y"}, {"DateYear", "%Y"},   {"DateMonth", "%m"},  {"DateDay", "%d"},
    {"Time", "%H:%M:%S"}, {"TimeHour", "%H"},   {"TimeMinute", "%M"}, {"TimeSecond", "%S"},
};

}  // namespace

std::optional<std::string> dateTimeMacroValue(std::string_view name, std::time_t moment) {
  for (const auto& macro : kDateTimeMacros) {
    if (macro.name != name) continue;
    std::tm local{};
    localtime_r(&moment, &local);
    char buffer[128];
    const size_t length = std::strftime(buffer, sizeof buffer, macro.format, &local);
    std::string text(buffer, length);
    if (!text.empty() && text.front() == ' ') text.erase(0, 1);
    return text;
  }
  return std::nullopt;
}

std::optional<std::string> dateTimeMacroValue(std::string_view name) {
  return dateTimeMacroValue(name, std::time(nullptr));
}

}  // namespace tidewater
