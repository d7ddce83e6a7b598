#include "os/file_tree.h"

#include <gtest/gtest.h>

#include "os/paths.h"
#include "support/platform.h"
#include "support/test_os.h"

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
  // Every call to the system fails here, so a broken guard shows as a
  // wrong answer and recorded effects, never as a deleted root.
  testing::TestOs os(platformOs());
  os.failCall("", 0, 5);  // access denied
  for (const char* p : {"", "\\", "C:", "C:\\", "/", "//"}) {
    EXPECT_EQ(deleteTree(os, p), kErrRefusedPath) << p;
  }
  EXPECT_TRUE(os.effects().empty());
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
