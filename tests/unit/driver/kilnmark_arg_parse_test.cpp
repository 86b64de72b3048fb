#include "driver/kilnmark_arg_parse.h"

#include <gtest/gtest.h>

#include <sstream>

#include "driver/exit_request.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

class KilnmarkArgParseTest : public ::testing::Test {
 protected:
  void run(std::vector<const char*> arguments) {
    parser.parse(static_cast<int>(arguments.size()), arguments.data(), 1);
  }

  std::ostringstream errors;
  ErrorReporter reporter{"cc", errors};
  KilnmarkArgParse parser{reporter};
  test::TempDir dir;
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
      {"-we", "-we", ""},
      {"-wall", "-w", "all"},
      {"-wextra", "-we", "xtra"},
      {"-I-", "-I-", ""},
      {"-I-x", "-I", "-x"},
      {"-Iinclude", "-I", "include"},
      {"-e", "-e", ""},
      {"-exceptions", "-exceptions", ""},
      {"-exceptionsx", "-e", "xceptionsx"},
      {"-emit-relocs", "-emit-relocs", ""},
      {"-Ereally", nullptr, nullptr},
      {"-debugio=dcc", "-debugio=", "dcc"},
      {"-depend", "-depend", ""},
      {"-dependfoo", "-d", "ependfoo"},
      {"-d__STACKSIZE__=2048", "-d", "__STACKSIZE__=2048"},
      {"-Dname=val", "-D", "name=val"},
      {"-hascmse", "-has", "cmse"},
      {"-nowarn-enumsize", "-nowarn-", "enumsize"},
      {"-nostderr", "-nostderr", ""},
      {"-nostderrs", nullptr, nullptr},
      {"-stripdebug", "-strip", "debug"},
      {"-symbols=s.txt", "-symbols=", "s.txt"},
      {"-shortenums", "-shortenums", ""},
      {"-fill=0xff", "-fill=", "0xff"},
      {"-fpabi=hard", "-fpabi=", "hard"},
      {"-fpu=list", "-fpu=", "list"},
      {"-Fbin", "-F", "bin"},
      {"-Wl,--gc-sections", "-Wl,", "--gc-sections"},
      {"-Wc,-x,y", "-Wc,", "-x,y"},
      {"-Rc,.text2", "-Rc,", ".text2"},
      {"-Ri,text", nullptr, nullptr},
      {"-Rv,vectors", nullptr, nullptr},
      {"-xc++", "-x", "c++"},
      {"-O2x", "-O", "2x"},
      {"-ofile", nullptr, nullptr},
      {"-g3", "-g", "3"},
      {"-Tlink.ld", "-T", "link.ld"},
      {"-thumb", "-thumb", ""},
      {"-helpme", nullptr, nullptr},
      {"-zlinker_map_file=No", "-z", "linker_map_file=No"},
      {"-printf=dllw", "-printf=", "dllw"},
      {"-placementsegments", "-placementsegments", ""},
      {"-l-", "-l-", ""},
      {"-lm", nullptr, nullptr},
      {"-Llib", "-L", "lib"},
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
       "-depend", "deps.d", "-o", "out/app.elf"});
  EXPECT_EQ(reporter.errorCount(), 0) << errors.str();
  EXPECT_TRUE(parser.enforceAnsi() && parser.makeLibrary() && parser.compileOnly() &&
              parser.preprocessOnly() && parser.keepAssembly() && parser.keepLinkerScript() &&
              parser.keepPreprocessorOutput() && parser.showOnly() &&
              parser.outputToStandardOutput() && parser.verbose());
  EXPECT_FALSE(parser.debugInformation());
  EXPECT_EQ(parser.outputFileName(), "out/app.elf");
  EXPECT_EQ(parser.dependencyFileName(), "deps.d");
}

TEST_F(KilnmarkArgParseTest, OutputOptionTakesTheNextArgumentEvenWhenItLooksLikeAnOption) {
  run({"-o", "-c", "-depend", "@deps"});
  EXPECT_EQ(parser.outputFileName(), "-c");
  EXPECT_FALSE(parser.compileOnly());
  EXPECT_EQ(parser.dependencyFileName(), "@deps");
  EXPECT_EQ(reporter.errorCount(), 0);
}

TEST_F(KilnmarkArgParseTest, EveryFormOfDebugOptionTurnsOnDebugInformation) {
  for (const char* option : {"-g", "-g1", "-gx"}) {
    std::ostringstream localErrors;
    ErrorReporter localReporter{"cc", localErrors};
    KilnmarkArgParse local{localReporter};
    const char* arguments[] = {option};
    local.parse(1, arguments, 1);
    EXPECT_TRUE(local.debugInformation()) << option;
  }
}

TEST_F(KilnmarkArgParseTest, FileTypeOptionAppliesOnlyToLaterPlainInputFiles) {
  run({"first.s", "-xc", "a.s", "-Tfile.ld", "-xasm", "b.c", "-xz", "c.c", "-xa", "-xo", "d"});
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"first.s", ""},  {"a.s", "C"},        {"file.ld", "Linker Script"},
      {"b.c", "Assembly"}, {"c.c", "Assembly"}, {"d", "Object file"}};
  ASSERT_EQ(parser.inputFiles().size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(parser.inputFiles()[i].name, expected[i].first);
    EXPECT_EQ(parser.inputFiles()[i].fileType, expected[i].second) << expected[i].first;
  }
  EXPECT_EQ(errors.str(), "cc: error: z unsupported file type\n");
  EXPECT_EQ(parser.currentFileType(), "Object file");
}

TEST_F(KilnmarkArgParseTest, InputFilesListAddsOneUntypedFilePerLine) {
  const auto list = dir.write("files", "x.c\nsub dir/y.s\n\nlast.o");
  run({"-xc", "-inputfiles", list.c_str(), "-inputfiles", "/no/such/list"});
  ASSERT_EQ(parser.inputFiles().size(), 4u);
  EXPECT_EQ(parser.inputFiles()[0].name, "x.c");
  EXPECT_EQ(parser.inputFiles()[1].name, "sub dir/y.s");
  EXPECT_EQ(parser.inputFiles()[2].name, "");
  EXPECT_EQ(parser.inputFiles()[3].name, "last.o");
  for (const auto& file : parser.inputFiles()) EXPECT_EQ(file.fileType, "") << file.name;
  EXPECT_EQ(errors.str(), "cc: error: cannot open file: /no/such/list\n");
}

TEST_F(KilnmarkArgParseTest, HelpWritesTheTextAndEndsTheRunWithStatusZero) {
  try {
    run({"-c", "-help", "never.c"});
    FAIL() << "-help did not end the run";
  } catch (const ExitRequest& request) {
    EXPECT_EQ(request.status, 0);
  }
  EXPECT_TRUE(parser.compileOnly());
  EXPECT_TRUE(parser.inputFiles().empty());
  EXPECT_NE(errors.str().find("Usage: cc [option] file file ...\n"), std::string::npos);
  EXPECT_EQ(reporter.errorCount(), 0);
}

}  // namespace
}  // namespace tidewater
