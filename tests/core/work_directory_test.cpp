#include "env/work_directory.h"

#include <gtest/gtest.h>

#include "os/file_tree.h"
#include "support/platform.h"
#include "support/test_os.h"

namespace norvane {
namespace {

using testing::fileExists;
using testing::folderExists;
using testing::platformOs;
using testing::TempDir;
using testing::writeWholeFile;

// The system's temporary folder is a folder of the test's own, reported
// with its trailing separator as Windows does.
class WorkDirectory : public ::testing::Test {
 protected:
  WorkDirectory() : os(platformOs()), temp(dir.path() + "\\") {
    os.pretendTemporaryFolder({temp, kOsOk});
  }
  TempDir dir;
  testing::TestOs os;
  std::string temp;
};

TEST_F(WorkDirectory, TakesTheFirstFreeNameAndCreatesIt) {
  struct Case {
    std::vector<std::string> folders;
    std::vector<std::string> files;
    std::string expected;
  };
  const Case cases[] = {
      {{}, {}, "Kavrin"},
      {{"Kavrin"}, {}, "Kavrin_0"},
      {{"Kavrin", "Kavrin_0"}, {}, "Kavrin_1"},
      {{"Kavrin_1"}, {}, "Kavrin"},
      {{"KAVRIN"}, {}, "Kavrin_0"},  // letter case does not make a new name
      {{"kavrin", "Kavrin_0"}, {}, "Kavrin_1"},
      {{}, {"Kavrin"}, "Kavrin_0"},  // a file in the way is passed over
      {{"Kavrin"}, {"Kavrin_0", "Kavrin_1"}, "Kavrin_2"},
  };
  for (const Case& c : cases) {
    TempDir fresh;
    os.pretendTemporaryFolder({fresh.path() + "\\", kOsOk});
    for (const std::string& f : c.folders)
      ASSERT_EQ(platformOs().createDirectory(fresh / f), kOsOk);
    for (const std::string& f : c.files) writeWholeFile(fresh / f, "file");
    const auto w = allocateWorkDirectory(os);
    ASSERT_TRUE(w.ok()) << c.expected;
    // The temporary path's own separator, then "\" and the name: doubled.
    EXPECT_EQ(w.value, fresh.path() + "\\\\" + c.expected + "\\");
    EXPECT_TRUE(folderExists(w.value)) << c.expected;
    for (const std::string& f : c.files) EXPECT_EQ(testing::readWholeFile(fresh / f), "file");
    // Made by this run: it is empty.
    EXPECT_TRUE(platformOs().listDirectory(w.value).value.empty()) << c.expected;
  }
}

TEST_F(WorkDirectory, DirectoryExistsCountsFoldersOnly) {
  ASSERT_EQ(platformOs().createDirectory(dir / "Sub"), kOsOk);
  writeWholeFile(dir / "plain", "x");
  EXPECT_TRUE(directoryExists(os, temp + "\\Sub"));
  EXPECT_TRUE(directoryExists(os, temp + "\\sub"));
  EXPECT_FALSE(directoryExists(os, temp + "\\plain"));
  EXPECT_FALSE(directoryExists(os, temp + "\\absent"));
  EXPECT_FALSE(directoryExists(os, dir / "absent" / "x"));
}

TEST_F(WorkDirectory, UnsafeTemporaryPathsGiveNoWorkDirectory) {
  const std::string overlong = temp + std::string(300, 'x') + "\\";
  const OsResult<std::string> reports[] = {
      {{}, 5},            // the query failed
      {"", kOsOk},        // nothing reported
      {"Temp\\", kOsOk},  // relative
      {"C:\\", kOsOk},    // a drive root: the folder would sit at the root
      {"\\\\server\\share\\", kOsOk},
      {"/", kOsOk},
      {overlong, kOsOk},
  };
  for (const auto& reported : reports) {
    os.pretendTemporaryFolder(reported);
    os.clearEffects();
    const auto w = allocateWorkDirectory(os);
    EXPECT_FALSE(w.ok()) << reported.value;
    EXPECT_TRUE(os.effectsStartingWith("mkdir").empty()) << reported.value;
  }
}

// The limit is Windows' own, counted in UTF-16 units: a Chinese user's
// long temporary folder is far longer in UTF-8 bytes.
TEST_F(WorkDirectory, LongChinesePathsCountAsWindowsCountsThem) {
  std::string half;
  for (int i = 0; i < 45; ++i) half += "张";
  const std::string chinese = dir.path() + "\\" + half + "\\" + half;
  ASSERT_EQ(createDirectories(platformOs(), chinese), kOsOk);
  ASSERT_GT(chinese.size(), 255u);
  os.pretendTemporaryFolder({chinese + "\\", kOsOk});
  const auto w = allocateWorkDirectory(os);
  ASSERT_TRUE(w.ok()) << w.error;
  EXPECT_EQ(w.value, chinese + "\\\\Kavrin\\");
  EXPECT_TRUE(folderExists(w.value));

  std::string tooLong = dir.path() + "\\";
  for (int i = 0; i < 250; ++i) tooLong += "张";
  os.pretendTemporaryFolder({tooLong + "\\", kOsOk});
  EXPECT_FALSE(allocateWorkDirectory(os).ok());
}

TEST_F(WorkDirectory, GivesUpWhenNoNameCanBeCreated) {
  os.failCall("mkdir", 0, 5);
  const auto w = allocateWorkDirectory(os);
  EXPECT_FALSE(w.ok());
  EXPECT_EQ(w.error, 5u);
}

}  // namespace
}  // namespace norvane
