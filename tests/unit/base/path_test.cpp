#include "base/path.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <tuple>

#include "support/temp_dir.h"

namespace tidewater {
namespace {

TEST(PathTest, NamePartsSplitAtFirstAndLastDotOfTheFileNameOnly) {
  // path: file name | base name | complete base name | suffix | complete suffix | directory
  const std::pair<const char*, const char*> cases[] = {
      {"src/a.b.c", "a.b.c|a|a.b|c|b.c|src"}, {"main.c", "main.c|main|main|c|c|."},
      {"x.d/Makefile", "Makefile|Makefile|Makefile|||x.d"}, {"/lib/.hidden", ".hidden|||hidden|hidden|/lib"},
      {"/app.elf", "app.elf|app|app|elf|elf|/"}, {"dir/", "|||||dir"}, {"trailing.", "trailing.|trailing|trailing|||."},
  };
  for (const auto& [path, parts] : cases) {
    EXPECT_EQ(fileName(path) + "|" + baseName(path) + "|" + completeBaseName(path) + "|" + suffix(path) + "|" +
                  completeSuffix(path) + "|" + directoryPart(path),
              parts)
        << path;
  }
}

TEST(PathTest, CleanAbsoluteAndRelativePaths) {
  const std::pair<const char*, const char*> clean[] = {
      {"a//b/./c/", "a/b/c"}, {"/a/../../b", "/b"}, {"a/../..", ".."}, {"../x/../y", "../y"},
      {"./", "."},            {"/", "/"},           {"", ""},
  };
  for (const auto& [input, expected] : clean) EXPECT_EQ(cleanPath(input), expected) << input;
  EXPECT_EQ(absolutePath("b/../c.o", "/proj/src"), "/proj/src/c.o");
  EXPECT_EQ(absolutePath("/etc//x"), "/etc/x");
  EXPECT_EQ(absolutePath("q"), currentDirectory() + "/q");

  const std::tuple<const char*, const char*, const char*> relative[] = {
      {"/p/src", "/p/lib/x.a", "../lib/x.a"}, {"/p", "/p/a/b", "a/b"}, {"/p/a", "/p/a", "."},
      {"/p/a/b", "/q", "../../../q"},
      {"/p/ab", "/p/abc/d", "../abc/d"},  // shared leading characters are not a shared directory
  };
  for (const auto& [from, target, expected] : relative) {
    EXPECT_EQ(relativePath(from, target), expected) << from << " to " << target;
  }
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
