#include "driver/kilnmark_arg_parse.h"

#include <gtest/gtest.h>

#include <sstream>

#include "base/solution_load_error.h"
#include "driver/parsed_settings.h"
#include "project/arm_project_system.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

// A project in a fresh directory, and the parser that fills it (templates from "templates/*.xml" there).
struct Parsed {
  void run(std::vector<const char*> arguments) {
    parser.parse(static_cast<int>(arguments.size()), arguments.data(), 1);
    parser.finishWrites();
  }

  // The node's own value in "Common", or "<unset>".
  std::string value(const std::string& property, ProjectElement* node = nullptr) const {
    const ProjectElement* common = (node != nullptr ? node : project)->configuration("Common");
    const std::string* stored = common != nullptr ? common->nodeAttribute(property) : nullptr;
    return stored != nullptr ? *stored : "<unset>";
  }

  test::TempDir dir;
  std::ostringstream errors;
  ErrorReporter reporter{"cc", errors};
  MacroTable macros;
  ARMProjectSystem system{macros, "", {}};
  ProjectElement* solution = &system.newSolution("", dir.path());
  ProjectElement* project = &system.newProject(*solution, "", dir.path(), "");
  KilnmarkArgParse parser{reporter, system, *project, dir.path() + "/templates/*.xml"};
};

TEST(KilnmarkArgParseTest, ArgumentsSelectTheEntryTheUserMeant) {
  // "key|attached value": exact keys first, then the first attached key in descending
  // byte order that the argument starts with; keys of other forms never match by prefix.
  const std::pair<const char*, const char*> cases[] = {
      {"-we", "-we|"}, {"-wall", "-w|all"}, {"-wextra", "-we|xtra"}, {"-I-", "-I-|"}, {"-I-x", "-I|-x"}, {"-e", "-e|"},
      {"-exceptions", "-exceptions|"}, {"-exceptionsx", "-e|xceptionsx"}, {"-Ereally", "none"},
      {"-debugio=dcc", "-debugio=|dcc"}, {"-dependfoo", "-d|ependfoo"}, {"-hascmse", "-has|cmse"},
      {"-nowarn-enumsize", "-nowarn-|enumsize"}, {"-nostderrs", "none"}, {"-stripdebug", "-strip|debug"},
      {"-Fbin", "-F|bin"}, {"-Wl,--gc-sections", "-Wl,|--gc-sections"}, {"-Ri,text", "none"}, {"-Rv,vectors", "none"},
      {"-xc++", "-x|c++"}, {"-O2x", "-O|2x"}, {"-ofile", "none"}, {"-helpme", "none"}, {"-lm", "none"},
      {"-builtinsX", "-builtins|X"},
  };
  Parsed parsed;
  for (const auto& [argument, expected] : cases) {
    const auto match = parsed.parser.matchOption(argument);
    EXPECT_EQ(match ? *match->key + "|" + match->attachedValue : "none", expected) << argument;
  }
}

TEST(KilnmarkArgParseTest, OptionsWriteTheProjectsOwnValuesAndNameWhatTheyRefuse) {
  // The project's own values ("property=value|...") and the messages after the arguments. "Settled" also writes
  // the project's shape from -c, -E, -ar and -o, and the flag properties, which win over the same names in -z.
  const std::tuple<std::vector<const char*>, const char*, const char*, bool> cases[] = {
      // Validated values ignore case and are stored as the catalogue spells them.
      {{"-arch=V7m", "-fpabi=HARD", "-Fhex", "-be8", "-thumb", "-clang", "-std=GNU++14", "-std=c11"},
       "arm_architecture=v7M|arm_fp_abi=Hard|linker_output_format=hex|arm_endian=BE-8|arm_instruction_set=Thumb|"
       "arm_library_instruction_set=Thumb|arm_assembler_variant=clang|arm_compiler_variant=clang|"
       "gcc_cplusplus_language_standard=gnu++14|gcc_c_language_standard=c11", "", false},
      {{"-arch=v7M", "-arch=v10"}, "arm_architecture=v7M", "cc: error: v10 unsupported - choose from:\nv4T\nv5TE\n"
       "v6\nv6M\nv7M\nv7EM\nv7R\nv7A\nv8M_Baseline\nv8M_Mainline\n", false},
      // Levels come from the first character.
      {{"-O3", "-O2x"}, "gcc_optimization_level=Level 2|arm_library_optimization=<unset>", "", false},
      {{"-O3", "-OS"}, "gcc_optimization_level=Optimize For Size|arm_library_optimization=Small", "", false},
      {{"-O3", "-O"}, "gcc_optimization_level=None", "cc: error:  unsupported optimization level\n", false},
      {{"-O3", "-Oq"}, "gcc_optimization_level=None", "cc: error: q unsupported optimization level\n", false},
      {{"-g", "-gx"}, "gcc_debugging_level=<unset>",
       "cc: error: Level 72 unsupported - choose from:\nNone\nLevel 1\nLevel 2\nLevel 3\n", false},
      // Lists append to the project's own value; memory-area markers are found anywhere in a linker symbol.
      {{"-Ia", "-Ib", "-Wl,--gc-sections", "-Kkeep_me", "-dFOO=1", "-d__STACKSIZE__=2048", "-dX__HEAPSIZE__=512",
        "-d__STACKSIZE_PROCESS__=64"},
       "c_user_include_directories=;a;b|linker_additional_options=;--gc-sections|linker_keep_symbols=;keep_me|"
       "link_symbol_definitions=;FOO=1|arm_linker_heap_size=512|arm_linker_process_stack_size=64|"
       "arm_linker_stack_size=2048", "", false},
      {{"-printf=ll", "-scanf=lc"}, "linker_printf_fmt_level=long long|linker_printf_fp_enabled=No|"
       "linker_printf_width_precision_supported=No|linker_printf_wchar_enabled=No|linker_scanf_fmt_level=long|"
       "linker_scanf_character_group_matching_enabled=Yes", "", false},
      {{"-printf=dllw", "-scanf=dll"}, "linker_printf_fp_enabled=Double|linker_printf_fmt_level=long long|"
       "linker_printf_wchar_enabled=Yes|linker_scanf_fp_enabled=Yes|linker_scanf_fmt_level=long long", "", false},
      {{"-printf=ip", "-scanf=lc", "-scanf=z"}, "linker_printf_fmt_level=int|linker_printf_width_precision_supported="
       "Yes|linker_scanf_character_group_matching_enabled=No", "cc: error: z unsupported scanf option\n", false},
      {{"-hascmse", "-nowarn-mismatch", "-stripsymbols", "-debugio=mempoll", "-hasfpu", "-nowarn-x", "-stripall",
        "-debugio=jtag"},
       "arm_v8M_has_cmse=Yes|arm_linker_no_warn_on_mismatch=Yes|gcc_strip_symbols=Yes|"
       "arm_link_debugio_type=Memory Poll",
       "cc: error: fpu unsupported option -hasfpu\ncc: error: x unsupported warning\n"
       "cc: error: all unsupported strip option\n"
       "cc: error: jtag unsupported debugio option - bkpt, dcc, mempoll are supported\n", false},
      // Any property by name, validated when it has legal values.
      {{"-zlinker_map_file=no", "-zgcc_entry_point=start", "-zfoo", "-zno_such=1", "-zarm_fp_abi=Medium"},
       "linker_map_file=No|gcc_entry_point=start|arm_fp_abi=<unset>",
       "cc: error: foo missing =\ncc: error: no_such=1 unable to find property\n"
       "cc: error: Medium unsupported - choose from:\nSoft\nSoftFP\nHard\nNone\n", false},
      // Fixed values ignore any attached text; other values are stored as given.
      {{"-wall", "-we", "-builtinsfoo", "-l-", "-M", "-common", "-framepointer", "-I-", "-fill=0xff", "-memorymap",
        "map.xml", "-Rc,.fast"},
       "build_suppress_warnings=Yes|build_treat_warnings_as_errors=Yes|arm_use_builtins=Yes|"
       "link_include_standard_libraries=No|linker_map_file=Yes|gcc_no_common=No|gcc_omit_frame_pointer=No|"
       "c_ignore_includes=Yes|arm_linker_script_generator_default_fill_pattern=0xff|"
       "arm_linker_additional_output_file_gap_fill=0xff|linker_memory_map_file=map.xml|default_code_section=.fast",
       "", false},
      // An empty entry symbol, library directory or script name is a missing argument, not a value.
      {{"-eStart", "-e", "-L/opt/lib", "-L", "-T"}, "gcc_entry_point=Start|link_standard_libraries_directory=/opt/lib",
       "cc: error: expected argument for option -e\ncc: error: expected argument for option -L\n"
       "cc: error: expected argument for option -T\n", false},
      // A GNU spelling is an error with one uncounted note after it; other unknown options get no note.
      {{"-mcpu=cortex-m4", "-march=armv8-m.main", "-march=armv9", "-lring", "-bogus"}, "arm_core_type=<unset>",
       "cc: error: unrecognised option -mcpu=cortex-m4\n"
       "cc: note: for -mcpu=cortex-m4 use -cpu=cortex-m4 (-cpu=list shows the cores)\n"
       "cc: error: unrecognised option -march=armv8-m.main\n"
       "cc: note: for -march=armv8-m.main use -arch=v8M_Mainline (-arch=list shows the architectures)\n"
       "cc: error: unrecognised option -march=armv9\n"
       "cc: note: for -march=armv9 use -arch=<architecture> (-arch=list shows the architectures)\n"
       "cc: error: unrecognised option -lring\n"
       "cc: note: for -lring use the library's file name among the inputs (libring.a)\n"
       "cc: error: unrecognised option -bogus\n", false},
      {{"-c", "a.c"},
       "project_type=Object file|build_object_file_name=$(InputName)$(OBJ)|build_intermediate_directory=", "", true},
      {{"-c", "a.c", "-o", "x.o"}, "build_object_file_name=x.o|build_intermediate_directory=.", "", true},
      {{"-E", "-ar", "a.c"}, "project_type=Object file", "", true},
      {{"-ar", "-o", "out/lib.a", "x.o"},
       "project_type=Library|build_output_file_name=out/lib.a|build_intermediate_directory=out", "", true},
      {{"-o", "app.elf", "a.c"},
       "project_type=Executable|build_output_file_name=app.elf|build_intermediate_directory=.", "", true},
      {{"-c", "-zbuild_debug_information=Yes", "-zarm_keep_assembly=Yes", "-zarm_supply_absolute_file_path=Yes",
        "-kpp", "-g", "-zc_enforce_ansi_checking=Yes"},
       "build_debug_information=Yes|arm_keep_assembly=No|arm_supply_absolute_file_path=No|"
       "arm_keep_preprocessor_output=Yes|keep_linker_script_file=No|c_enforce_ansi_checking=No", "", true},
      {{"-c", "-ansi", "-kasm", "-kldscript"},
       "build_debug_information=No|arm_keep_assembly=Yes|arm_keep_preprocessor_output=No|"
       "keep_linker_script_file=Yes|c_enforce_ansi_checking=Yes", "", true},
  };
  for (const auto& [arguments, values, errors, settled] : cases) {
    Parsed parsed;
    parsed.run(arguments);
    if (settled) writeParsedSettings(parsed.system, *parsed.project, parsed.parser);
    std::string found;
    for (std::string_view rest = values; !rest.empty();) {
      const std::string property(rest.substr(0, rest.find('=')));
      found += (found.empty() ? "" : "|") + property + "=" + parsed.value(property);
      rest = rest.find('|') == rest.npos ? std::string_view() : rest.substr(rest.find('|') + 1);
    }
    EXPECT_EQ(found, values);
    EXPECT_EQ(parsed.errors.str(), errors) << values;
  }
}

TEST(KilnmarkArgParseTest, EveryGnuSpellingHintNamesAnOptionThisDriverHas) {
  // The options a hint recommends must stay in the option table, and what they do must match.
  const std::pair<const char*, const char*> cases[] = {
      {"-mcpu=Cortex-M7", "-cpu=Cortex-M7"}, {"-march=armv6-m", "-arch=v6M"}, {"-mfpu=fpv5-d16", "-fpu=fpv5-d16"},
      {"-mfloat-abi=softfp", "-fpabi=softfp"}, {"-mthumb", "-thumb"}, {"-mbig-endian", "-be"},
      {"-mlong-calls", "-longcalls"}, {"-Wall", "-Wc,-Wall"}, {"-Wextra", "-Wc,-Wextra"}, {"-Werror", "-we"},
      {"-MMD", "-depend"}, {"-MD", "-depend"}, {"-MF", "-depend"}, {"-fexceptions", "-exceptions"},
      {"-frtti", "-rtti"}, {"-fcommon", "-common"}, {"-fno-omit-frame-pointer", "-framepointer"}, {"-S", "-kasm"},
      {"-save-temps", "-kasm"}, {"-nostdlib", "-l-"}, {"--version", "-help"}, {"--help", "-help"},
  };
  for (const auto& [gnu, ours] : cases) {
    Parsed parsed;
    parsed.run({gnu});
    const std::string note = "cc: note: for " + std::string(gnu) + " use " + ours;
    EXPECT_NE(parsed.errors.str().find(note), std::string::npos) << parsed.errors.str();
    EXPECT_EQ(parsed.reporter.errorCount(), 1) << gnu;
    EXPECT_TRUE(parsed.parser.matchOption(ours).has_value()) << ours;
  }
  // The options whose work the driver does by default say so.
  for (const char* gnu : {"-ffunction-sections", "-fdata-sections", "-lm", "-lc"}) {
    Parsed parsed;
    parsed.run({gnu});
    EXPECT_NE(parsed.errors.str().find("use nothing: "), std::string::npos) << parsed.errors.str();
  }
}

TEST(KilnmarkArgParseTest, AStackSizeWritesBothDefinitionsMainStackFirst) {
  Parsed parsed;
  parsed.run({"-d__STACKSIZE__=2048"});
  std::string written;
  for (const auto& record : parsed.system.changeLog().records()) {
    written += record.property->displayName();
    written += "; ";
  }
  EXPECT_EQ(written, "Main Stack Size; Stack Size (User/System Mode); ");
}

TEST(KilnmarkArgParseTest, InputFilesBecomeFileNodesTypedByTheLatestFileTypeOption) {
  Parsed parsed;
  const auto list = parsed.dir.write("files", "x.c\nsub dir/y.s\n");
  parsed.run({"first.s", "-xc", "a.s", "-Tfile.ld", "-xasm", "b.c", "-xz", "c.c", "-inputfiles", list.c_str(),
              "-inputfiles", "/no/such/list"});
  std::string found;
  for (XMLElement* child = parsed.project->firstChildElement(); child != nullptr; child = child->nextSiblingElement()) {
    auto* file = static_cast<ProjectElement*>(child);
    if (file->isFile()) found += *file->nodeAttribute("file_name") + ":" + parsed.value("file_type", file) + " ";
  }
  EXPECT_EQ(found, "first.s:<unset> a.s:C file.ld:Linker Script b.c:Assembly c.c:Assembly x.c:<unset> "
                   "sub dir/y.s:<unset> ");
  EXPECT_EQ(*parsed.parser.currentFile()->nodeAttribute("file_name"), "sub dir/y.s");
  EXPECT_EQ(parsed.value("arm_linker_indirect_file"), "Yes");
  EXPECT_EQ(parsed.errors.str(), "cc: error: z unsupported file type\ncc: error: cannot open file: /no/such/list\n");
}

TEST(KilnmarkArgParseTest, TemplatesAndPropertyGroupsAreFoundByName) {
  Parsed parsed;
  parsed.dir.write("templates/boards.xml", R"(<!DOCTYPE Project_Templates_File><projects>
    <project name="m4" type="Library"><property name="arm_core_type" value="Cortex-M4"/>
      <solutionproperty name="inherited_configurations" value="Common"/></project></projects>)");
  parsed.dir.write("groups.xml", R"(<propertyGroups><group name="Board">
    <groupEntry name="Alpha"/><groupEntry name="Beta"/></group></propertyGroups>)");
  // A group can be set once the file that defines it is named.
  parsed.run({"-cpu=Cortex-M0", "-ym4", "-ynone", "-zBoard=Alpha", "-zproperty_groups_file_path=groups.xml",
              "-zBoard=Beta", "-zBoard=Nope"});
  EXPECT_EQ(parsed.value("project_type") + " " + parsed.value("arm_core_type") + " " + parsed.value("Board"),
            "Library Cortex-M4 Beta");
  EXPECT_EQ(parsed.value("inherited_configurations", parsed.solution), "Common");
  EXPECT_EQ(parsed.errors.str(), "cc: error: none can't find template\n"
                                 "cc: error: Board=Alpha unable to find property\n"
                                 "cc: error: Nope unsupported - choose from:\nAlpha\nBeta\n");

  parsed.dir.write("templates/broken.xml", "<projects><project></projets>");
  try {
    parsed.run({"-ym4"});
    FAIL() << "a malformed template file was accepted";
  } catch (const SolutionLoadError& error) {
    EXPECT_TRUE(error.isXmlError());
    EXPECT_NE(error.message().find("broken.xml:1: tagName mismatch"), std::string::npos) << error.message();
  }
}

}  // namespace
}  // namespace tidewater
