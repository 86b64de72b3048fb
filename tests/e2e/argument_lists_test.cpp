// The exact tool command lines of the installed driver: "-n" prints every
// command (indented by two spaces) without running it, "-v" prints and runs.
// Each expected list is assembled from its parts so a case states only what
// its options change.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "support/environment.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

using Arguments = std::vector<std::string>;

std::string joined(const Arguments& arguments) {
  std::string text;
  for (const auto& argument : arguments) text += (text.empty() ? "" : " ") + argument;
  return text;
}

Arguments operator+(Arguments left, const Arguments& right) {
  left.insert(left.end(), right.begin(), right.end());
  return left;
}

// The pieces of one C or C++ compile command, in command-line order; the
// defaults are those of a driver run with no option besides "-c".
struct CompileCommand {
  std::string compiler;
  Arguments language;  // C++ exception and RTTI switches
  Arguments preprocessor;
  Arguments warnings;
  Arguments additional;
  Arguments debug;
  std::string standard;
  Arguments ansi;
  Arguments optimization;
  std::string source;
  std::string assembly;

  Arguments arguments(const Arguments& target, const Arguments& tail) const {
    Arguments list{compiler, "-fmessage-length=0", "-fno-diagnostics-show-caret"};
    list = list + language + target + preprocessor + warnings + Arguments{"-quiet"} + additional + debug;
    list.push_back("-std=" + standard);
    return list + ansi + optimization + tail + Arguments{source, "-o", assembly};
  }
};

class ArgumentListsTest : public ::testing::Test {
 protected:
  static std::string dist() { return std::filesystem::canonical(test::distDirectory()).string(); }
  static std::string tool(const std::string& name) { return dist() + "/gcc/arm-none-eabi/bin/" + name; }

  test::ProgramResult cc(Arguments arguments, const std::string& program = dist() + "/bin/cc") {
    arguments.insert(arguments.begin(), "cc");
    return test::runProgram(program, arguments, dir.path());
  }

  // The printed commands, one argument list each (the test paths hold no blanks).
  static std::vector<Arguments> commands(const std::string& output) {
    std::vector<Arguments> result;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
      if (!line.starts_with("  ")) continue;
      std::istringstream words(line);
      Arguments arguments;
      for (std::string word; words >> word;) arguments.push_back(word);
      result.push_back(arguments);
    }
    return result;
  }

  // Runs "cc -n -c" with the options and compares every printed command.
  void expectCommands(const Arguments& options, const std::vector<Arguments>& expected) {
    const auto result = cc(Arguments{"-n", "-c"} + options);
    ASSERT_EQ(result.exitStatus, 0) << joined(options) << "\n" << result.standardError;
    const auto printed = commands(result.standardOutput);
    ASSERT_EQ(printed.size(), expected.size()) << "options: " << joined(options) << "\nprinted:\n"
                                               << result.standardOutput;
    for (size_t i = 0; i < expected.size(); ++i)
      EXPECT_EQ(printed[i], expected[i]) << "options: " << joined(options) << "\nprinted:  " << joined(printed[i])
                                         << "\nexpected: " << joined(expected[i]);
  }

  bool exists(const std::string& name) const { return access((dir.path() + "/" + name).c_str(), F_OK) == 0; }

  static Arguments includes() { return {"-isystem" + dist() + "/include", "-isystem$(PackagesDir)/include", "-I."}; }
  static Arguments defines() {
    return {"-D__SIZEOF_WCHAR_T=4", "-D__ARM_ARCH_4T__", "-D__TIDEWATER_ARM", "-D__TIDEWATER_MAJOR_VERSION=4",
            "-D__TIDEWATER_MINOR_VERSION=0", "-D__TIDEWATER_REVISION=6"};
  }
  static Arguments preprocessor(const Arguments& includeOptions = includes(), const Arguments& user = {}) {
    return Arguments{"-nostdinc"} + includeOptions + defines() + user;
  }
  // The default target (v4T, little endian, soft float) in its three forms.
  static Arguments targetPreprocess() { return {"-march=armv4t", "-mlittle-endian", "-mfloat-abi=soft", "-mthumb-interwork"}; }
  static Arguments targetCompile() { return targetPreprocess() + Arguments{"-mtp=soft"}; }
  static Arguments codeGeneration() {
    return {"-fomit-frame-pointer", "-fno-dwarf2-cfi-asm", "-fno-builtin", "-ffunction-sections",
            "-fdata-sections",      "-fshort-enums",       "-fno-common"};
  }

  static CompileCommand cCompile() {
    return {tool("cc1"), {}, preprocessor(), {}, {}, {}, "gnu99", {}, {}, "a.c", "a.asm"};
  }
  static Arguments compileArguments(const CompileCommand& command) {
    return command.arguments(targetCompile(), codeGeneration());
  }
  static Arguments assemble(const std::string& input, const std::string& object, const Arguments& extra = {}) {
    return Arguments{tool("as"), "--traditional-format"} + targetPreprocess() + extra + Arguments{input, "-o", object};
  }

  test::TempDir dir;
};

TEST_F(ArgumentListsTest, EveryPropertyAtItsDefaultGivesTheDocumentedList) {
  dir.write("a.c", "int a;\n");
  // With "-g" and "-depend" the driver writes exactly the defaults of debug
  // information and dependency output, so the whole list is fixed.
  const Arguments expected{
      tool("cc1"), "-fmessage-length=0", "-fno-diagnostics-show-caret", "-march=armv4t", "-mlittle-endian",
      "-mfloat-abi=soft", "-mthumb-interwork", "-mtp=soft", "-nostdinc", "-isystem" + dist() + "/include",
      "-isystem$(PackagesDir)/include", "-I.", "-D__SIZEOF_WCHAR_T=4", "-D__ARM_ARCH_4T__", "-D__TIDEWATER_ARM",
      "-D__TIDEWATER_MAJOR_VERSION=4", "-D__TIDEWATER_MINOR_VERSION=0", "-D__TIDEWATER_REVISION=6", "-MD", "a.d",
      "-MQ", "a.o", "-quiet", "-g2", "-gpubnames", "-std=gnu99", "-fomit-frame-pointer", "-fno-dwarf2-cfi-asm",
      "-fno-builtin", "-ffunction-sections", "-fdata-sections", "-fshort-enums", "-fno-common", "a.c", "-o",
      "a.asm"};
  expectCommands({"-g", "-depend", "a.d", "a.c"}, {expected, assemble("a.asm", "a.o"), {"rm", "a.asm"}});
}

struct CompileCase {
  Arguments options;
  std::function<void(CompileCommand&)> adjust;
  Arguments assemblerOptions;
};

TEST_F(ArgumentListsTest, COptionsChangeOnlyTheirOwnPartOfTheCompileList) {
  dir.write("a.c", "int a;\n");
  const std::string systemInclude = "-isystem" + dist() + "/include";
  const std::vector<CompileCase> cases = {
      // Without "-g" the driver turns debug information off and without
      // "-depend" it asks for no dependency file.
      {{}, [](CompileCommand&) {}, {}},
      {{"-g"}, [](CompileCommand& c) { c.debug = {"-g2", "-gpubnames"}; }, {}},
      {{"-g1"}, [](CompileCommand& c) { c.debug = {"-g1", "-gpubnames"}; }, {}},
      {{"-g3"}, [](CompileCommand& c) { c.debug = {"-g3", "-gpubnames"}; }, {}},
      {{"-ansi"}, [](CompileCommand& c) { c.ansi = {"-pedantic"}; }, {}},
      {{"-Wc,-Wall", "-Wc,-Wshadow"}, [](CompileCommand& c) { c.additional = {"-Wall", "-Wshadow"}; }, {}},
      {{"-Wa,-al", "-Wa,--warn"}, [](CompileCommand&) {}, {"-al", "--warn"}},
      {{"-DX=1", "-DY"}, [](CompileCommand& c) { c.preprocessor = preprocessor(includes(), {"-DX=1", "-DY"}); }, {}},
      {{"-UZ"}, [](CompileCommand& c) { c.preprocessor = preprocessor(includes(), {"-UZ"}); }, {}},
      // Definitions come before undefinitions whatever the option order.
      {{"-UY", "-DX"}, [](CompileCommand& c) { c.preprocessor = preprocessor(includes(), {"-DX", "-UY"}); }, {}},
      // A list option replaces the inherited default with its own items.
      {{"-Iinc", "-Iother"},
       [&](CompileCommand& c) {
         c.preprocessor = preprocessor({systemInclude, "-isystem$(PackagesDir)/include", "-Iinc", "-Iother"});
       },
       {}},
      {{"-Jsys"}, [](CompileCommand& c) { c.preprocessor = preprocessor({"-isystemsys", "-I."}); }, {}},
      {{"-I-"}, [](CompileCommand& c) { c.preprocessor = preprocessor({}); }, {}},
      {{"-I-", "-Iinc", "-DX"}, [](CompileCommand& c) { c.preprocessor = preprocessor({}, {"-DX"}); }, {}},
      {{"-std=c11"}, [](CompileCommand& c) { c.standard = "c11"; }, {}},
      {{"-std=gnu++14"}, [](CompileCommand&) {}, {}},  // the C++ standard leaves a C file alone
      {{"-O0"}, [](CompileCommand&) {}, {}},
      {{"-O1"}, [](CompileCommand& c) { c.optimization = {"-O1"}; }, {}},
      {{"-O2"}, [](CompileCommand& c) { c.optimization = {"-O2"}; }, {}},
      {{"-O3"}, [](CompileCommand& c) { c.optimization = {"-O3"}; }, {}},
      {{"-Og"}, [](CompileCommand& c) { c.optimization = {"-Og"}; }, {}},
      {{"-Os"}, [](CompileCommand& c) { c.optimization = {"-Os"}; }, {}},
      {{"-O3", "-O1"}, [](CompileCommand& c) { c.optimization = {"-O1"}; }, {}},
      // "-w" suppresses warnings and "-we" makes them errors, as the help says.
      {{"-w"}, [](CompileCommand& c) { c.warnings = {"-w"}; }, {}},
      {{"-we"}, [](CompileCommand& c) { c.warnings = {"-Werror"}; }, {}},
      {{"-w", "-we"}, [](CompileCommand& c) { c.warnings = {"-Werror", "-w"}; }, {}},
      {{"-we", "-w", "-ansi", "-g", "-O2", "-Wc,-Wall", "-std=c90"},
       [](CompileCommand& c) {
         c.warnings = {"-Werror", "-w"};
         c.additional = {"-Wall"};
         c.debug = {"-g2", "-gpubnames"};
         c.standard = "c90";
         c.ansi = {"-pedantic"};
         c.optimization = {"-O2"};
       },
       {}},
  };
  for (const auto& testCase : cases) {
    CompileCommand compile = cCompile();
    testCase.adjust(compile);
    expectCommands(testCase.options + Arguments{"a.c"},
                   {compileArguments(compile), assemble("a.asm", "a.o", testCase.assemblerOptions), {"rm", "a.asm"}});
  }
}

TEST_F(ArgumentListsTest, CppExceptionsAndRttiAreOffUnlessAskedFor) {
  dir.write("b.cpp", "struct B { virtual ~B(); };\n");
  const std::vector<std::pair<Arguments, Arguments>> cases = {
      {{}, {"-fno-exceptions", "-fno-rtti"}},
      {{"-exceptions"}, {"-fno-rtti"}},
      {{"-rtti"}, {"-fno-exceptions"}},
      {{"-exceptions", "-rtti"}, {}},
  };
  for (const auto& [options, language] : cases) {
    CompileCommand compile{tool("cc1plus"), language, preprocessor(), {}, {}, {}, "gnu++98", {}, {}, "b.cpp", "b.asm"};
    expectCommands(options + Arguments{"b.cpp"}, {compileArguments(compile), assemble("b.asm", "b.o"), {"rm", "b.asm"}});
  }
  CompileCommand compile{tool("cc1plus"), {}, preprocessor(), {}, {}, {}, "gnu++14", {}, {}, "b.cpp", "b.asm"};
  expectCommands({"-exceptions", "-rtti", "-std=gnu++14", "-std=c11", "b.cpp"},
                 {compileArguments(compile), assemble("b.asm", "b.o"), {"rm", "b.asm"}});
}

struct AssemblyCase {
  Arguments options;
  Arguments preprocessSwitches;  // between the compiler's own switches and the target
  Arguments preprocessWarnings;
  Arguments assemblerOptions;
  Arguments assemblerTail;
  Arguments objcopyPairs;  // empty: no objcopy command
};

TEST_F(ArgumentListsTest, AssemblySourcesArePreprocessedAssembledAndRenamedOnlyWhenNeeded) {
  dir.write("s.s", "  nop\n");
  const std::vector<AssemblyCase> cases = {
      {{}, {"-E", "-P"}, {}, {}, {}, {}},
      {{"-Rc,.text", "-Rd,.data", "-Rz,.bss", "-Rk,.rodata"}, {"-E", "-P"}, {}, {}, {}, {}},
      {{"-Rc,.fast"}, {"-E", "-P"}, {}, {}, {}, {"--rename-section", ".text=.fast"}},
      {{"-Rk,.k2", "-Rz,.z2", "-Rd,.d2", "-Rc,.text"},
       {"-E", "-P"},
       {},
       {},
       {},
       {"--rename-section", ".data=.d2", "--rename-section", ".bss=.z2", "--rename-section", ".rodata=.k2"}},
      {{"-g"}, {"-E"}, {}, {}, {"-g", "-gdwarf-4"}, {}},
      {{"-we"}, {"-E", "-P"}, {"-Werror"}, {}, {"--fatal-warnings"}, {}},
      {{"-w"}, {"-E", "-P"}, {"-w"}, {}, {"--no-warn"}, {}},
      {{"-Wa,-W", "-Wa,--gdwarf-5"}, {"-E", "-P"}, {}, {"-W", "--gdwarf-5"}, {}, {}},
  };
  for (const auto& testCase : cases) {
    std::vector<Arguments> expected{
        Arguments{tool("cc1"), "-fmessage-length=0", "-fno-diagnostics-show-caret"} + testCase.preprocessSwitches +
            targetPreprocess() + preprocessor() + testCase.preprocessWarnings +
            Arguments{"-quiet", "-lang-asm", "s.s", "-o", "s_PP.s"},
        assemble("s_PP.s", "s.o", testCase.assemblerOptions) + testCase.assemblerTail};
    if (!testCase.objcopyPairs.empty()) expected.push_back(Arguments{tool("objcopy"), "s.o", "s.o"} + testCase.objcopyPairs);
    expected.push_back({"rm", "s_PP.s"});
    expectCommands(testCase.options + Arguments{"s.s"}, expected);
  }
}

TEST_F(ArgumentListsTest, SectionOptionsRenameTheCompilersSections) {
  dir.write("a.c", "int a;\n");
  // Names equal to the defaults add nothing; others go between the
  // unused-symbol switches and the enumeration switch.
  expectCommands({"-Rc,.text", "-Rd,.data", "a.c"},
                 {compileArguments(cCompile()), assemble("a.asm", "a.o"), {"rm", "a.asm"}});
  Arguments tail = codeGeneration();
  tail.insert(tail.begin() + 5, {"-mtext=.fast", "-mdata=.d2", "-mbss=.z2", "-mrodata=.k2"});
  expectCommands({"-Rk,.k2", "-Rz,.z2", "-Rd,.d2", "-Rc,.fast", "a.c"},
                 {cCompile().arguments(targetCompile(), tail), assemble("a.asm", "a.o"), {"rm", "a.asm"}});
}

TEST_F(ArgumentListsTest, KeepOptionsKeepTheIntermediateFiles) {
  dir.write("a.c", "int a;\n");
  // "-kasm": no removal of the assembly file.
  expectCommands({"-kasm", "a.c"}, {compileArguments(cCompile()), assemble("a.asm", "a.o")});

  // "-kpp": a separate preprocessing step on the absolute source; the
  // compile then reads its output and takes no preprocessor options.
  const Arguments preprocessStep = Arguments{tool("cc1"), "-fmessage-length=0", "-fno-diagnostics-show-caret", "-E",
                                             "-quiet"} +
                                   targetPreprocess() + preprocessor(includes(), {"-DX"}) +
                                   Arguments{dir.path() + "/a.c", "-o", "a_PP.c"};
  CompileCommand compile = cCompile();
  compile.preprocessor = {"-fpreprocessed"};
  compile.source = "a_PP.c";
  expectCommands({"-kpp", "-DX", "a.c"},
                 {preprocessStep, compileArguments(compile), assemble("a.asm", "a.o"), {"rm", "a.asm"}});
  // Dependency output has no place in a compile of preprocessed text.
  expectCommands({"-kpp", "-DX", "-depend", "a.d", "a.c"},
                 {preprocessStep, compileArguments(compile), assemble("a.asm", "a.o"), {"rm", "a.asm"}});
}

TEST_F(ArgumentListsTest, DependOptionWritesTheDependencyFile) {
  dir.write("a.c", "#include \"a.h\"\nint a = A;\n");
  dir.write("a.h", "#define A 1\n");
  CompileCommand compile = cCompile();
  compile.preprocessor = preprocessor(includes(), {"-MD", "a.d", "-MQ", "a.o"});
  const std::vector<Arguments> expected{compileArguments(compile), assemble("a.asm", "a.o"), {"rm", "a.asm"}};
  expectCommands({"-depend", "a.d", "a.c"}, expected);
  EXPECT_FALSE(exists("a.d") || exists("a.o"));  // "-n" runs nothing

  // "-v" prints the same commands and runs them.
  const auto result = cc({"-v", "-c", "-depend", "a.d", "a.c"});
  ASSERT_EQ(result.exitStatus, 0) << result.standardOutput << result.standardError;
  EXPECT_EQ(commands(result.standardOutput), expected) << result.standardOutput;
  ASSERT_TRUE(exists("a.d"));
  ASSERT_TRUE(exists("a.o"));
  EXPECT_FALSE(exists("a.asm"));
  const std::string dependencies = test::readFile(dir.path() + "/a.d");
  EXPECT_TRUE(dependencies.starts_with("a.o:")) << dependencies;
  EXPECT_NE(dependencies.find("a.h"), std::string::npos) << dependencies;
}

TEST_F(ArgumentListsTest, NostderrMovesTheToolsDiagnosticsToStandardOutput) {
  dir.write("warn.c", "int f(void) { return; }\n");
  dir.write("bad.c", "int broken( { }\n");
  struct Case {
    std::string file;
    int exitStatus;
  };
  for (const Case& c : {Case{"warn.c", 0}, Case{"bad.c", 1}}) {
    const std::string location = c.file + ":1:";
    const auto moved = cc({"-c", "-nostderr", c.file});
    EXPECT_EQ(moved.exitStatus, c.exitStatus) << c.file;
    EXPECT_NE(moved.standardOutput.find(location), std::string::npos) << c.file << ": " << moved.standardOutput;
    EXPECT_EQ(moved.standardError.find(location), std::string::npos) << c.file << ": " << moved.standardError;

    const auto plain = cc({"-c", c.file});
    EXPECT_EQ(plain.exitStatus, c.exitStatus) << c.file;
    EXPECT_NE(plain.standardError.find(location), std::string::npos) << c.file << ": " << plain.standardError;
    EXPECT_EQ(plain.standardOutput.find(location), std::string::npos) << c.file << ": " << plain.standardOutput;
  }
  EXPECT_TRUE(exists("warn.o"));
  EXPECT_FALSE(exists("bad.o"));
}

TEST_F(ArgumentListsTest, AMissingToolIsReportedByItsPath) {
  const std::string copy = dir.path() + "/tree";
  const auto copied = test::runProgram("/bin/cp", {"cp", "-a", dist(), copy});
  ASSERT_EQ(copied.exitStatus, 0) << copied.standardError;
  const std::string compiler = copy + "/gcc/arm-none-eabi/bin/cc1";
  ASSERT_TRUE(std::filesystem::remove(compiler));
  dir.write("work/a.c", "int a;\n");

  const auto result = test::runProgram(copy + "/bin/cc", {"cc", "-c", "a.c"}, dir.path() + "/work");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.standardOutput.find("can't execute command \"" + compiler + "\""), std::string::npos)
      << result.standardOutput;
  EXPECT_EQ(result.standardError, "There were 1 build errors\n");
  EXPECT_FALSE(exists("work/a.o"));
}

}  // namespace
}  // namespace tidewater
