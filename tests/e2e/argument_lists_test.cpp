// The exact tool command lines of the installed driver. "-n" prints each
// command, indented, and runs nothing; every case states how its options
// edit the lines of a plain compile or assembly.
#include <filesystem>
#include <utility>

#include "e2e/e2e_fixture.h"

namespace tidewater::test {
namespace {

using Edits = std::vector<std::pair<std::string, std::string>>;

const std::string kBin = "DIST/gcc/arm-none-eabi/bin/";
const std::string kHead = "-fmessage-length=0 -fno-diagnostics-show-caret";
const std::string kTarget = "-march=armv4t -mlittle-endian -mfloat-abi=soft -mthumb-interwork";
const std::string kPreprocessor =
    "-nostdinc -isystemDIST/include -isystem$(PackagesDir)/include -I. -D__SIZEOF_WCHAR_T=4 -D__ARM_ARCH_4T__ "
    "-D__TIDEWATER_ARM -D__TIDEWATER_MAJOR_VERSION=4 -D__TIDEWATER_MINOR_VERSION=0 -D__TIDEWATER_REVISION=6";
const std::string kCompile = "  " + kBin + "cc1 " + kHead + " " + kTarget + " -mtp=soft ";
const std::string kC = kCompile + kPreprocessor +
                       " -quiet -std=gnu99 -fomit-frame-pointer -fno-dwarf2-cfi-asm -fno-builtin -ffunction-sections "
                       "-fdata-sections -fshort-enums -fno-common a.c -o a.asm\n  " +
                       kBin + "as --traditional-format " + kTarget + " a.asm -o a.o\n  rm a.asm\n";
const std::string kAssembly = "  " + kBin + "cc1 " + kHead + " -E -P " + kTarget + " " + kPreprocessor +
                              " -quiet -lang-asm s.s -o s_PP.s\n  " + kBin + "as --traditional-format " + kTarget +
                              " s_PP.s -o s.o\n  rm s_PP.s\n";

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

class ArgumentListsTest : public E2ETest {
 protected:
  // Standard output with the installation and the working directory shown as DIST and DIR.
  std::string normalised(std::string output) const {
    replaceAll(output, std::filesystem::canonical(distDirectory()).string(), "DIST");
    replaceAll(output, dir.path(), "DIR");
    return output;
  }
  std::string shown(const Strings& options) {
    const auto result = cc(Strings{"-n", "-c"} + options);
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    return normalised(result.standardOutput);
  }
};

TEST_F(ArgumentListsTest, EachOptionChangesOnlyItsOwnPartOfTheCommands) {
  dir.write("a.c", "int a;\n");
  dir.write("b.cpp", "struct B { virtual ~B(); };\n");
  dir.write("s.s", "  nop\n");
  const auto cpp = [](const std::string& languageSwitches, const std::string& standard) {
    return Edits{{" a.c ", " b.cpp "}, {"a.asm", "b.asm"}, {"a.o", "b.o"},
                 {"cc1 " + kHead, "cc1plus " + kHead + languageSwitches}, {"gnu99", standard}};
  };
  // The preprocessing step of "-kpp" reads the absolute source; the compile
  // then takes its output without preprocessor or dependency options.
  const Edits keepPreprocessed = {
      {" a.c -o", " a_PP.c -o"},
      {kCompile + kPreprocessor, "  " + kBin + "cc1 " + kHead + " -E -quiet " + kTarget + " " + kPreprocessor +
                                     " -DX DIR/a.c -o a_PP.c\n" + kCompile + "-fpreprocessed"}};
  const std::string objcopy = "  " + kBin + "objcopy s.o s.o";
  std::vector<std::pair<Strings, Edits>> cases = {
      {{"a.c"}, {}},
      {{"-g", "a.c"}, {{" -quiet", " -quiet -g2 -gpubnames"}}},
      {{"-g1", "a.c"}, {{" -quiet", " -quiet -g1 -gpubnames"}}},
      {{"-ansi", "a.c"}, {{"gnu99", "gnu99 -pedantic"}}},
      {{"-Wc,-Wall", "-Wc,-Wshadow", "a.c"}, {{" -quiet", " -quiet -Wall -Wshadow"}}},
      {{"-Wa,-al", "-Wa,--warn", "a.c"}, {{" a.asm -o", " -al --warn a.asm -o"}}},
      {{"-UY", "-DX=1", "-DY", "a.c"}, {{"REVISION=6", "REVISION=6 -DX=1 -DY -UY"}}},  // definitions first
      {{"-Iinc", "-Iother", "a.c"}, {{" -I.", " -Iinc -Iother"}}},        // replaces the default
      {{"-Jsys", "a.c"}, {{"-isystemDIST/include -isystem$(PackagesDir)/include", "-isystemsys"}}},
      {{"-I-", "-Iinc", "-DX", "a.c"},
       {{" -isystemDIST/include -isystem$(PackagesDir)/include -I.", ""}, {"REVISION=6", "REVISION=6 -DX"}}},
      {{"-std=c11", "a.c"}, {{"gnu99", "c11"}}},
      {{"-std=gnu++14", "-O0", "-Rc,.text", "-Rd,.data", "a.c"}, {}},
      {{"-O3", "-O1", "a.c"}, {{" -fomit", " -O1 -fomit"}}},
      {{"-we", "-w", "-ansi", "-g", "-O2", "-Wc,-Wall", "-std=c90", "a.c"},
       {{" -quiet -std=gnu99", " -Werror -w -quiet -Wall -g2 -gpubnames -std=c90 -pedantic -O2"}}},
      {{"-Rk,.k2", "-Rz,.z2", "-Rd,.d2", "-Rc,.fast", "a.c"},
       {{"-fdata-sections", "-fdata-sections -mtext=.fast -mdata=.d2 -mbss=.z2 -mrodata=.k2"}}},
      {{"-depend", "a.d", "a.c"}, {{"REVISION=6", "REVISION=6 -MD a.d -MQ a.o"}}},
      {{"-kasm", "a.c"}, {{"  rm a.asm\n", ""}}},
      {{"-kpp", "-DX", "a.c"}, keepPreprocessed},
      {{"-kpp", "-DX", "-depend", "a.d", "a.c"}, keepPreprocessed},
      {{"b.cpp"}, cpp(" -fno-exceptions -fno-rtti", "gnu++98")},
      {{"-exceptions", "b.cpp"}, cpp(" -fno-rtti", "gnu++98")},
      {{"-rtti", "b.cpp"}, cpp(" -fno-exceptions", "gnu++98")},
      {{"-exceptions", "-rtti", "-std=gnu++14", "-std=c11", "b.cpp"}, cpp("", "gnu++14")},
      {{"s.s"}, {}},
      {{"-Rc,.text", "-Rd,.data", "-Rz,.bss", "-Rk,.rodata", "s.s"}, {}},  // no renaming needed
      {{"-Rc,.fast", "s.s"}, {{"  rm", objcopy + " --rename-section .text=.fast\n  rm"}}},
      {{"-Rk,.k2", "-Rz,.z2", "-Rd,.d2", "-Rc,.text", "s.s"},
       {{"  rm",
         objcopy + " --rename-section .data=.d2 --rename-section .bss=.z2 --rename-section .rodata=.k2\n  rm"}}},
      {{"-g", "s.s"}, {{"-E -P", "-E"}, {"-o s.o", "-o s.o -g -gdwarf-4"}}},
      {{"-we", "s.s"}, {{" -quiet", " -Werror -quiet"}, {"-o s.o", "-o s.o --fatal-warnings"}}},
      {{"-w", "s.s"}, {{" -quiet", " -w -quiet"}, {"-o s.o", "-o s.o --no-warn"}}},
      {{"-Wa,-W", "-Wa,--gdwarf-5", "s.s"}, {{" s_PP.s -o", " -W --gdwarf-5 s_PP.s -o"}}},
  };
  for (const char* level : {"-O1", "-O2", "-O3", "-Og", "-Os"}) {
    cases.push_back({{level, "a.c"}, {{" -fomit", std::string(" ") + level + " -fomit"}}});
  }
  for (const auto& [options, edits] : cases) {
    SCOPED_TRACE(joined(options));
    std::string expected = options.back().ends_with(".s") ? kAssembly : kC;
    for (const auto& [from, to] : edits) {
      ASSERT_TRUE(contains(expected, from));
      replaceAll(expected, from, to);
    }
    EXPECT_EQ(shown(options), expected);
  }
  for (const char* output : {"a.o", "a.asm", "a.d", "a_PP.c", "b.o", "s.o", "s_PP.s"}) {
    EXPECT_FALSE(exists(output)) << output << " written under -n";
  }
}

TEST_F(ArgumentListsTest, VerboseRunsTheShownCommandsAndDependWritesTheDependencies) {
  dir.write("a.c", "#include \"a.h\"\nint a = A;\n");
  dir.write("a.h", "#define A 1\n");
  const auto result = cc({"-v", "-c", "-depend", "a.d", "a.c"});
  ASSERT_EQ(result.exitStatus, 0) << result.standardError;
  EXPECT_EQ(normalised(result.standardOutput), shown({"-depend", "a.d", "a.c"}));
  EXPECT_TRUE(exists("a.o"));
  EXPECT_FALSE(exists("a.asm"));
  ASSERT_TRUE(exists("a.d"));
  EXPECT_TRUE(read("a.d").starts_with("a.o:")) << read("a.d");
  EXPECT_TRUE(contains(read("a.d"), "a.h"));
}

}  // namespace
}  // namespace tidewater::test
