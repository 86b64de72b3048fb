// Feeds arbitrary bytes to the property-group file reader as the file a
// project names, then selects the first entry of every group and collects
// what the selection contributes. Include names can only reach the sandbox
// directory made here: every "/" in the input becomes "_". A file that
// cannot be loaded must be refused with an HException, nothing else.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "base/h_exception.h"
#include "fuzz_scratch.h"
#include "project/arm_project_system.h"
#include "project/property_value_group_file.h"

namespace {

void enterSandbox() {
  tidewater::fuzz::enterScratchDirectory("/tmp/tw-fuzz-groups-XXXXXX");
  std::ofstream("part.xml") << "<groupEntry name=\"Inc\"><macro name=\"M\" value=\"$(M)$(M)\"/></groupEntry>";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = (enterSandbox(), true);
  (void)ready;

  std::string text = tidewater::fuzz::confinedText(data, size);
  tidewater::fuzz::writeScratchFile("groups.xml", text);
  tidewater::MacroTable macros;
  tidewater::ARMProjectSystem system(macros, "", {});
  tidewater::ProjectElement& solution = system.newSolution("s", ".");
  tidewater::ProjectElement& project = system.newProject(solution, "p", ".", "Executable");
  system.write(project, *system.catalogue().find("property_groups_file_path"), "Common", "groups.xml");
  tidewater::PropertyValueGroupFile* file = nullptr;
  try {
    file = system.propertyGroupFile(&project, "Common");
  } catch (const tidewater::HException&) {
    return 0;  // a file that cannot be loaded is an error the driver reports
  }
  if (file == nullptr) return 0;
  for (const auto& group : file->groups()) {
    const auto values = group->legalValues();
    // The class views texts it owns; reading them through it checks the views.
    const auto groups = group->valueGroups();
    if (!groups.empty() && groups.size() != values.size()) __builtin_trap();
    if (!values.empty()) system.write(project, *group, "Common", values.front());
  }
  (void)system.expandForNode(&project, "Debug", "$(M)$(Base)");
  for (const char* tag : {"cdefine", "cinclude", "library", "package"}) {
    (void)system.propertyGroupItems(&project, "Debug", tag, "name");
  }
  return 0;
}
