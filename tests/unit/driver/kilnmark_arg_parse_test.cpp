#include "driver/kilnmark_arg_parse.h"

#include <gtest/gtest.h>

#include <sstream>

#include "base/solution_load_error.h"
#include "driver/exit_request.h"
#include "project/arm_project_system.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

class KilnmarkArgParseTest : public ::testing::Test {
 protected:
  void run(std::vector<const char*> arguments) {
    parser.parse(static_cast<int>(arguments.size()), arguments.data(), 1);
  }

  // The project's own value in "Common", or "<unset>".
  std::string value(const std::string& property, ProjectElement* node = nullptr) const {
    const ProjectElement* common = (node != nullptr ? node : project)->configuration("Common");
    const std::string* stored = common != nullptr ? common->nodeAttribute(property) : nullptr;
    return stored != nullptr ? *stored : "<unset>";
  }

  void expectValues(std::initializer_list<std::pair<const char*, const char*>> expected) const {
    for (const auto& [property, stored] : expected) EXPECT_EQ(value(property), stored) << property;
  }

  std::vector<ProjectElement*> files() const {
    std::vector<ProjectElement*> found;
    for (XMLElement* child = project->firstChildElement(); child != nullptr;
         child = child->nextSiblingElement()) {
      auto* element = static_cast<ProjectElement*>(child);
      if (element->isFile()) found.push_back(element);
    }
    return found;
  }

  test::TempDir dir;
  std::string templates = dir.path() + "/templates/*.xml";
  std::ostringstream errors;
  ErrorReporter reporter{"cc", errors};
  MacroTable macros;
  ARMProjectSystem system{macros, "", {}};
  ProjectElement* solution = &system.newSolution("", "/work");
  ProjectElement* project = &system.newProject(*solution, "", "/work", "");
  KilnmarkArgParse parser{reporter, system, *project, templates};
};

TEST_F(KilnmarkArgParseTest, TableHasAllSeventySevenOptionsInPassOne) {
  EXPECT_EQ(parser.options().size(), 77u);
  for (const auto& [key, option] : parser.options()) EXPECT_EQ(option.pass, 1) << key;
}

TEST_F(KilnmarkArgParseTest, ArgumentsSelectTheEntryTheUserMeant) {
  struct Case {
    const char* argument;
    const char* key;  // null: no entry
    const char* value;
  };
  const Case cases[] = {
      {"-we", "-we", ""},           {"-wall", "-w", "all"},        {"-wextra", "-we", "xtra"},
      {"-I-", "-I-", ""},           {"-I-x", "-I", "-x"},          {"-e", "-e", ""},
      {"-exceptions", "-exceptions", ""}, {"-exceptionsx", "-e", "xceptionsx"},
      {"-Ereally", nullptr, nullptr}, {"-debugio=dcc", "-debugio=", "dcc"},
      {"-dependfoo", "-d", "ependfoo"}, {"-hascmse", "-has", "cmse"},
      {"-nowarn-enumsize", "-nowarn-", "enumsize"}, {"-nostderrs", nullptr, nullptr},
      {"-stripdebug", "-strip", "debug"}, {"-Fbin", "-F", "bin"},
      {"-Wl,--gc-sections", "-Wl,", "--gc-sections"}, {"-Ri,text", nullptr, nullptr},
      {"-Rv,vectors", nullptr, nullptr}, {"-xc++", "-x", "c++"}, {"-O2x", "-O", "2x"},
      {"-ofile", nullptr, nullptr}, {"-helpme", nullptr, nullptr}, {"-lm", nullptr, nullptr},
      {"-builtinsX", "-builtins", "X"},
  };
  for (const auto& c : cases) {
    const auto match = parser.matchOption(c.argument);
    if (c.key == nullptr) {
      EXPECT_FALSE(match.has_value()) << c.argument << " matched " << *match->key;
      continue;
    }
    ASSERT_TRUE(match.has_value()) << c.argument;
    EXPECT_EQ(*match->key, c.key) << c.argument;
    EXPECT_EQ(match->attachedValue, c.value) << c.argument;
  }
}

TEST_F(KilnmarkArgParseTest, FlagAndStoreOptionsFillTheFieldsTheRunReads) {
  run({"-ansi", "-ar", "-c", "-E", "-kasm", "-kldscript", "-kpp", "-n", "-nostderr", "-v",
       "-depend", "deps.d", "-o", "-c"});
  EXPECT_EQ(reporter.errorCount(), 0) << errors.str();
  EXPECT_TRUE(parser.enforceAnsi() && parser.makeLibrary() && parser.compileOnly() &&
              parser.preprocessOnly() && parser.keepAssembly() && parser.keepLinkerScript() &&
              parser.keepPreprocessorOutput() && parser.showOnly() &&
              parser.outputToStandardOutput() && parser.verbose());
  EXPECT_FALSE(parser.debugInformation());
  EXPECT_EQ(parser.outputFileName(), "-c");
  EXPECT_EQ(parser.dependencyFileName(), "deps.d");
}

TEST_F(KilnmarkArgParseTest, ValidatedValuesIgnoreCaseAndAreStoredAsTheCatalogueSpellsThem) {
  run({"-arch=V7m", "-fpu=fpv4-sp-d16", "-fpabi=HARD", "-Fhex", "-be8", "-thumb", "-clang",
       "-std=GNU++14", "-std=c11"});
  EXPECT_EQ(errors.str(), "");
  expectValues({
      {"arm_architecture", "v7M"},          {"arm_fpu_type", "FPv4-SP-D16"},
      {"arm_fp_abi", "Hard"},               {"linker_output_format", "hex"},
      {"arm_endian", "BE-8"},               {"arm_instruction_set", "Thumb"},
      {"arm_library_instruction_set", "Thumb"}, {"arm_assembler_variant", "clang"},
      {"arm_compiler_variant", "clang"},    {"gcc_cplusplus_language_standard", "gnu++14"},
      {"gcc_c_language_standard", "c11"},
  });
}

TEST_F(KilnmarkArgParseTest, AnUnsupportedValueListsEveryLegalValueAndChangesNothing) {
  run({"-arch=v7M", "-arch=v10"});
  EXPECT_EQ(errors.str(),
            "cc: error: v10 unsupported - choose from:\nv4T\nv5TE\nv6\nv6M\nv7M\nv7EM\nv7R\nv7A\n"
            "v8M_Baseline\nv8M_Mainline\n");
  EXPECT_EQ(reporter.errorCount(), 1);
  EXPECT_EQ(value("arm_architecture"), "v7M");
}

TEST_F(KilnmarkArgParseTest, OptimizationAndDebugLevelsComeFromTheFirstCharacter) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"-O0", "None", ""},        {"-O2x", "Level 2", ""},     {"-Og", "Debug", ""},
      {"-OS", "Optimize For Size", ""},
      {"-O", "None", "cc: error:  unsupported optimization level\n"},
      {"-Oq", "None", "cc: error: q unsupported optimization level\n"},
  };
  for (const auto& [option, level, message] : cases) {
    errors.str("");
    run({"-O3", option});
    EXPECT_EQ(value("gcc_optimization_level"), level) << option;
    EXPECT_EQ(errors.str(), message) << option;
  }
  EXPECT_EQ(value("arm_library_optimization"), "Small");

  errors.str("");
  run({"-g"});
  EXPECT_TRUE(parser.debugInformation());
  EXPECT_EQ(value("gcc_debugging_level"), "<unset>");
  run({"-g3"});
  EXPECT_EQ(value("gcc_debugging_level"), "Level 3");
  run({"-gx"});
  EXPECT_TRUE(errors.str().starts_with("cc: error: Level 72 unsupported - choose from:\nNone\n"))
      << errors.str();
}

TEST_F(KilnmarkArgParseTest, ListOptionsAppendToTheProjectsOwnValue) {
  run({"-Ia", "-Ib", "-DX=1", "-Wl,--gc-sections", "-Kkeep_me"});
  expectValues({
      {"c_user_include_directories", ";a;b"}, {"c_preprocessor_definitions", ";X=1"},
      {"linker_additional_options", ";--gc-sections"}, {"linker_keep_symbols", ";keep_me"}});
}

TEST_F(KilnmarkArgParseTest, LinkerSymbolOptionsFindMemoryAreaMarkersAnywhere) {
  run({"-dFOO=1", "-d__STACKSIZE__=2048", "-dX__HEAPSIZE__=512", "-d__STACKSIZE_PROCESS__=64"});
  expectValues({
      {"link_symbol_definitions", ";FOO=1"}, {"arm_linker_heap_size", "512"},
      {"arm_linker_process_stack_size", "64"}, {"arm_linker_stack_size", "2048"}});
  // Both definitions of the main stack size were written, "Main Stack Size" first.
  std::vector<std::string> written;
  for (const auto& record : system.changeLog().records()) {
    if (record.property->name() == "arm_linker_stack_size") written.push_back(record.property->displayName());
  }
  EXPECT_EQ(written, (std::vector<std::string>{"Main Stack Size", "Stack Size (User/System Mode)"}));
}

TEST_F(KilnmarkArgParseTest, PrintfAndScanfVariantsSetTheirFourProperties) {
  run({"-printf=ll"});
  expectValues({
      {"linker_printf_fmt_level", "long long"}, {"linker_printf_fp_enabled", "No"},
      {"linker_printf_width_precision_supported", "No"}, {"linker_printf_wchar_enabled", "No"}});
  run({"-printf=dllw"});
  expectValues({
      {"linker_printf_fp_enabled", "Double"}, {"linker_printf_fmt_level", "long long"},
      {"linker_printf_wchar_enabled", "Yes"}});
  run({"-printf=ip"});
  EXPECT_EQ(value("linker_printf_width_precision_supported"), "Yes");

  run({"-scanf=lc"});
  EXPECT_EQ(value("linker_scanf_fmt_level"), "long");
  EXPECT_EQ(value("linker_scanf_character_group_matching_enabled"), "Yes");
  run({"-scanf=z"});
  EXPECT_EQ(errors.str(), "cc: error: z unsupported scanf option\n");
  EXPECT_EQ(value("linker_scanf_character_group_matching_enabled"), "No");
  run({"-scanf=dll"});
  EXPECT_EQ(value("linker_scanf_fp_enabled"), "Yes");
  EXPECT_EQ(value("linker_scanf_fmt_level"), "long long");
}

TEST_F(KilnmarkArgParseTest, WordOptionsAcceptTheirWordsAndNameWhatTheyRefuse) {
  run({"-hascmse", "-nowarn-mismatch", "-stripsymbols", "-debugio=mempoll", "-hasfpu",
       "-nowarn-x", "-stripall", "-debugio=jtag"});
  expectValues({
      {"arm_v8M_has_cmse", "Yes"}, {"arm_linker_no_warn_on_mismatch", "Yes"}, {"gcc_strip_symbols", "Yes"},
      {"arm_link_debugio_type", "Memory Poll"}});
  EXPECT_EQ(errors.str(),
            "cc: error: fpu unsupported option -hasfpu\n"
            "cc: error: x unsupported warning\n"
            "cc: error: all unsupported strip option\n"
            "cc: error: jtag unsupported debugio option - bkpt, dcc, mempoll are supported\n");
}

TEST_F(KilnmarkArgParseTest, AnyPropertyByNameIsValidatedWhenItHasLegalValues) {
  run({"-zlinker_map_file=no", "-zgcc_entry_point=start", "-zfoo", "-zno_such=1",
       "-zarm_fp_abi=Medium"});
  EXPECT_EQ(value("linker_map_file"), "No");
  EXPECT_EQ(value("gcc_entry_point"), "start");
  EXPECT_TRUE(errors.str().starts_with("cc: error: foo missing =\n"
                                       "cc: error: no_such=1 unable to find property\n"
                                       "cc: error: Medium unsupported - choose from:\n"))
      << errors.str();
}

TEST_F(KilnmarkArgParseTest, InputFilesBecomeFileNodesTypedByTheLatestFileTypeOption) {
  const auto list = dir.write("files", "x.c\nsub dir/y.s\n");
  run({"first.s", "-xc", "a.s", "-Tfile.ld", "-xasm", "b.c", "-xz", "c.c", "-inputfiles",
       list.c_str(), "-inputfiles", "/no/such/list"});
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"first.s", "<unset>"},     {"a.s", "C"},        {"file.ld", "Linker Script"},
      {"b.c", "Assembly"},        {"c.c", "Assembly"}, {"x.c", "<unset>"},
      {"sub dir/y.s", "<unset>"}};
  const auto nodes = files();
  ASSERT_EQ(nodes.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(*nodes[i]->nodeAttribute("file_name"), expected[i].first);
    EXPECT_EQ(value("file_type", nodes[i]), expected[i].second) << expected[i].first;
  }
  EXPECT_EQ(parser.currentFile(), nodes.back());
  EXPECT_EQ(value("arm_linker_indirect_file"), "Yes");
  EXPECT_EQ(errors.str(), "cc: error: z unsupported file type\ncc: error: cannot open file: /no/such/list\n");
}

TEST_F(KilnmarkArgParseTest, FixedValueOptionsIgnoreTheirAttachedText) {
  run({"-wall", "-we", "-builtinsfoo", "-l-", "-M", "-common", "-framepointer", "-I-"});
  expectValues({
      {"build_suppress_warnings", "Yes"}, {"build_treat_warnings_as_errors", "Yes"}, {"arm_use_builtins", "Yes"},
      {"link_include_standard_libraries", "No"}, {"linker_map_file", "Yes"}, {"gcc_no_common", "No"},
      {"gcc_omit_frame_pointer", "No"}, {"c_ignore_includes", "Yes"}});
  run({"-fill=0xff", "-memorymap", "map.xml", "-Rc,.fast"});
  expectValues({
      {"arm_linker_script_generator_default_fill_pattern", "0xff"},
      {"arm_linker_additional_output_file_gap_fill", "0xff"}, {"linker_memory_map_file", "map.xml"},
      {"default_code_section", ".fast"}});
  EXPECT_EQ(errors.str(), "");
}

TEST_F(KilnmarkArgParseTest, TemplatesGiveTheProjectItsTypeSettingsAndContent) {
  dir.write("templates/boards.xml",
            "<!DOCTYPE Project_Templates_File>\n<projects>\n"
            "  <project name=\"m4\" type=\"Library\">\n"
            "    <property name=\"arm_core_type\" value=\"Cortex-M4\"/>\n"
            "    <configuration Name=\"Debug\" gcc_optimization_level=\"None\"/>\n"
            "    <solutionproperty name=\"inherited_configurations\" value=\"Common\"/>\n"
            "    <folder Name=\"Startup\"><file file_name=\"start.s\"/></folder>\n"
            "  </project>\n</projects>\n");
  run({"-cpu=Cortex-M0", "-ym4", "-ynone"});
  EXPECT_EQ(value("project_type"), "Library");
  EXPECT_EQ(value("arm_core_type"), "Cortex-M4");
  EXPECT_EQ(*project->configuration("Debug")->nodeAttribute("gcc_optimization_level"), "None");
  EXPECT_EQ(value("inherited_configurations", solution), "Common");
  ProjectElement* folder = nullptr;
  for (XMLElement* child = project->firstChildElement(); child != nullptr && folder == nullptr;
       child = child->nextSiblingElement()) {
    if (static_cast<ProjectElement*>(child)->isFolder()) folder = static_cast<ProjectElement*>(child);
  }
  ASSERT_NE(folder, nullptr);
  EXPECT_EQ(*folder->nodeAttribute("Name"), "Startup");
  EXPECT_EQ(*static_cast<ProjectElement*>(folder->firstChildElement())->nodeAttribute("file_name"), "start.s");
  EXPECT_EQ(errors.str(), "cc: error: none can't find template\n");

  dir.write("templates/broken.xml", "<projects><project></projets>");
  try {
    run({"-ym4"});
    FAIL() << "a malformed template file was accepted";
  } catch (const SolutionLoadError& error) {
    EXPECT_TRUE(error.isXmlError());
    EXPECT_NE(error.message().find("broken.xml:1: tagName mismatch"), std::string::npos) << error.message();
  }
}

TEST_F(KilnmarkArgParseTest, HelpWritesTheTextAndEndsTheRunWithStatusZero) {
  try {
    run({"-c", "-help", "never.c"});
    FAIL() << "-help did not end the run";
  } catch (const ExitRequest& request) {
    EXPECT_EQ(request.status, 0);
  }
  EXPECT_TRUE(parser.compileOnly());
  EXPECT_TRUE(files().empty());
  EXPECT_NE(errors.str().find("Usage: cc [option] file file ...\n"), std::string::npos);
}

}  // namespace
}  // namespace tidewater
