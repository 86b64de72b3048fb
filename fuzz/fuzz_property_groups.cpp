// Feeds arbitrary bytes to the property-group file reader as the file a
// project names, then selects the first entry of every group and collects
// what the selection contributes. Include names can only reach the sandbox
// directory made here: every "/" in the input becomes "_".
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "project/arm_project_system.h"
#include "project/property_value_group_file.h"

namespace {

void enterSandbox() {
  char pattern[] = "/tmp/tw-fuzz-groups-XXXXXX";
  if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0) std::abort();
  std::ofstream("part.xml") << "<groupEntry name=\"Inc\"><macro name=\"M\" value=\"$(M)$(M)\"/></groupEntry>";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = (enterSandbox(), true);
  (void)ready;

  std::string text(reinterpret_cast<const char*>(data), size);
  for (char& c : text) {
    if (c == '/') c = '_';
  }
  {
    std::ofstream file("groups.xml", std::ios::binary | std::ios::trunc);
    file << text;
  }
  tidewater::MacroTable macros;
  tidewater::ARMProjectSystem system(macros, "", {});
  tidewater::ProjectElement& solution = system.newSolution("s", ".");
  tidewater::ProjectElement& project = system.newProject(solution, "p", ".", "Executable");
  system.write(project, *system.catalogue().find("property_groups_file_path"), "Common", "groups.xml");
  tidewater::PropertyValueGroupFile* file = system.propertyGroupFile(&project, "Common");
  if (file == nullptr) return 0;
  for (const auto& group : file->groups()) {
    const auto values = group->legalValues();
    if (!values.empty()) system.write(project, *group, "Common", values.front());
  }
  (void)system.expandForNode(&project, "Debug", "$(M)$(Base)");
  for (const char* tag : {"cdefine", "cinclude", "library", "package"}) {
    (void)system.propertyGroupItems(&project, "Debug", tag, "name");
  }
  return 0;
}
