#include "build/link_command.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "build/link_libraries.h"
#include "walk_fixture.h"

namespace tidewater {
namespace {

namespace fs = std::filesystem;

class LinkCommandTest : public WalkFixture {
 protected:
  LinkCommandTest() {
    for (const char* name : {"ld", "ar", "strip"}) test::installFakeTool(tools(), name);
    test::installFakeTool(dir.path() + "/studio/bin", "sectwright");
    setAll({{"project_type", "Executable"}, {"build_output_directory", "bin"},
            {"linker_section_placements_segments", "FLASH 0x0 0x1000;RAM 0x20000000 0x1000"}});
    dir.write("studio/targets/section_placement.xml", "<!DOCTYPE Linker_Placement_File>\n<Root/>\n");
    addFile("a.c");
  }

  // The runtime libraries named in "names", with the library extension.
  static std::string libraries(const std::string& names, const std::string& extension) {
    std::string list;
    std::istringstream stream(names);
    for (std::string name; stream >> name;) {
      list += "DIR/studio/lib/" + name.substr(0, name.size() - 2) + extension + name.substr(name.size() - 2) + " ";
    }
    return list;
  }
};

TEST_F(LinkCommandTest, DefaultLinkGeneratesTheScriptLinksWithTheRuntimeAndRemovesTheScript) {
  setAll({{"keep_linker_script_file", "No"}, {"linker_section_placement_file", ""}});
  dir.write("p/obj/app.ld", "/* what the generator would write */\n");
  ASSERT_TRUE(build()) << output.str() << errors.str();
  EXPECT_TRUE(ran("cc1 as sectwright ld"));
  EXPECT_EQ(argumentsOf("sectwright"),
            (Strings{"-memory-map-segments", "FLASH 0x0 0x1000;RAM 0x20000000 0x1000", "-check-segment-overflow",
                     "-symbols",
                     "__STACKSIZE__=1024;__STACKSIZE_IRQ__=256;__STACKSIZE_FIQ__=256;__STACKSIZE_SVC__=0;"
                     "__STACKSIZE_ABT__=0;__STACKSIZE_UND__=0;__HEAPSIZE__=1024",
                     "obj/app.ld"}));
  EXPECT_EQ(argumentsOf("ld"),
            words("-X -ereset_handler --omagic -defsym=__vfprintf=__vfprintf_float_long_long "
                  "-defsym=__vfscanf=__vfscanf_float_long_long_cc --fatal-warnings -EL --gc-sections -Tobj/app.ld "
                  "-Map bin/app.map -u_vectors -o bin/app.elf --emit-relocs --start-group obj/a.o " +
                  libraries("libarm.a libdebugio_dcc.a libm.a libc.a libcpp.a libdebugio.a libvfprintf.o libvfscanf.o",
                            "_v4t_a_le_eabi") +
                  "--end-group"));
  EXPECT_FALSE(fs::exists(inProject("obj/app.ld")));
  EXPECT_TRUE(printed("Generating linker script 'app.ld'") && printed("Linking app.elf"));
}

TEST_F(LinkCommandTest, CortexMOptionsAndPropertiesReachTheirPlacesInTheList) {
  setAll({{"arm_core_type", "Cortex-M33"}, {"arm_linker_variant", "lld"}, {"arm_linker_emit_relocations", "No"},
          {"arm_linker_treat_warnings_as_errors", "No"}, {"build_quietly", "Yes"}, {"arm_endian", "BE-8"},
          {"arm_linker_cmse_import_library_file_name", "veneers.o"}, {"build_remove_unused_symbols", "Yes"},
          {"linker_map_file", "Yes"}, {"link_symbol_definitions", "A=1;B=2"},
          {"linker_keep_symbols", "_vectors;keep_me"}, {"arm_linker_allow_multiple_definition", "Yes"},
          {"linker_additional_options", "--print-memory-usage"}, {"cpp_enable_exceptions", "Yes"}});
  macros.setGlobalMacro("LLD", tools() + "/ld");
  ASSERT_TRUE(build()) << output.str() << errors.str();
  EXPECT_EQ(argumentsOf("ld"),
            words("-X -ereset_handler --omagic -defsym=__vfprintf=__vfprintf_float_long_long "
                  "-defsym=__vfscanf=__vfscanf_float_long_long_cc --print-memory-usage -EB --be8 "
                  "--out-implib=veneers.o --cmse-implib --gc-sections -Tobj/app.ld -Map bin/app.map "
                  "--defsym A=1 --defsym B=2 -u_vectors -ukeep_me -o bin/app.elf --allow-multiple-definition "
                  "--start-group obj/a.o " +
                  libraries("libcm.a libdebugio_mempoll.a libm.a libc.a libcpp_throws.a libdebugio.a "
                            "libgccxceptrtti.a libvfprintf.o libvfscanf.o",
                            "_v7em_t_be_eabi") +
                  "--end-group"));
  // Cortex-M: main and process stacks, the mode stacks are zero.
  const Strings script = argumentsOf("sectwright");
  ASSERT_GE(script.size(), 2u);
  EXPECT_EQ(script[script.size() - 2],
            "__STACKSIZE__=1024;__STACKSIZE_PROCESS__=0;__STACKSIZE_IRQ__=0;__STACKSIZE_FIQ__=0;"
            "__STACKSIZE_SVC__=0;__STACKSIZE_ABT__=0;__STACKSIZE_UND__=0;__HEAPSIZE__=1024");
}

TEST_F(LinkCommandTest, FormattedIOVariantsFollowTheirProperties) {
  const char* names[] = {"linker_printf_fp_enabled", "linker_printf_fmt_level",
      "linker_printf_width_precision_supported", "linker_printf_wchar_enabled", "linker_scanf_fp_enabled",
      "linker_scanf_fmt_level", "linker_scanf_character_group_matching_enabled"};
  const struct { const char* values[7]; std::string printf, scanf; } cases[] = {
      {{"Double", "long", "Yes", "No", "Yes", "long", "Yes"}, "float_long", "float_long_cc"},
      {{"Float", "long long", "Yes", "Yes", "Yes", "long long", "No"}, "short_float_long_long_wchar",
       "float_long_long"},
      {{"Float", "long", "Yes", "No", "No", "long long", "Yes"}, "short_float_long", "long_long_cc"},
      {{"No", "long long", "Yes", "Yes", "No", "long", "Yes"}, "long_long_wchar", "long_cc"},
      {{"No", "int", "No", "No", "No", "int", "No"}, "int_nwp", "int"},
  };
  for (const auto& c : cases) {
    std::string settings;
    for (size_t i = 0; i < std::size(names); ++i) {
      set(names[i], c.values[i]);
      settings += std::string(names[i]) + "=" + c.values[i] + " ";
    }
    const CompileContext context = makeCompileContext(system, *project, "Common", BuildKind::Link);
    EXPECT_EQ(printfVariant(context), c.printf) << settings;
    EXPECT_EQ(scanfVariant(context), c.scanf) << settings;
  }
}

TEST_F(LinkCommandTest, PostLinkToolsRunInOrderOnlyAfterASuccessfulLink) {
  setAll({{"arm_linker_gap_fill", "0x1FF"}, {"linker_patch_build_command", tool("patch") + "\"$(TargetPath)\""},
          {"gcc_strip_symbols", "Yes"}, {"linker_strip_debug_information", "Yes"}, {"linker_output_format", "srec"},
          {"arm_linker_additional_output_file_gap_fill", "255"}});
  ASSERT_TRUE(build()) << output.str() << errors.str();
  EXPECT_TRUE(ran("cc1 as sectwright ld objcopy patch strip strip objcopy"));
  EXPECT_EQ(argumentsOf("objcopy"), words("bin/app.elf bin/app.elf --gap-fill 0xff"));
  EXPECT_EQ(argumentsOf("patch"), words("DIR/p/bin/app.elf"));
  EXPECT_EQ(argumentsOf("strip"), words("bin/app.elf"));
  EXPECT_EQ(argumentsOf("strip", 1), words("-S bin/app.elf -o bin/app.elf"));
  EXPECT_EQ(argumentsOf("objcopy", 1), words("bin/app.elf bin/app.srec -Osrec --gap-fill 0xff"));
  EXPECT_EQ(gapFillArgument("10"), "0x0a");
  for (const char* value : {"0", "0x100", "junk"}) EXPECT_EQ(gapFillArgument(value), "") << value;

  ScopedVariable failing(test::kFakeToolFailVariable, "ld");
  reset();
  EXPECT_FALSE(build());
  EXPECT_TRUE(status().failed);
  EXPECT_TRUE(ran("cc1 as sectwright ld"));
  EXPECT_FALSE(fs::exists(inProject("bin/app.elf")));
}

TEST_F(LinkCommandTest, ObjectAndLibraryFilesJoinLinksAndArchivesWhereTheyWereNamed) {
  addFile("ready.o", "");
  ProjectElement& library = addFile("-lib.a", "");  // a name a tool would take for an option
  addFile("b.c");
  set("link_include_standard_libraries", "No");
  ASSERT_TRUE(build()) << output.str() << errors.str();
  EXPECT_TRUE(ran("cc1 as cc1 as sectwright ld"));
  const Strings link = argumentsOf("ld");
  EXPECT_EQ(Strings(link.end() - 6, link.end()), words("--start-group obj/a.o ready.o ./-lib.a obj/b.o --end-group"));

  set(library, "build_exclude_from_build", "Yes");
  set("project_type", "Library");
  reset();
  ASSERT_TRUE(build()) << output.str();
  EXPECT_EQ(argumentsOf("ar"), words("-rcs bin/app.a obj/a.o ready.o obj/b.o"));

  set("project_type", "Object file");  // a compile passes them by
  reset();
  build();
  EXPECT_TRUE(ran("cc1 as cc1 as"));

  set("project_type", "Executable");
  addFile("./ready.o", "");
  reset();
  EXPECT_FALSE(build());
  EXPECT_TRUE(printed("The object file ./ready.o has been supplied more than once"));
  EXPECT_TRUE(ran("cc1 as cc1 as"));
}

TEST_F(LinkCommandTest, AProjectLinkerScriptIsUsedAsItIsAndNeverRemoved) {
  addFile("board.ld", "/* script */\n");
  set("keep_linker_script_file", "No");
  ASSERT_TRUE(build()) << output.str() << errors.str();
  EXPECT_TRUE(ran("cc1 as ld"));
  EXPECT_TRUE(has(argumentsOf("ld"), "-Tboard.ld"));
  EXPECT_TRUE(fs::exists(inProject("board.ld")));
}

TEST_F(LinkCommandTest, MissingDescriptionsStopTheLinkWithTheirMessages) {
  const struct { std::string segments, memoryMap, placement, message; } cases[] = {
      {"", "", "", "no linker script, memory map file or section placement segments specified"},
      {"", "missing.xml", "", "memory map file does not exist: " + inProject("missing.xml")},
      {"FLASH 0 1", "", "gone.xml", "section placement file does not exist: " + inProject("gone.xml")},
  };
  for (const auto& entry : cases) {
    setAll({{"linker_section_placements_segments", entry.segments}, {"linker_memory_map_file", entry.memoryMap},
            {"linker_section_placement_file", entry.placement}});
    reset();
    builder = newBuilder();
    EXPECT_FALSE(build());
    EXPECT_TRUE(printed(entry.message));
    EXPECT_TRUE(ran("cc1 as")) << entry.message;
  }
}

TEST_F(LinkCommandTest, DccOnACortexMCoreIsReportedAndItsLibraryLeftOut) {
  setAll({{"arm_core_type", "Cortex-M3"}, {"arm_link_debugio_type", "DCC"}});
  ASSERT_TRUE(build()) << output.str();
  EXPECT_TRUE(printed("DebugIO error, core doesn't have a DCC"));
  const std::string arguments = shown(argumentsOf("ld"));
  EXPECT_NE(arguments.find("/libdebugio_v7m_t_le_eabi.a]"), std::string::npos) << arguments;
  EXPECT_EQ(arguments.find("/libdebugio"), arguments.rfind("/libdebugio")) << arguments;  // no transport library
  EXPECT_EQ(builder->errorCount(), 0);
}

TEST_F(LinkCommandTest, IndirectFilesHoldTheQuotedInputsGroupLibrariesFirstWithBackslashesDoubled) {
  dir.write("p/groups.xml", R"(<propertyGroups><group name="Board" default="Blue"><groupEntry name="Blue">
    <library name="libg.a"/><library name="libdebug.a" configuration="Debug"/></groupEntry></group></propertyGroups>)");
  setAll({{"property_groups_file_path", "groups.xml"}, {"arm_linker_indirect_file", "Yes"},
          {"link_include_standard_libraries", "No"}, {"linker_additional_files", "lib\\\\x.a;absent.a"}});
  for (const char* name : {"p/lib\\x.a", "p/libg.a", "p/libdebug.a"}) dir.write(name, "");
  ASSERT_TRUE(build(0x302)) << output.str();
  const Strings arguments = argumentsOf("ld");
  EXPECT_EQ(arguments.back(), "@obj/app.ind");
  for (const std::string& argument : arguments) EXPECT_EQ(argument.find("-defsym="), std::string::npos) << argument;
  EXPECT_EQ(test::readFile(inProject("obj/app.ind")), "--start-group\n\"obj/a.o\"\n\"" + inProject("libg.a") +
                                                          "\"\n\"" + inProject("lib\\\\x.a") + "\"\n--end-group\n");
  EXPECT_TRUE(printed(inProject("absent.a") + " does not exist."));
}

TEST_F(LinkCommandTest, ALinkNeedsItsMapFileAndItsScriptIsRegeneratedOnlyWhenAPropertyItDependsOnChanges) {
  ASSERT_TRUE(build(0x30A)) << output.str();
  dir.write("p/obj/app.ld", "/* generated */\n");  // the fake generator writes nothing, nor does ld the map
  dir.write("p/bin/app.map", "");
  reset();
  EXPECT_FALSE(build(0x300));
  EXPECT_TRUE(ran(""));
  fs::remove(inProject("bin/app.map"));
  ASSERT_TRUE(build(0x300));
  EXPECT_TRUE(ran("ld"));
  EXPECT_TRUE(printed(inProject("bin/app.map") + " does not exist."));

  reset();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  set("gcc_entry_point", "start");  // a link property, not one the script depends on
  ASSERT_TRUE(build(0x308));
  EXPECT_TRUE(ran("ld"));
  reset();
  set("arm_linker_heap_size", "2048");
  ASSERT_TRUE(build(0x308));
  EXPECT_TRUE(ran("sectwright ld"));
}

TEST_F(LinkCommandTest, ArchiveReplacesTheOldArchiveWithTheObjects) {
  set("project_type", "Library");
  addFile("b.c");
  dir.write("p/bin/app.a", "stale");
  ASSERT_TRUE(build()) << output.str();
  EXPECT_EQ(argumentsOf("ar"), (Strings{"-rcs", "bin/app.a", "obj/a.o", "obj/b.o"}));
  EXPECT_TRUE(printed("Archiving 'app.a'"));
  EXPECT_FALSE(fs::exists(inProject("bin/app.a")));  // the fake archiver writes nothing
  reset();
  set("arm_archiver_indirect_file", "Yes");
  ASSERT_TRUE(build()) << output.str();
  EXPECT_EQ(argumentsOf("ar"), (Strings{"-rcs", "bin/app.a", "@obj/app.ind"}));
  EXPECT_EQ(test::readFile(inProject("obj/app.ind")), "\"obj/a.o\"\n\"obj/b.o\"\n");
}

}  // namespace
}  // namespace tidewater
