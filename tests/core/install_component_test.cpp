#include "install/install_component.h"

#include <gtest/gtest.h>

#include "os/file_tree.h"
#include "os/paths.h"
#include "support/platform.h"
#include "support/stand_in_archive.h"
#include "support/test_os.h"

namespace norvane {
namespace {

using testing::fileEntry;
using testing::fileExists;
using testing::folderExists;
using testing::platformOs;
using testing::readWholeFile;
using testing::StandInArchive;
using testing::TempDir;
using testing::TestOs;

// The path of the program or package a command line runs.
std::string installerPathIn(const std::string& line) {
  const auto quote = line.find("/i \"");
  if (quote != std::string::npos) {
    const auto start = quote + 4;
    return line.substr(start, line.find('"', start) - start);
  }
  const auto start = line.find("/c ") + 3;
  return line.substr(start, line.find(' ', start) - start);
}

class InstallComponent : public ::testing::Test {
 protected:
  InstallComponent() : archive(dir / "Kavrin.cab"), os(platformOs()) {
    workDir = dir.path() + "\\\\Kavrin\\";
    platformOs().createDirectory(workDir);
    // Every installer "runs": it must find its file in place and is logged.
    os.fakeProcesses([this](const std::string& line) {
      const std::string installer = installerPathIn(line);
      present.push_back(fileExists(installer));
      ran.push_back(installer.substr(workDir.size()));
      lastEnded = platformOs().monotonicMs();
      return ProcessOutcome{true, 0, kOsOk};
    });
  }

  ComponentReport install(ComponentId id, bool is32Bit = true) {
    OpenedFile opened = openPayloadArchive(os, archive.path());
    EXPECT_TRUE(opened.file.valid());
    return installComponent(os, id, opened.file, workDir, is32Bit,
                            [this](std::string_view text) { statuses.emplace_back(text); });
  }

  TempDir dir;
  StandInArchive archive;
  TestOs os;
  std::string workDir;
  std::vector<std::string> ran;
  std::vector<bool> present;
  std::vector<std::string> statuses;
  std::uint64_t lastEnded = 0;
};

TEST_F(InstallComponent, DirectXStagesUnpacksRunsAndCleansUp) {
  archive.placeZip(12,
                   {fileEntry("DXSETUP.exe", "dx"), fileEntry("Apr2005_d3dx9_25_x86.cab", "cab")});
  const ComponentReport r = install(12);
  EXPECT_EQ(statuses, std::vector<std::string>{"DirectX 9.0c (2010.6)"});
  EXPECT_EQ(ran, std::vector<std::string>{"DX9c\\DXSETUP.exe"});
  EXPECT_EQ(present, std::vector<bool>{true});
  EXPECT_EQ(r.staging.bytesWritten, 103'199'168);
  ASSERT_TRUE(r.extraction.has_value());
  EXPECT_TRUE(r.extraction->ok) << r.extraction->reason;
  EXPECT_FALSE(fileExists(workDir + "DX9c.tmp"));
  EXPECT_FALSE(folderExists(workDir + "DX9c"));
  EXPECT_TRUE(folderExists(workDir));
  // Staging, then unpacking, then the installer, then the clean-up.
  const auto& fx = os.effects();
  const auto at = [&](const std::string& prefix) {
    for (std::size_t i = 0; i < fx.size(); ++i) {
      if (fx[i].rfind(prefix, 0) == 0) return i;
    }
    return fx.size();
  };
  EXPECT_LT(at("create " + workDir + "DX9c.tmp"), at("create " + workDir + "DX9c\\DXSETUP.exe"));
  EXPECT_LT(at("create " + workDir + "DX9c\\DXSETUP.exe"), at("run "));
  EXPECT_LT(at("ended "), at("delete " + workDir + "DX9c.tmp"));
  EXPECT_LT(at("delete " + workDir + "DX9c.tmp"), at("rmdir " + workDir + "DX9c"));
}

TEST_F(InstallComponent, DotNet35RunsSixPackagesInOrderAndCleansUp) {
  const auto& commands = entryFor(15)->commands;
  std::vector<testing::ZipEntrySpec> entries;
  for (const CommandTemplate& c : commands) {
    entries.push_back(
        fileEntry(std::string(c.path.substr(std::string("NF35sp1\\").size())), "msi"));
  }
  archive.placeZip(15, entries);
  install(15);
  std::vector<std::string> expected;
  for (const CommandTemplate& c : commands) expected.emplace_back(c.path);
  EXPECT_EQ(ran, expected);
  EXPECT_EQ(present, std::vector<bool>(6, true));
  EXPECT_EQ(os.effectsStartingWith("run ").size(), 6u);
  EXPECT_FALSE(fileExists(workDir + "NF35sp1.tmp"));
  EXPECT_FALSE(folderExists(workDir + "NF35sp1"));
}

TEST_F(InstallComponent, MsxmlLeavesItsFileAndFolder) {
  archive.placeZip(24, {fileEntry("msxml6_sp1_x86.msi", "msi")});
  install(24);
  EXPECT_EQ(ran, std::vector<std::string>{"msxml6_sp2_x86\\msxml6_sp1_x86.msi"});
  EXPECT_TRUE(fileExists(workDir + "msxml6_sp2_x86.tmp"));
  EXPECT_TRUE(fileExists(workDir + "msxml6_sp2_x86\\msxml6_sp1_x86.msi"));
}

TEST_F(InstallComponent, SteamWritesItsLanguageEvenWhenTheInstallerCannotStart) {
  ASSERT_EQ(platformOs().writeUserRegistryString("Software\\Valve\\Steam", "Language", "english"),
            kOsOk);
  os.failCall("run ", 0, 2);
  const ComponentReport r = install(32);
  ASSERT_EQ(r.installers.size(), 1u);
  EXPECT_FALSE(r.installers[0].process.started);
  EXPECT_EQ(r.registryError, kOsOk);
  EXPECT_EQ(os.effectsStartingWith("registry "),
            std::vector<std::string>{"registry HKCU\\Software\\Valve\\Steam Language=schinese"});
  EXPECT_TRUE(fileExists(workDir + "SteamSetup.exe")) << "staged installers stay";
}

TEST_F(InstallComponent, OriginEmptiesTheFolderFirstAndPausesAfterwards) {
  archive.placeBytes(5, "vc2010");
  archive.placeBytes(33, "origin");
  install(5);
  platformOs().createDirectory(workDir + "leftover");
  testing::writeWholeFile(workDir + "leftover\\x.txt", "x");
  ASSERT_TRUE(fileExists(workDir + "VC2010_x86.exe"));
  install(33);
  const std::uint64_t returned = platformOs().monotonicMs();
  EXPECT_FALSE(fileExists(workDir + "VC2010_x86.exe"));
  EXPECT_FALSE(folderExists(workDir + "leftover"));
  EXPECT_TRUE(fileExists(workDir + "OriginThinSetup.exe"));
  EXPECT_EQ(readWholeFile(workDir + "OriginThinSetup.exe").substr(0, 6), "origin");
  EXPECT_GT(returned - lastEnded, 1000u);
}

TEST_F(InstallComponent, GamesForWindowsLiveTakesTheLoginPackageOfTheBitness) {
  archive.placeZip(35, {fileEntry("xliveredist.msi", "a"), fileEntry("gfwlclient.msi", "b"),
                        fileEntry("wllogin_32.msi", "c"), fileEntry("wllogin_64.msi", "d")});
  install(35, false);
  EXPECT_EQ(ran, (std::vector<std::string>{"xlive\\xliveredist.msi", "xlive\\gfwlclient.msi",
                                           "xlive\\wllogin_64.msi"}));
  ran.clear();
  install(35, true);
  EXPECT_EQ(ran.back(), "xlive\\wllogin_32.msi");
  EXPECT_FALSE(folderExists(workDir + "xlive"));
}

TEST_F(InstallComponent, ReportShowsEachStepsOutcome) {
  // Nothing placed: every payload is zeros, so ZIPs do not open.
  os.fakeProcesses([](const std::string& line) {
    return ProcessOutcome{true, line.find("DXSETUP") != std::string::npos ? 0xFFFFFFFFu : 1603u,
                          kOsOk};
  });
  const ComponentReport dx = install(12);
  ASSERT_TRUE(dx.extraction.has_value());
  EXPECT_FALSE(dx.extraction->ok);
  EXPECT_EQ(dx.installers.at(0).process.exitCode, 0xFFFFFFFFu);
  const ComponentReport vc = install(3);
  EXPECT_EQ(vc.installers.at(0).process.exitCode, 1603u);
}

// The interpreter expands % and ! however they are quoted, so a work folder
// holding one is reached by its 8.3 name, or not run at all.
TEST_F(InstallComponent, FolderWithAPercentSignRunsByItsShortNameOrNotAtAll) {
  const std::string longFolder = dir.path() + "\\100%\\Kavrin\\";
  const std::string shortFolder = dir.path() + "\\100~1\\Kavrin\\";
  ASSERT_EQ(createDirectories(platformOs(), longFolder), kOsOk);
  ASSERT_EQ(createDirectories(platformOs(), shortFolder), kOsOk);
  std::vector<std::string> lines;
  os.fakeProcesses([&](const std::string& line) {
    lines.push_back(line);
    return ProcessOutcome{true, 0, kOsOk};
  });
  struct Case {
    const char* what;
    OsResult<std::string> shortName;
    bool runs;
  };
  for (const Case& c : {Case{"short name", {shortFolder, kOsOk}, true},
                        Case{"short name still unsafe", {longFolder, kOsOk}, false},
                        Case{"no short name", {{}, kErrRefusedPath}, false}}) {
    lines.clear();
    os.pretendShortPathName(longFolder, c.shortName);
    OpenedFile opened = openPayloadArchive(os, archive.path());
    const ComponentReport r = installComponent(os, 5, opened.file, longFolder, true, [](auto) {});
    ASSERT_EQ(r.installers.size(), 1u) << c.what;
    EXPECT_EQ(r.installers[0].process.started, c.runs) << c.what;
    if (c.runs) {
      ASSERT_EQ(lines.size(), 1u) << c.what;
      EXPECT_EQ(lines[0], "cmd.exe /d /c " + shortFolder + "VC2010_x86.exe /q /norestart");
    } else {
      EXPECT_TRUE(lines.empty()) << c.what;
      EXPECT_EQ(r.installers[0].process.error, kErrUnsafeCommandLine) << c.what;
    }
  }
}

TEST_F(InstallComponent, WithoutTheArchiveEveryComponentStillRunsToTheEnd) {
  for (const ComponentEntry& e : allComponents()) {
    statuses.clear();
    ran.clear();
    const ComponentReport r =
        installComponent(os, e.id, OsFile{}, workDir, true,
                         [this](std::string_view text) { statuses.emplace_back(text); });
    EXPECT_EQ(statuses, std::vector<std::string>{std::string(e.progressCaption)});
    EXPECT_EQ(r.staging.bytesWritten, 0) << e.id;
    EXPECT_EQ(r.installers.size(), e.commands.size()) << e.id;
    if (!e.deleteStagedFile) {
      EXPECT_EQ(readWholeFile(workDir + std::string(e.stagedName)), "") << e.id;
    }
  }
}

}  // namespace
}  // namespace norvane
