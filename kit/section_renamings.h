#pragma once
// The default section options of the compile (-mtext=, -mdata=, -mbss=,
// -mrodata=), which neither installed compiler has, carried out by the
// launchers: the compiler runs without them, then the sections of the
// assembly file it wrote are renamed. A section named by the default or
// beginning with the default and "." (the per-function and per-object
// sections of -ffunction-sections and -fdata-sections, and the compiler's
// own such as .rodata.str1.1) takes the new name in place of the default:
// with -mtext=.fast, .text becomes .fast and .text.main .fast.main.
#include <string>
#include <string_view>
#include <vector>

class SectionRenamings {
 public:
  /// Takes "argument" when it is one of the options: true then, and the
  /// compiler must not see it.
  bool take(std::string_view argument);
  /// Whether any option named a section.
  bool any() const;
  /// Rewrites the section directives of the assembly file at "path"; false
  /// when it cannot be read or written (then it is left as it was).
  bool renameIn(const std::string& path) const;

 private:
  struct Renaming {
    const char* option;
    const char* section;
    /// Flags for a section directive that gives none: a new name has no
    /// default flags in the assembler.
    const char* flags;
    std::string name;
  };
  const Renaming* match(std::string_view name) const;
  std::string renameLine(const std::string& line) const;

  std::vector<Renaming> renamings_ = {{"-mtext=", ".text", "\"ax\",%progbits", {}},
                                      {"-mdata=", ".data", "\"aw\",%progbits", {}},
                                      {"-mbss=", ".bss", "\"aw\",%nobits", {}},
                                      {"-mrodata=", ".rodata", "\"a\",%progbits", {}}};
};

/// Runs "tool" with "arguments" (null-terminated, the first its name as the
/// messages show it) and, when it succeeds, renames the sections of
/// "output". The exit status the launcher ends with.
int runAndRename(const char* tool, const std::vector<const char*>& arguments, const std::string& output,
                 const SectionRenamings& renamings);
