// The POSIX stand-in's own behaviour: processes through a stand-in
// interpreter, links left alone by tree deletion.
#include "os/posix_os.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "install/run_installer.h"
#include "os/file_tree.h"
#include "support/platform.h"

namespace norvane {
namespace {

using testing::readWholeFile;
using testing::TempDir;
using testing::writeWholeFile;

TEST(PosixOs, RunsTheInterpreterFromTheSystemFolderAndReturnsItsExitCode) {
  TempDir sys;
  const std::string log = PosixOs::nativePath(sys / "cmd.log");
  writeWholeFile(sys / "cmd.exe", "#!/bin/sh\nprintf '%s|%s\\n' \"$1\" \"$(pwd)\" >> '" + log +
                                      "'\ncase \"$1\" in *fail*) exit 3;; esac\nexit 0\n");
  ASSERT_EQ(::chmod(PosixOs::nativePath(sys / "cmd.exe").c_str(), 0755), 0);
  PosixOs os(sys.path(), sys / "registry");
  const InstallerOutcome ok = runInstaller(os, {"C:\\T\\setup.exe", "/S"});
  EXPECT_TRUE(ok.process.started);
  EXPECT_EQ(ok.process.exitCode, 0u);
  const InstallerOutcome failed = runInstaller(os, {"C:\\T\\fail.exe", "/q"});
  EXPECT_EQ(failed.process.exitCode, 3u);
  char cwd[4096];
  ASSERT_NE(::realpath(sys.path().c_str(), cwd), nullptr);
  EXPECT_EQ(readWholeFile(log), "cmd.exe /d /c C:\\T\\setup.exe /S|" + std::string(cwd) +
                                    "\ncmd.exe /d /c C:\\T\\fail.exe /q|" + std::string(cwd) +
                                    "\n");
}

TEST(PosixOs, MissingInterpreterIsNotStarted) {
  TempDir sys;
  PosixOs os(sys.path(), sys / "registry");
  const InstallerOutcome r = runInstaller(os, {"msiexec", "/i \"x.msi\" /qn"});
  EXPECT_FALSE(r.process.started);
  EXPECT_NE(r.process.error, kOsOk);
}

TEST(PosixOs, TreeDeletionRemovesLinksWithoutFollowingThem) {
  TempDir dir;
  Os& os = testing::platformOs();
  ASSERT_EQ(createDirectories(os, dir / "outside" / "keep"), kOsOk);
  writeWholeFile(dir / "outside" / "keep" / "precious.txt", "p");
  ASSERT_EQ(createDirectories(os, dir / "tree" / "sub"), kOsOk);
  ASSERT_EQ(::symlink((dir.path() + "/outside").c_str(), (dir.path() + "/tree/sub/link").c_str()),
            0);
  ASSERT_EQ(::symlink((dir.path() + "/outside/keep/precious.txt").c_str(),
                      (dir.path() + "/tree/filelink").c_str()),
            0);
  EXPECT_EQ(deleteTree(os, dir / "tree"), kOsOk);
  EXPECT_FALSE(testing::folderExists(dir / "tree"));
  EXPECT_EQ(readWholeFile(dir / "outside" / "keep" / "precious.txt"), "p");
  // A link given as the tree itself goes as a link.
  ASSERT_EQ(::symlink((dir.path() + "/outside").c_str(), (dir.path() + "/alias").c_str()), 0);
  EXPECT_EQ(deleteTree(os, dir / "alias"), kOsOk);
  EXPECT_TRUE(testing::fileExists(dir / "outside" / "keep" / "precious.txt"));
}

}  // namespace
}  // namespace norvane
