// sectwright: writes the GNU ld script for a memory map and a section placement.
#include <iostream>
#include <string>
#include <vector>

#include "macro/macro_table.h"
#include "macro/system_macros.h"
#include "sectwright/sectwright_command.h"

int main(int argc, char** argv) {
  tidewater::MacroTable macros;
  tidewater::defineSystemMacros(macros, argc > 0 ? argv[0] : nullptr);
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return tidewater::runSectwright(arguments, macros, std::cerr);
}
