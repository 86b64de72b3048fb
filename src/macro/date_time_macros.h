#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace tidewater {

/// The current local date or time for one of the macros computed at
/// expansion: Date ("5 December 2026"), DateYear, DateMonth, DateDay, Time
/// ("hh:mm:ss"), TimeHour, TimeMinute, TimeSecond. None for any other name.
std::optional<std::string> dateTimeMacroValue(std::string_view name);

/// The same for a given moment (local time), so that results can be checked.
std::optional<std::string> dateTimeMacroValue(std::string_view name, std::time_t moment);

}  // namespace tidewater
