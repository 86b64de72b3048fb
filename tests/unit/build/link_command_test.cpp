#include "build/link_command.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "build/link_libraries.h"
#include "support/environment.h"
#include "walk_fixture.h"

namespace tidewater {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using test::FakeToolCall;

class LinkCommandTest : public WalkFixture {
 protected:
  LinkCommandTest() {
    for (const char* tool : {"ld", "ar", "strip"}) test::installFakeTool(tools(), tool);
    test::installFakeTool(studio() + "/bin", "sectwright");
    set("project_type", "Executable");
    set("build_output_directory", "bin");
    set("linker_section_placements_segments", "FLASH 0x0 0x1000;RAM 0x20000000 0x1000");
    dir.write("studio/targets/section_placement.xml", "<!DOCTYPE Linker_Placement_File>\n<Root/>\n");
    addFile("a.c");
  }

  std::string studio() const { return dir.path() + "/studio"; }
  std::string lib(const std::string& name) const { return studio() + "/lib/" + name; }
  bool printed(const std::string& text) const { return output.str().find(text) != std::string::npos; }
  const FakeToolCall* call(const std::string& tool) const {
    static std::vector<FakeToolCall> all;
    all = calls();
    for (const FakeToolCall& entry : all) {
      if (entry.tool == tool) return &entry;
    }
    return nullptr;
  }
  CompileContext context() { return makeCompileContext(system, *project, "Common", BuildKind::Link); }
};

TEST_F(LinkCommandTest, DefaultLinkGeneratesTheScriptLinksWithTheRuntimeAndRemovesTheScript) {
  set("keep_linker_script_file", "No");
  set("linker_section_placement_file", "");
  dir.write("p/obj/app.ld", "/* what the generator would write */\n");
  ASSERT_TRUE(build()) << output.str() << errors.str();
  EXPECT_EQ(toolNames(), (Strings{"cc1", "as", "sectwright", "ld"}));
  EXPECT_EQ(call("sectwright")->arguments,
            (Strings{"-memory-map-segments", "FLASH 0x0 0x1000;RAM 0x20000000 0x1000", "-check-segment-overflow",
                     "-symbols",
                     "__STACKSIZE__=1024;__STACKSIZE_IRQ__=256;__STACKSIZE_FIQ__=256;__STACKSIZE_SVC__=0;"
                     "__STACKSIZE_ABT__=0;__STACKSIZE_UND__=0;__HEAPSIZE__=1024",
                     "obj/app.ld"}))
      << showArguments(call("sectwright")->arguments);
  const std::string ext = "_v4t_a_le_eabi";
  EXPECT_EQ(call("ld")->arguments,
            (Strings{"-X", "-ereset_handler", "--omagic", "-defsym=__vfprintf=__vfprintf_float_long_long",
                     "-defsym=__vfscanf=__vfscanf_float_long_long_cc", "--fatal-warnings", "-EL", "--gc-sections",
                     "-Tobj/app.ld", "-Map", "bin/app.map", "-u_vectors", "-o", "bin/app.elf", "--emit-relocs",
                     "--start-group",
                     "obj/a.o", lib("libarm" + ext + ".a"), lib("libdebugio_dcc" + ext + ".a"),
                     lib("libm" + ext + ".a"), lib("libc" + ext + ".a"), lib("libcpp" + ext + ".a"),
                     lib("libdebugio" + ext + ".a"), lib("libvfprintf" + ext + ".o"),
                     lib("libvfscanf" + ext + ".o"), "--end-group"}))
      << showArguments(call("ld")->arguments);
  EXPECT_FALSE(fs::exists(inProject("obj/app.ld")));
  EXPECT_TRUE(printed("Generating linker script 'app.ld'")) << output.str();
  EXPECT_TRUE(printed("Linking app.elf")) << output.str();
}

TEST_F(LinkCommandTest, CortexMOptionsAndPropertiesReachTheirPlacesInTheList) {
  set("arm_core_type", "Cortex-M33");
  set("arm_linker_variant", "lld");
  set("arm_linker_emit_relocations", "No");
  set("arm_linker_treat_warnings_as_errors", "No");
  set("build_quietly", "Yes");
  set("arm_endian", "BE-8");
  set("arm_linker_cmse_import_library_file_name", "veneers.o");
  set("build_remove_unused_symbols", "Yes");
  set("linker_map_file", "Yes");
  set("link_symbol_definitions", "A=1;B=2");
  set("linker_keep_symbols", "_vectors;keep_me");
  set("arm_linker_allow_multiple_definition", "Yes");
  set("linker_additional_options", "--print-memory-usage");
  set("cpp_enable_exceptions", "Yes");
  set("linker_printf_fp_enabled", "No");
  set("linker_printf_width_precision_supported", "No");
  set("linker_printf_fmt_level", "int");
  set("linker_scanf_fp_enabled", "No");
  set("linker_scanf_character_group_matching_enabled", "No");
  macros.setGlobalMacro("LLD", tools() + "/ld");
  ASSERT_TRUE(build()) << output.str() << errors.str();
  const std::string ext = "_v7em_t_be_eabi";
  EXPECT_EQ(call("ld")->arguments,
            (Strings{"-X", "-ereset_handler", "--omagic", "-defsym=__vfprintf=__vfprintf_int_nwp",
                     "-defsym=__vfscanf=__vfscanf_long_long", "--print-memory-usage", "-EB", "--be8",
                     "--out-implib=veneers.o", "--cmse-implib", "--gc-sections", "-Tobj/app.ld", "-Map", "bin/app.map",
                     "--defsym", "A=1", "--defsym", "B=2", "-u_vectors", "-ukeep_me", "-o", "bin/app.elf",
                     "--allow-multiple-definition", "--start-group", "obj/a.o", lib("libcm" + ext + ".a"),
                     lib("libdebugio_mempoll" + ext + ".a"), lib("libm" + ext + ".a"), lib("libc" + ext + ".a"),
                     lib("libcpp_throws" + ext + ".a"), lib("libdebugio" + ext + ".a"),
                     lib("libgccxceptrtti" + ext + ".a"), lib("libvfprintf" + ext + ".o"),
                     lib("libvfscanf" + ext + ".o"), "--end-group"}))
      << showArguments(call("ld")->arguments);
  // Cortex-M: main and process stacks, the mode stacks are zero.
  const Strings& script = call("sectwright")->arguments;
  ASSERT_GE(script.size(), 6u);
  EXPECT_EQ(script[script.size() - 2],
            "__STACKSIZE__=1024;__STACKSIZE_PROCESS__=0;__STACKSIZE_IRQ__=0;__STACKSIZE_FIQ__=0;"
            "__STACKSIZE_SVC__=0;__STACKSIZE_ABT__=0;__STACKSIZE_UND__=0;__HEAPSIZE__=1024");
}

TEST_F(LinkCommandTest, FormattedIOVariantsFollowTheirProperties) {
  struct Case {
    std::vector<std::pair<std::string, std::string>> settings;
    std::string printf;
    std::string scanf;
  };
  const Case cases[] = {
      {{}, "float_long_long", "float_long_long_cc"},
      {{{"linker_printf_fmt_level", "long"}, {"linker_scanf_fmt_level", "long"}}, "float_long", "float_long_cc"},
      {{{"linker_printf_fp_enabled", "Float"}}, "short_float_long_long", "float_long_long_cc"},
      {{{"linker_printf_fp_enabled", "No"}, {"linker_printf_fmt_level", "long long"},
        {"linker_printf_wchar_enabled", "Yes"}, {"linker_scanf_fp_enabled", "No"}},
       "long_long_wchar", "long_long_cc"},
      {{{"linker_printf_fp_enabled", "No"}, {"linker_printf_fmt_level", "long"},
        {"linker_scanf_character_group_matching_enabled", "No"}, {"linker_scanf_fp_enabled", "No"},
        {"linker_scanf_fmt_level", "int"}},
       "long", "int"},
  };
  for (const Case& entry : cases) {
    for (const char* name : {"linker_printf_fmt_level", "linker_printf_fp_enabled", "linker_printf_wchar_enabled",
                             "linker_scanf_fmt_level", "linker_scanf_fp_enabled",
                             "linker_scanf_character_group_matching_enabled"}) {
      set(name, system.catalogue().find(name)->defaultValue());
    }
    std::string shown;
    for (const auto& setting : entry.settings) {
      set(setting.first, setting.second);
      shown += setting.first + "=" + setting.second + " ";
    }
    EXPECT_EQ(printfVariant(context()), entry.printf) << shown;
    EXPECT_EQ(scanfVariant(context()), entry.scanf) << shown;
  }
}

TEST_F(LinkCommandTest, PostLinkToolsRunInOrderWithGapFillsAndTheAdditionalOutput) {
  test::installFakeTool(tools(), "patch");
  set("arm_linker_gap_fill", "0x1FF");
  set("linker_patch_build_command", tools() + "/patch \"$(TargetPath)\"");
  set("gcc_strip_symbols", "Yes");
  set("linker_strip_debug_information", "Yes");
  set("linker_output_format", "srec");
  set("arm_linker_additional_output_file_gap_fill", "255");
  ASSERT_TRUE(build()) << output.str() << errors.str();
  EXPECT_EQ(toolNames(), (Strings{"cc1", "as", "sectwright", "ld", "objcopy", "patch", "strip", "strip", "objcopy"}));
  const std::vector<FakeToolCall> all = calls();
  EXPECT_EQ(all[4].arguments, (Strings{"bin/app.elf", "bin/app.elf", "--gap-fill", "0xff"}));
  EXPECT_EQ(all[5].arguments, (Strings{inProject("bin/app.elf")}));
  EXPECT_EQ(all[6].arguments, (Strings{"bin/app.elf"}));
  EXPECT_EQ(all[7].arguments, (Strings{"-S", "bin/app.elf", "-o", "bin/app.elf"}));
  EXPECT_EQ(all[8].arguments, (Strings{"bin/app.elf", "bin/app.srec", "-Osrec", "--gap-fill", "0xff"}));

  EXPECT_EQ(gapFillArgument("0"), "");
  EXPECT_EQ(gapFillArgument("0x100"), "");
  EXPECT_EQ(gapFillArgument("10"), "0x0a");
  EXPECT_EQ(gapFillArgument("junk"), "");
}

TEST_F(LinkCommandTest, AFailingLinkRunsNoPostLinkTool) {
  set("linker_output_format", "bin");
  ScopedVariable failing(test::kFakeToolFailVariable, "ld");
  EXPECT_FALSE(build());
  EXPECT_TRUE(status.failed);
  EXPECT_EQ(toolNames(), (Strings{"cc1", "as", "sectwright", "ld"}));
  EXPECT_FALSE(fs::exists(inProject("bin/app.elf")));
}

TEST_F(LinkCommandTest, AProjectLinkerScriptIsUsedAsItIsAndNeverRemoved) {
  addFile("board.ld", "/* script */\n");
  set("keep_linker_script_file", "No");
  ASSERT_TRUE(build()) << output.str() << errors.str();
  EXPECT_EQ(toolNames(), (Strings{"cc1", "as", "ld"}));
  const Strings& arguments = call("ld")->arguments;
  EXPECT_NE(std::find(arguments.begin(), arguments.end(), "-Tboard.ld"), arguments.end()) << showArguments(arguments);
  EXPECT_TRUE(fs::exists(inProject("board.ld")));
}

TEST_F(LinkCommandTest, MissingDescriptionsStopTheLinkWithTheirMessages) {
  struct Case {
    std::string segments;
    std::string memoryMap;
    std::string placement;
    std::string message;
  };
  const Case cases[] = {
      {"", "", "", "no linker script, memory map file or section placement segments specified"},
      {"", "missing.xml", "", "memory map file does not exist: " + inProject("missing.xml")},
      {"FLASH 0 1", "", "gone.xml", "section placement file does not exist: " + inProject("gone.xml")},
  };
  for (const Case& entry : cases) {
    set("linker_section_placements_segments", entry.segments);
    set("linker_memory_map_file", entry.memoryMap);
    set("linker_section_placement_file", entry.placement);
    fs::remove(log());
    output.str("");
    status = {};
    EXPECT_FALSE(build());
    EXPECT_TRUE(printed(entry.message)) << output.str();
    EXPECT_EQ(toolNames(), (Strings{"cc1", "as"})) << entry.message;
  }
}

TEST_F(LinkCommandTest, DccOnACortexMCoreIsReportedAndItsLibraryLeftOut) {
  set("arm_core_type", "Cortex-M3");
  set("arm_link_debugio_type", "DCC");
  ASSERT_TRUE(build()) << output.str();
  EXPECT_TRUE(printed("DebugIO error, core doesn't have a DCC")) << output.str();
  int debugIOLibraries = 0;
  for (const std::string& argument : call("ld")->arguments) {
    debugIOLibraries += argument.find("/libdebugio") != std::string::npos;
  }
  EXPECT_EQ(debugIOLibraries, 1) << showArguments(call("ld")->arguments);
  EXPECT_EQ(builder.errorCount(), 0);
}

TEST_F(LinkCommandTest, IndirectFilesHoldTheQuotedInputsWithBackslashesDoubled) {
  set("arm_linker_indirect_file", "Yes");
  set("link_include_standard_libraries", "No");
  set("linker_additional_files", "lib\\\\x.a");
  dir.write("p/lib\\x.a", "");
  ASSERT_TRUE(build()) << output.str();
  const Strings& arguments = call("ld")->arguments;
  EXPECT_EQ(arguments.back(), "@obj/app.ind");
  for (const std::string& argument : arguments) EXPECT_EQ(argument.find("-defsym="), std::string::npos) << argument;
  EXPECT_EQ(test::readFile(inProject("obj/app.ind")),
            "--start-group\n\"obj/a.o\"\n\"" + inProject("lib\\\\x.a") + "\"\n--end-group\n");
}

TEST_F(LinkCommandTest, ACurrentScriptIsNotRegeneratedUntilAPropertyItDependsOnChanges) {
  ASSERT_TRUE(build(0x30A)) << output.str();
  fs::remove(log());
  dir.write("p/obj/app.ld", "/* generated */\n");  // the fake generator writes nothing
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  set("gcc_entry_point", "start");  // a link property, not one the script depends on
  ASSERT_TRUE(build(0x308));
  EXPECT_EQ(toolNames(), (Strings{"ld"})) << output.str();
  fs::remove(log());
  set("arm_linker_heap_size", "2048");
  ASSERT_TRUE(build(0x308));
  EXPECT_EQ(toolNames(), (Strings{"sectwright", "ld"})) << output.str();
}

TEST_F(LinkCommandTest, ArchiveReplacesTheOldArchiveWithTheObjects) {
  set("project_type", "Library");
  addFile("b.c");
  dir.write("p/bin/app.a", "stale");
  ASSERT_TRUE(build()) << output.str();
  EXPECT_EQ(call("ar")->arguments, (Strings{"-rcs", "bin/app.a", "obj/a.o", "obj/b.o"}));
  EXPECT_TRUE(printed("Archiving 'app.a'")) << output.str();
  EXPECT_FALSE(fs::exists(inProject("bin/app.a")));  // the fake archiver writes nothing

  fs::remove(log());
  set("arm_archiver_indirect_file", "Yes");
  ASSERT_TRUE(build()) << output.str();
  EXPECT_EQ(call("ar")->arguments, (Strings{"-rcs", "bin/app.a", "@obj/app.ind"}));
  EXPECT_EQ(test::readFile(inProject("obj/app.ind")), "\"obj/a.o\"\n\"obj/b.o\"\n");
}

}  // namespace
}  // namespace tidewater
