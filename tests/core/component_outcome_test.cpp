#include "install/component_outcome.h"

#include <gtest/gtest.h>

#include "install/install_run.h"
#include "support/platform.h"
#include "support/stand_in_archive.h"
#include "support/test_os.h"
#include "ui/finish_summary.h"

namespace norvane {
namespace {

using F = InstallerFamily;
using O = Outcome;

TEST(ExitCodes, EachFamilyByItsTable) {
  struct Case {
    F family;
    std::uint32_t code;
    O outcome;
  };
  const std::uint32_t minus9 = static_cast<std::uint32_t>(-9);
  const Case cases[] = {
      {F::WindowsInstaller, 0, O::Installed},
      {F::WindowsInstaller, 3010, O::RestartNeeded},
      {F::WindowsInstaller, 1641, O::RestartNeeded},
      {F::WindowsInstaller, 1638, O::AlreadyPresent},
      {F::WindowsInstaller, 1618, O::Failed},
      {F::WindowsInstaller, 1603, O::Failed},
      {F::WindowsInstaller, 5100, O::Failed},
      {F::VisualCpp, 0, O::Installed},
      {F::VisualCpp, 3010, O::RestartNeeded},
      {F::VisualCpp, 1638, O::AlreadyPresent},
      {F::VisualCpp, 5100, O::AlreadyPresent},
      {F::VisualCpp, 1641, O::Failed},
      {F::VisualCpp, 1603, O::Failed},
      {F::DotNet, 0, O::Installed},
      {F::DotNet, 3010, O::RestartNeeded},
      {F::DotNet, 1641, O::RestartNeeded},
      {F::DotNet, 5100, O::Failed},
      {F::DotNet, 1638, O::Failed},
      {F::DirectX, 0, O::Installed},
      {F::DirectX, 1, O::RestartNeeded},
      {F::DirectX, minus9, O::Failed},
      {F::DirectX, 0x80000000u, O::Failed},
      {F::Other, 0, O::Installed},
      {F::Other, 1, O::Failed},
      {F::Other, 3010, O::Failed},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(interpretExitCode(c.family, c.code), c.outcome)
        << static_cast<int>(c.family) << " " << c.code;
  }
}

TEST(ExitCodes, FamilyOfEachInstaller) {
  const auto familyOfFirst = [](ComponentId id) { return familyOf(id, entryFor(id)->commands[0]); };
  EXPECT_EQ(familyOfFirst(1), F::WindowsInstaller);
  EXPECT_EQ(familyOfFirst(18), F::WindowsInstaller);
  for (ComponentId id : {5, 6, 7, 8, 9, 10}) EXPECT_EQ(familyOfFirst(id), F::VisualCpp) << id;
  for (ComponentId id : {13, 14, 16, 17, 21, 22, 23}) EXPECT_EQ(familyOfFirst(id), F::DotNet) << id;
  EXPECT_EQ(familyOfFirst(12), F::DirectX);
  for (ComponentId id : {11, 26, 27, 29, 30, 32, 33, 34})
    EXPECT_EQ(familyOfFirst(id), F::Other) << id;
}

// A run in which staging, extraction, start and an exit code each fail once.
TEST(Outcomes, EachFailingStepIsNamed) {
  testing::TempDir dir;
  testing::StandInArchive archive(dir / "Kavrin.cab");
  archive.placeZip(12, {testing::fileEntry("DXSETUP.exe", "x")});
  archive.placeZip(24, {testing::fileEntry("msxml6_sp1_x86.msi", "x")});
  const std::string work = dir.path() + "\\\\Kavrin\\";
  testing::platformOs().createDirectory(work);
  testing::TestOs os(testing::platformOs());
  os.failCall("read " + archive.path(), 1, 23);              // the first component's staging
  os.failCall("create " + work + "msxml6_sp2_x86\\", 1, 5);  // 24's extraction
  os.fakeProcesses([](const std::string& line) {
    if (line.find("SteamSetup") != std::string::npos) return ProcessOutcome{false, 0, 2};
    if (line.find("oalinst") != std::string::npos) return ProcessOutcome{true, 1603, kOsOk};
    if (line.find("VC2013_x86") != std::string::npos) return ProcessOutcome{true, 3010, kOsOk};
    if (line.find("VC2010_x86") != std::string::npos) return ProcessOutcome{true, 1638, kOsOk};
    return ProcessOutcome{true, 0, kOsOk};
  });
  struct Recorder final : ProgressSink {
    void setStatusText(std::string_view) override {}
    void setPercent(int) override {}
    void componentDone(const ComponentOutcome& o) override { outcomes.push_back(o); }
    void runFinished() override {}
    std::vector<ComponentOutcome> outcomes;
  } sink;
  InstallRun run;
  run.queue = {5, 9, 12, 24, 27, 32};
  run.archive = openPayloadArchive(os, archive.path()).file;
  runInstallQueue(os, run, {archive.path(), work, true}, sink);
  ASSERT_EQ(sink.outcomes.size(), 6u);
  const auto& o = sink.outcomes;
  EXPECT_EQ(o[0].step, FailedStep::Staging);
  EXPECT_EQ(o[0].code, 23u);
  EXPECT_EQ(o[1].outcome, Outcome::RestartNeeded);  // 9
  EXPECT_EQ(o[2].outcome, Outcome::Installed);      // 12
  EXPECT_EQ(o[3].step, FailedStep::Extraction);     // 24
  EXPECT_EQ(o[4].step, FailedStep::ExitCode);       // 27
  EXPECT_EQ(o[4].reason, "错误代码 1603");
  EXPECT_EQ(o[5].step, FailedStep::Start);  // 32
  EXPECT_EQ(o[5].reason, "无法启动安装程序");

  const std::string summary = finishSummary(o, {});
  EXPECT_EQ(
      summary,
      "4 个组件未能安装：\r\nVisual C++ 2010 运行库(x86) 10.0.40219.455：安装文件读取不完整\r\n"
      "Microsoft XML Core Services 6.0 sp2 x86：解压失败\r\n……等 4 项\r\n其余 2 个组件已安装。\r\n"
      "需重新启动计算机后生效：Visual C++ 2013 运行库(x86) 12.0.21005.1");
}

TEST(Outcomes, AnInstallerWhoseEndCannotBeReadFailed) {
  ComponentReport report;
  report.id = 5;
  report.staging.bytesWritten = entryFor(5)->segment.length();
  // Started, then the wait failed: the exit code 0 beside it means nothing.
  report.installers.push_back({"cmd.exe /d /c VC2010_x86.exe", {true, 0, 6}});
  const ComponentOutcome o = outcomeOf(report);
  EXPECT_EQ(o.outcome, Outcome::Failed);
  EXPECT_EQ(o.step, FailedStep::ExitCode);
  EXPECT_EQ(o.code, 6u);
  report.installers.back().process.error = kOsOk;
  EXPECT_EQ(outcomeOf(report).outcome, Outcome::Installed);
}

TEST(FinishSummary, WhatTheFinishPageSays) {
  const auto done = [](ComponentId id, Outcome o) {
    return ComponentOutcome{id, o, FailedStep::None, 0, ""};
  };
  EXPECT_EQ(finishSummary({}, {}), "");
  EXPECT_EQ(finishSummary({done(1, Outcome::Installed), done(12, Outcome::Installed)}, {}),
            "所选的 2 个组件均已安装完成。");
  EXPECT_EQ(finishSummary({done(1, Outcome::Installed), done(5, Outcome::AlreadyPresent)}, {}),
            "所选的 2 个组件均已安装完成（其中 1 个已是相同或更新的版本）。");
  EXPECT_EQ(finishSummary({done(15, Outcome::RestartNeeded), done(16, Outcome::RestartNeeded),
                           done(17, Outcome::RestartNeeded), done(28, Outcome::RestartNeeded)},
                          {}),
            "所选的 4 个组件均已安装完成。\r\n需重新启动计算机后生效：Microsoft .NET Framework 3.5 "
            "sp1(含2.0/3.0)、Microsoft .NET Framework 4.0、Microsoft .NET Framework 4.6……等 4 项");
  const ComponentOutcome failed{26, Outcome::Failed, FailedStep::ExitCode, 1603, "错误代码 1603"};
  EXPECT_EQ(
      finishSummary({done(5, Outcome::AlreadyPresent), failed, done(1, Outcome::Installed)}, {}),
      "1 个组件未能安装：\r\nRapture3D 2.6.5 Game：错误代码 1603\r\n"
      "其余 2 个组件已安装（其中 1 个已是相同或更新的版本）。")
      << "already present is still told when something failed";
}

// The label holds what the window says it holds: the account gives up
// detail until it fits, and ends at its shortest when nothing does.
TEST(FinishSummary, GivesUpDetailUntilItFits) {
  std::vector<ComponentOutcome> outcomes;
  for (ComponentId id : {1, 2, 3}) {
    outcomes.push_back({id, Outcome::Failed, FailedStep::ExitCode, 1603, "错误代码 1603"});
  }
  for (ComponentId id : {15, 16, 17}) {
    outcomes.push_back({id, Outcome::RestartNeeded, FailedStep::None, 0, ""});
  }
  outcomes.push_back({5, Outcome::AlreadyPresent, FailedStep::None, 0, ""});
  const auto atMost = [](std::size_t bytes) {
    return [bytes](std::string_view text) { return text.size() <= bytes; };
  };
  const std::string full = finishSummary(outcomes, {});
  EXPECT_EQ(finishSummary(outcomes, atMost(full.size())), full);
  const std::string shorter = finishSummary(outcomes, atMost(full.size() - 1));
  EXPECT_LT(shorter.size(), full.size());
  EXPECT_NE(shorter.find("……等 3 项"), std::string::npos) << shorter;
  const std::string shortest = finishSummary(outcomes, [](std::string_view) { return false; });
  EXPECT_EQ(shortest,
            "3 个组件未能安装。\r\n其余 4 个组件已安装。\r\n需重新启动计算机后生效：3 个组件");
  for (std::size_t limit = shortest.size(); limit <= full.size(); ++limit) {
    EXPECT_LE(finishSummary(outcomes, atMost(limit)).size(), limit);
  }
}

}  // namespace
}  // namespace norvane
