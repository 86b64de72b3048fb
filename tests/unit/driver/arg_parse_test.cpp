#include "driver/arg_parse.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "support/temp_dir.h"

namespace tidewater {
namespace {

// Records every handler call and plain argument in order, as "key=value"
// and "arg:name".
class RecordingParser : public ArgParse {
 public:
  explicit RecordingParser(ErrorReporter& reporter) : ArgParse(reporter) {
    addOption("-a", ArgOption{.form = ArgForm::None, .flagTarget = &flag});
    addOption("-s", ArgOption{.form = ArgForm::Separate, .stringTarget = &stored});
    for (const char* key : {"-w", "-we", "-q"}) {
      addOption(key, ArgOption{.form = ArgForm::Attached, .dispatch = true, .handler = record()});
    }
    addOption("-two", ArgOption{.form = ArgForm::Separate, .dispatch = true,
                                .handler = record(), .pass = 2});
  }

  void run(std::vector<const char*> arguments, int pass = 1) {
    parse(static_cast<int>(arguments.size()), arguments.data(), pass);
  }

  bool flag = false;
  std::string stored;
  std::vector<std::string> events;

 protected:
  void onArgument(const std::string& argument) override { events.push_back("arg:" + argument); }

 private:
  ArgOption::Handler record() {
    return [this](const std::string& key, const std::string& value) {
      events.push_back(key + "=" + value);
    };
  }
};

class ArgParseTest : public ::testing::Test {
 protected:
  std::ostringstream errors;
  ErrorReporter reporter{"./prog", errors};
  RecordingParser parser{reporter};
  test::TempDir dir;
};

using Events = std::vector<std::string>;

TEST_F(ArgParseTest, LongerAttachedKeyIsTriedFirstAndExactMatchWins) {
  parser.run({"-we", "-wall", "-wextra", "-w", "-q-x"});
  EXPECT_EQ(parser.events, (Events{"-we=", "-w=all", "-we=xtra", "-w=", "-q=-x"}));
  EXPECT_EQ(reporter.errorCount(), 0);
}

TEST_F(ArgParseTest, NoAndSeparateFormsNeverMatchByPrefix) {
  parser.run({"-ab", "-sx", "file.c", "-a"});
  EXPECT_EQ(errors.str(),
            "./prog: error: unrecognised option -ab\n./prog: error: unrecognised option -sx\n");
  EXPECT_EQ(reporter.errorCount(), 2);
  EXPECT_EQ(parser.events, (Events{"arg:file.c"}));
  EXPECT_TRUE(parser.flag);
}

TEST_F(ArgParseTest, SeparateValueIsTakenWhateverItLooksLike) {
  parser.run({"-s", "-a", "-s", "@missing"});
  EXPECT_EQ(parser.stored, "@missing");
  EXPECT_FALSE(parser.flag);  // "-a" was a value, not an option
  EXPECT_EQ(errors.str(), "");
}

TEST_F(ArgParseTest, SeparateOptionAsLastArgumentEndsTheParse) {
  parser.run({"x.c", "-s"});
  EXPECT_EQ(errors.str(), "./prog: error: expected argument for option -s\n");
  EXPECT_EQ(parser.events, (Events{"arg:x.c"}));
}

TEST_F(ArgParseTest, EntriesOfAnotherPassAreSkippedWithTheirArgument) {
  parser.run({"-two", "v", "a.c", "-two", "w"}, 1);
  EXPECT_EQ(parser.events, (Events{"arg:a.c"}));
  parser.events.clear();
  parser.run({"-two", "v", "a.c", "-bogus"}, 2);
  // Plain arguments belong to pass 1; unknown options are reported in every pass.
  EXPECT_EQ(parser.events, (Events{"-two=v"}));
  EXPECT_EQ(errors.str(), "./prog: error: unrecognised option -bogus\n");
}

TEST_F(ArgParseTest, IndirectFileLinesBecomeArgumentsAndCommentsStillCountAsLines) {
  const auto file = dir.write("args", "-a\n# comment \"unterminated\n-s \"a b\"\n\"open\n  -wx\t-wy  \n");
  parser.run({("@" + file).c_str()});
  EXPECT_TRUE(parser.flag);
  EXPECT_EQ(parser.stored, "a b");
  // A tab does not separate; the unterminated line is dropped whole.
  EXPECT_EQ(parser.events, (Events{"-w=x\t-wy"}));
  EXPECT_EQ(errors.str(), "./prog: error: unterminated string in indirect file " + file + "(4)\n");
  EXPECT_EQ(parser.nestingDepth(), 0);
}

TEST_F(ArgParseTest, TokenizeSplitsOnlyAtBlanksAndAfterClosingQuotes) {
  struct Case {
    const char* line;
    Events expected;
  };
  const Case cases[] = {
      {"  -Dx  -Dy  \n", {"-Dx", "-Dy"}}, {"   \n", {}}, {"\"quoted\"word", {"quoted", "word"}}, {"\"\"", {""}},
      {"a\"b c\"d", {"a\"b", "c\"d"}}, {"back\\slash \"x\\\"", {"back\\slash", "x\\"}}, {"one\ntwo", {"one"}},
      {"a\rb", {"a\rb"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments{"stale"};
    const int count = parser.tokenize("f", 1, c.line, arguments);
    EXPECT_EQ(arguments, c.expected) << c.line;
    EXPECT_EQ(count, static_cast<int>(c.expected.size())) << c.line;
  }
  EXPECT_EQ(reporter.errorCount(), 0);
}

TEST_F(ArgParseTest, UnterminatedQuoteInCommandLineTextNamesTheCommandLine) {
  parser.parseString("-a \"b", 1);
  EXPECT_FALSE(parser.flag);
  EXPECT_EQ(errors.str(), "./prog: error: unterminated string in command line\n");
  parser.parseString("-a \"b c\"", 1);
  EXPECT_TRUE(parser.flag);
  EXPECT_EQ(parser.events, (Events{"arg:b c"}));
}

TEST_F(ArgParseTest, SelfIncludingFileStopsAtOneHundredLevelsWithOneError) {
  const auto file = dir.path() + "/self";
  dir.write("self", "@" + file + "\n");
  parser.run({("@" + file).c_str(), "after.c"});
  EXPECT_EQ(errors.str(), "./prog: error: too many indirect files\n");
  EXPECT_EQ(reporter.errorCount(), 1);
  EXPECT_EQ(parser.events, (Events{"arg:after.c"}));
  EXPECT_EQ(parser.nestingDepth(), 0);
}

TEST_F(ArgParseTest, UnreadableIndirectFilesReportTheSystemReason) {
  const auto subdir = dir.path() + "/sub";
  ASSERT_EQ(mkdir(subdir.c_str(), 0755), 0);
  parser.run({"@", ("@" + dir.path() + "/none").c_str(), ("@" + subdir).c_str()});
  EXPECT_EQ(errors.str(),
            "./prog: error: can't open indirect file : No such file or directory\n"
            "./prog: error: can't open indirect file " + dir.path() +
                "/none: No such file or directory\n"
            "./prog: error: can't open indirect file " + subdir + ": Is a directory\n");
  EXPECT_EQ(reporter.errorCount(), 3);
}

TEST_F(ArgParseTest, LongLinesAreReadInPiecesOf1023BytesEachALineOfItsOwn) {
  // The first read stops after "b", splitting "bc"; the second line's rest
  // starts with "#", so that piece is skipped like a comment.
  const std::string as(1021, 'a');
  const std::string es(1023, 'e');
  const auto file = dir.write("long", as + " bc d\n" + es + "#f\n");
  parser.run({("@" + file).c_str()});
  EXPECT_EQ(parser.events, (Events{"arg:" + as, "arg:b", "arg:c", "arg:d", "arg:" + es}));
}

TEST_F(ArgParseTest, EveryErrorIsCountedAndParsingGoesOn) {
  const auto file = dir.write("list", "-bad1\n\"x\nb.c\n");
  parser.run({"-bad0", ("@" + file).c_str(), "@nowhere", "c.c", "-s"});
  EXPECT_EQ(reporter.errorCount(), 5);
  EXPECT_EQ(parser.events, (Events{"arg:b.c", "arg:c.c"}));
}

}  // namespace
}  // namespace tidewater
