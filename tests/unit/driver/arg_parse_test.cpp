#include "driver/arg_parse.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <sstream>

#include "support/temp_dir.h"

namespace tidewater {
namespace {

using Events = std::vector<std::string>;

// Records handler calls and plain arguments in order ("key=value", "arg:name"), then "-a" and "-s".
class RecordingParser : public ArgParse {
 public:
  explicit RecordingParser(ErrorReporter& reporter) : ArgParse(reporter) {
    const ArgOption::Handler record = [this](const std::string& key, const std::string& value) {
      events.push_back(key + "=" + value);
    };
    addOption("-a", ArgOption{.form = ArgForm::None, .flagTarget = &flag});
    addOption("-s", ArgOption{.form = ArgForm::Separate, .stringTarget = &stored});
    for (const char* key : {"-w", "-we", "-q"}) {
      addOption(key, ArgOption{.form = ArgForm::Attached, .dispatch = true, .handler = record});
    }
    addOption("-two", ArgOption{.form = ArgForm::Separate, .dispatch = true, .handler = record, .pass = 2});
  }

  std::string run(std::vector<const char*> arguments, int pass = 1) {
    parse(static_cast<int>(arguments.size()), arguments.data(), pass);
    std::string outcome;
    for (const std::string& event : events) outcome += event + " ";
    return outcome + (flag ? "flag " : "") + "stored=" + stored;
  }

  bool flag = false;
  std::string stored;
  Events events;

 protected:
  void onArgument(const std::string& argument) override { events.push_back("arg:" + argument); }
};

struct Harness {
  std::ostringstream errors;
  ErrorReporter reporter{"./prog", errors};
  RecordingParser parser{reporter};
  test::TempDir dir;
};

TEST(ArgParseTest, ArgumentsMatchByKeyFormAndPass) {
  const std::tuple<std::vector<const char*>, int, const char*, const char*> cases[] = {
      // The longer attached key is tried first; an exact match wins.
      {{"-we", "-wall", "-wextra", "-w", "-q-x"}, 1, "-we= -w=all -we=xtra -w= -q=-x stored=", ""},
      // Keys without a value or with a separate one never match by prefix.
      {{"-ab", "-sx", "file.c", "-a"}, 1, "arg:file.c flag stored=",
       "./prog: error: unrecognised option -ab\n./prog: error: unrecognised option -sx\n"},
      // A separate value is taken whatever it looks like.
      {{"-s", "-a", "-s", "@missing"}, 1, "stored=@missing", ""},
      {{"x.c", "-s"}, 1, "arg:x.c stored=", "./prog: error: expected argument for option -s\n"},
      // Other passes skip an entry with its argument and plain arguments, but report unknown options.
      {{"-two", "v", "a.c", "-two", "w"}, 1, "arg:a.c stored=", ""},
      {{"-two", "v", "a.c", "-bogus"}, 2, "-two=v stored=", "./prog: error: unrecognised option -bogus\n"},
  };
  for (const auto& [arguments, pass, outcome, errors] : cases) {
    Harness h;
    EXPECT_EQ(h.parser.run(arguments, pass), outcome) << arguments.front();
    EXPECT_EQ(h.errors.str(), errors) << arguments.front();
    EXPECT_EQ(h.reporter.errorCount(), std::ranges::count(std::string_view(errors), '\n')) << arguments.front();
  }
}

TEST(ArgParseTest, IndirectFileLinesBecomeArgumentsReadInPiecesOf1023Bytes) {
  Harness h;
  const auto file = h.dir.write("args", "-a\n# comment \"unterminated\n-s \"a b\"\n\"open\n  -wx\t-wy  \n");
  // A tab does not separate; the unterminated line is dropped whole; comments count as lines.
  EXPECT_EQ(h.parser.run({("@" + file).c_str()}), "-w=x\t-wy flag stored=a b");
  EXPECT_EQ(h.errors.str(), "./prog: error: unterminated string in indirect file " + file + "(4)\n");
  // The first read stops after "b", splitting "bc"; the second line's rest
  // starts with "#", so that piece is skipped like a comment.
  const std::string as(1021, 'a');
  const std::string es(1023, 'e');
  const auto more = h.dir.write("long", as + " bc d\n" + es + "#f\n");
  h.parser.events.clear();
  EXPECT_EQ(h.parser.run({("@" + more).c_str()}), "arg:" + as + " arg:b arg:c arg:d arg:" + es + " flag stored=a b");
}

TEST(ArgParseTest, EachIndirectFileErrorIsReportedOnceAndParsingGoesOn) {
  Harness h;
  const auto self = h.dir.path() + "/self";
  h.dir.write("self", "@" + self + "\n");
  const auto subdir = h.dir.path() + "/sub";
  ASSERT_EQ(mkdir(subdir.c_str(), 0755), 0);
  const auto list = h.dir.write("list", "-bad1\nb.c\n");
  EXPECT_EQ(h.parser.run({("@" + self).c_str(), "@", "@/no/such/file", ("@" + subdir).c_str(),
                          ("@" + list).c_str(), "c.c"}),
            "arg:b.c arg:c.c stored=");
  EXPECT_EQ(h.errors.str(), "./prog: error: too many indirect files\n"
                            "./prog: error: can't open indirect file : No such file or directory\n"
                            "./prog: error: can't open indirect file /no/such/file: No such file or directory\n"
                            "./prog: error: can't open indirect file " + subdir + ": Is a directory\n"
                            "./prog: error: unrecognised option -bad1\n");
  EXPECT_EQ(h.reporter.errorCount(), 5);
  EXPECT_EQ(h.parser.nestingDepth(), 0);
}

TEST(ArgParseTest, TokenizeSplitsOnlyAtBlanksAndAfterClosingQuotes) {
  const std::pair<const char*, Events> cases[] = {
      {"  -Dx  -Dy  \n", {"-Dx", "-Dy"}}, {"   \n", {}}, {"\"quoted\"word", {"quoted", "word"}}, {"\"\"", {""}},
      {"a\"b c\"d", {"a\"b", "c\"d"}}, {"back\\slash \"x\\\"", {"back\\slash", "x\\"}}, {"one\ntwo", {"one"}},
      {"a\rb", {"a\rb"}},
  };
  Harness h;
  for (const auto& [line, expected] : cases) {
    Events arguments{"stale"};
    const int count = h.parser.tokenize("f", 1, line, arguments);
    EXPECT_EQ(arguments, expected) << line;
    EXPECT_EQ(count, static_cast<int>(expected.size())) << line;
  }
  EXPECT_EQ(h.reporter.errorCount(), 0);
  // Command-line text follows the same rules; its messages name the command line.
  h.parser.parseString("-a \"b", 1);
  EXPECT_FALSE(h.parser.flag);
  EXPECT_EQ(h.errors.str(), "./prog: error: unterminated string in command line\n");
  h.parser.parseString("-a \"b c\"", 1);
  EXPECT_EQ(h.parser.run({}), "arg:b c flag stored=");
}

}  // namespace
}  // namespace tidewater
