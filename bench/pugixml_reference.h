#pragma once
// The second reference of the XML benchmarks, built only where pugixml is
// installed (TW_BENCH_PUGIXML): pugixml's in-place parse of a whole file,
// the pace an arena-allocating tree builder can reach on this machine.
#if TW_BENCH_PUGIXML
#include <pugixml.hpp>

#include <string>

namespace tidewater::bench {

inline constexpr bool kHavePugixml = true;

/// Reads and parses "path" once, as pugixml does by default; false on failure.
inline bool runPugixml(const std::string& path) {
  pugi::xml_document document;
  return static_cast<bool>(document.load_file(path.c_str()));
}

}  // namespace tidewater::bench
#else
#include <string>

namespace tidewater::bench {

inline constexpr bool kHavePugixml = false;
inline bool runPugixml(const std::string&) { return false; }

}  // namespace tidewater::bench
#endif
