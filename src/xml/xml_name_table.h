#pragma once
// Element names, interned. A register description names tens of thousands of
// elements with a few dozen tags; each element keeps a pointer to the one
// copy of its name instead of a string of its own.

#include <string>
#include <string_view>

namespace tidewater {

/// The one copy of "name", valid until the process ends. Names are never
/// given back, so the table holds each distinct name once, however many
/// documents use it. Safe to call from any thread.
const std::string& internName(std::string_view name);

}  // namespace tidewater
