#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tidewater {

/// Splits a list value ("a;b;c") into its items. A backslash makes the next
/// character literal (so "a\;b" is one item "a;b"); empty items are dropped.
std::vector<std::string> splitEscapedList(std::string_view text, char separator = ';');

/// Splits a plain list ("a;b;c"), where a backslash is an ordinary byte;
/// empty items are dropped.
std::vector<std::string> splitList(std::string_view text, char separator = ';');

}  // namespace tidewater
