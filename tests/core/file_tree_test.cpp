#include "os/file_tree.h"

#include <gtest/gtest.h>

#include "os/paths.h"
#include "support/platform.h"

namespace norvane {
namespace {

using testing::fileExists;
using testing::folderExists;
using testing::platformOs;
using testing::TempDir;
using testing::writeWholeFile;

TEST(Paths, RootsAndEmptyPathsAreRecognised) {
  for (const char* p : {"", "\\", "/", "\\\\", "C:", "c:\\", "C:\\\\", "\\\\server\\share",
                        "\\\\server\\share\\", "//server/share"}) {
    EXPECT_TRUE(isEmptyOrRoot(p)) << p;
  }
  for (const char* p :
       {"C:\\Temp", "C:\\T\\\\Kavrin\\", "\\\\server\\share\\dir", "/tmp/x", "rel"}) {
    EXPECT_FALSE(isEmptyOrRoot(p)) << p;
  }
  EXPECT_EQ(joinPath("C:\\T\\", "a"), "C:\\T\\a");
  EXPECT_EQ(joinPath("C:\\T", "a"), "C:\\T\\a");
}

TEST(FileTree, DeletesNestedFoldersAndReadOnlyFiles) {
  TempDir dir;
  const std::string root = dir.path() + "\\\\Kavrin\\";
  ASSERT_EQ(createDirectories(platformOs(), root + "a\\b\\c"), kOsOk);
  writeWholeFile(root + "a\\b\\c\\deep.txt", "x");
  writeWholeFile(root + "top.tmp", "y");
  writeWholeFile(root + "a\\locked.msi", "z");
  testing::makeReadOnlyAndHidden(root + "a\\locked.msi");
  EXPECT_EQ(deleteTree(platformOs(), root), kOsOk);
  EXPECT_FALSE(folderExists(dir / "Kavrin"));
  EXPECT_TRUE(folderExists(dir.path()));
}

TEST(FileTree, RefusesEmptyPathsAndRoots) {
  for (const char* p : {"", "\\", "C:", "C:\\", "/"}) {
    EXPECT_EQ(deleteTree(platformOs(), p), kErrRefusedPath) << p;
  }
}

TEST(FileTree, CreateDirectoriesReportsAFileInTheWay) {
  TempDir dir;
  writeWholeFile(dir / "file", "x");
  EXPECT_NE(createDirectories(platformOs(), dir / "file" / "sub"), kOsOk);
  EXPECT_EQ(createDirectories(platformOs(), dir / "new" / "sub"), kOsOk);
  EXPECT_EQ(createDirectories(platformOs(), dir / "new" / "sub"), kOsOk) << "existing is fine";
  EXPECT_TRUE(folderExists(dir / "new" / "sub"));
}

}  // namespace
}  // namespace norvane
