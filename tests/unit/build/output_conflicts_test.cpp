#include "build/output_conflicts.h"

#include <gtest/gtest.h>

#include <functional>

#include "walk_fixture.h"

namespace tidewater {
namespace {

namespace fs = std::filesystem;

// One project per case, in its own scratch directory.
struct Scenario : WalkFixture {
  void TestBody() override {}
  using WalkFixture::addFile;
  using WalkFixture::dir;
  using WalkFixture::inProject;
  using WalkFixture::set;
  using WalkFixture::setAll;

  std::vector<std::string> conflicts() {
    BuildWalk walk(system, builder, idler, status);
    const BuildPlan plan = walk.plan(*project, "Common", 0x30A);
    std::vector<std::string> messages = plan.errors;
    for (const std::string& message : outputConflicts(plan, projectDir())) messages.push_back(message);
    return messages;
  }
};

TEST(OutputConflictsTest, ABuildThatWouldOverwriteAnInputOrWriteAFileTwiceNamesBoth) {
  using Strings = std::vector<std::string>;
  const struct {
    const char* what;
    std::function<void(Scenario&)> arrange;
    Strings messages;
  } cases[] = {
      {"plain link", [](auto& t) { t.set("project_type", "Executable"); }, {}},
      {"image over its source",
       [](auto& t) { t.setAll({{"project_type", "Executable"}, {"build_output_file_name", "a.c"}}); },
       {"the image, 'a.c', would overwrite the input file 'a.c'"}},
      {"one object for two sources",
       [](auto& t) {
         t.addFile("b.c");
         t.set("build_object_file_name", "both.o");
       },
       {"'both.o' would be written twice: as the object file of a.c and as the object file of b.c",
        "'obj/both.asm' would be written twice: as the assembly file of a.c and as the assembly file of b.c"}},
      {"object over the assembler's input",
       [](auto& t) {
         t.set(t.addFile("s.s"), "build_object_file_name", "obj/s_PP.s");
       },
       {"'obj/s_PP.s' would be written twice: as the object file of s.s and as the preprocessed file of s.s"}},
      {"object over an options file",
       [](auto& t) {
         t.dir.write("p/opts.txt", "");
         t.setAll({{"c_additional_options_from_file", "opts.txt"}, {"build_object_file_name", "./opts.txt"}});
       },
       {"the object file of a.c, 'opts.txt', would overwrite the input file 'opts.txt'"}},
      {"image through a symbolic link to an object",
       [](auto& t) {
         t.addFile("x.o", "");
         fs::create_symlink(t.inProject("x.o"), t.inProject("link.o"));
         t.setAll({{"project_type", "Executable"}, {"build_output_file_name", "link.o"}});
       },
       {"the image, 'link.o', would overwrite the input file 'x.o'"}},
      {"library through a hard link to a library",
       [](auto& t) {
         t.addFile("old.a", "");
         fs::create_hard_link(t.inProject("old.a"), t.inProject("new.a"));
         t.setAll({{"project_type", "Library"}, {"build_output_file_name", "new.a"}});
       },
       {"cannot put the library old.a into a library: name its object files instead",
        "the library, 'new.a', would overwrite the input file 'old.a'"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Scenario t;
    t.addFile("a.c");
    c.arrange(t);
    EXPECT_EQ(t.conflicts(), c.messages);
  }
}

}  // namespace
}  // namespace tidewater
