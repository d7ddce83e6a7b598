#include "install/installer_command.h"

#include <gtest/gtest.h>

#include "install/run_installer.h"

namespace norvane {
namespace {

std::optional<std::string> lineFor(ComponentId id, std::size_t step, const std::string& workDir,
                                   bool is32Bit = true) {
  return interpreterCommandLine(
      makeInstallerCommand(entryFor(id)->commands[step], workDir, is32Bit));
}

TEST(InstallerCommand, BuildsBothFormsFromTheCatalogue) {
  const InstallerCommand vc2005 =
      makeInstallerCommand(entryFor(1)->commands[0], "C:\\T\\Kavrin\\", true);
  EXPECT_EQ(vc2005.program, "msiexec");
  EXPECT_EQ(vc2005.arguments,
            "/i \"C:\\T\\Kavrin\\VC2005_x86\\vcredist.msi\" /qn REBOOT=ReallySuppress");
  EXPECT_EQ(vc2005.arguments.size(), 66u);
  const InstallerCommand dx =
      makeInstallerCommand(entryFor(12)->commands[0], "C:\\T\\Kavrin\\", true);
  EXPECT_EQ(dx.program, "C:\\T\\Kavrin\\DX9c\\DXSETUP.exe");
  EXPECT_EQ(dx.arguments, "/silent");
}

TEST(InstallerCommand, CommandLinesAsTheInterpreterGetsThem) {
  const std::string wd = "C:\\T\\Kavrin\\";
  const std::string xp = "C:\\Documents and Settings\\u\\Local Settings\\Temp\\\\Kavrin\\";
  struct Case {
    ComponentId id;
    std::size_t step;
    std::string workDir;
    bool is32Bit;
    std::string expected;
  };
  const Case cases[] = {
      {1, 0, wd, true,
       "cmd.exe /d /c msiexec /i \"C:\\T\\Kavrin\\VC2005_x86\\vcredist.msi\" /qn "
       "REBOOT=ReallySuppress"},
      {3, 0, wd, true, "cmd.exe /d /c msiexec /i \"C:\\T\\Kavrin\\VC2008_x86\\vc_red.msi\" /qn"},
      {12, 0, wd, true, "cmd.exe /d /c C:\\T\\Kavrin\\DX9c\\DXSETUP.exe /silent"},
      {22, 0, wd, true, "cmd.exe /d /c C:\\T\\Kavrin\\vjredistx86.exe /q:a /c:\"install.exe /q\""},
      {23, 0, wd, false, "cmd.exe /d /c C:\\T\\Kavrin\\vjredistx64.exe /q:a /c:\"install.exe /q\""},
      {35, 0, wd, true, "cmd.exe /d /c msiexec /i \"C:\\T\\Kavrin\\xlive\\xliveredist.msi\" /qn"},
      {35, 2, wd, true, "cmd.exe /d /c msiexec /i \"C:\\T\\Kavrin\\xlive\\wllogin_32.msi\" /qn"},
      {35, 2, wd, false, "cmd.exe /d /c msiexec /i \"C:\\T\\Kavrin\\xlive\\wllogin_64.msi\" /qn"},
      // A blank in the folder: the program is quoted and /s strips the outer pair.
      {11, 0, xp, true, "cmd.exe /d /s /c \"\"" + xp + "VB6.exe\" /silent /norestart\""},
      {22, 0, xp, true,
       "cmd.exe /d /s /c \"\"" + xp + "vjredistx86.exe\" /q:a /c:\"install.exe /q\"\""},
      {3, 0, xp, true, "cmd.exe /d /c msiexec /i \"" + xp + "VC2008_x86\\vc_red.msi\" /qn"},
      {12, 0, "C:\\A&B(1)^x,y;z=w\\", true,
       "cmd.exe /d /s /c \"\"C:\\A&B(1)^x,y;z=w\\DX9c\\DXSETUP.exe\" /silent\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(lineFor(c.id, c.step, c.workDir, c.is32Bit), c.expected) << c.id << "/" << c.step;
  }
}

TEST(InstallerCommand, TextAfterSlashCNeverStartsWithAQuoteUnlessSlashSStripsIt) {
  for (const ComponentEntry& e : allComponents()) {
    for (std::size_t step = 0; step < e.commands.size(); ++step) {
      for (const std::string wd : {"C:\\T\\Kavrin\\", "C:\\a b\\Kavrin\\"}) {
        const auto line = lineFor(e.id, step, wd);
        ASSERT_TRUE(line.has_value());
        const std::string after = line->substr(line->find("/c ") + 3);
        EXPECT_EQ(after.front() == '"', line->find(" /s ") != std::string::npos) << *line;
      }
    }
  }
}

TEST(InstallerCommand, PercentOrBangIsRefused) {
  for (const std::string wd :
       {"C:\\Users\\100%\\Temp\\\\Kavrin\\", "C:\\Users\\Hi!\\Temp\\\\Kavrin\\"}) {
    EXPECT_FALSE(lineFor(12, 0, wd).has_value()) << wd;
    EXPECT_FALSE(lineFor(3, 0, wd).has_value()) << wd;
  }
}

}  // namespace
}  // namespace norvane
