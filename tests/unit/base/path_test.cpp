#include "base/path.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace tidewater {
namespace {

struct NameParts {
  const char* path;
  const char* fileName;
  const char* baseName;
  const char* completeBaseName;
  const char* suffix;
  const char* completeSuffix;
  const char* directory;
};

TEST(PathTest, NamePartsSplitAtFirstAndLastDotOfTheFileNameOnly) {
  const NameParts cases[] = {
      {"src/a.b.c", "a.b.c", "a", "a.b", "c", "b.c", "src"},
      {"main.c", "main.c", "main", "main", "c", "c", "."},
      {"x.d/Makefile", "Makefile", "Makefile", "Makefile", "", "", "x.d"},
      {"/lib/.hidden", ".hidden", "", "", "hidden", "hidden", "/lib"},
      {"/app.elf", "app.elf", "app", "app", "elf", "elf", "/"},
      {"dir/", "", "", "", "", "", "dir"},
      {"trailing.", "trailing.", "trailing", "trailing", "", "", "."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(fileName(c.path), c.fileName);
    EXPECT_EQ(baseName(c.path), c.baseName);
    EXPECT_EQ(completeBaseName(c.path), c.completeBaseName);
    EXPECT_EQ(suffix(c.path), c.suffix);
    EXPECT_EQ(completeSuffix(c.path), c.completeSuffix);
    EXPECT_EQ(directoryPart(c.path), c.directory);
  }
}

TEST(PathTest, CleanPathResolvesDotsLexically) {
  const std::pair<const char*, const char*> cases[] = {
      {"a//b/./c/", "a/b/c"}, {"/a/../../b", "/b"}, {"a/../..", ".."},
      {"../x/../y", "../y"},  {"./", "."},          {"/", "/"},
      {"", ""},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(cleanPath(input), expected) << input;
}

TEST(PathTest, AbsoluteAndRelativePathsAgree) {
  EXPECT_EQ(absolutePath("b/../c.o", "/proj/src"), "/proj/src/c.o");
  EXPECT_EQ(absolutePath("/etc//x"), "/etc/x");
  EXPECT_EQ(absolutePath("q"), currentDirectory() + "/q");

  EXPECT_EQ(relativePath("/p/src", "/p/lib/x.a"), "../lib/x.a");
  EXPECT_EQ(relativePath("/p", "/p/a/b"), "a/b");
  EXPECT_EQ(relativePath("/p/a", "/p/a"), ".");
  EXPECT_EQ(relativePath("/p/a/b", "/q"), "../../../q");
  // Shared leading characters are not a shared directory.
  EXPECT_EQ(relativePath("/p/ab", "/p/abc/d"), "../abc/d");
}

TEST(PathTest, CanonicalPathResolvesLinksAndIsEmptyForMissingPaths) {
  test::TempDir dir;
  dir.write("real/file", "x");
  ASSERT_EQ(symlink((dir.path() + "/real").c_str(), (dir.path() + "/link").c_str()), 0);
  EXPECT_EQ(canonicalPath(dir.path() + "/link/./file"), dir.path() + "/real/file");
  EXPECT_EQ(canonicalPath(dir.path() + "/link/missing"), "");
}

}  // namespace
}  // namespace tidewater
