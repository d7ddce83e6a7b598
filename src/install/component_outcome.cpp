#include "install/component_outcome.h"

#include <array>

namespace norvane {

namespace {

struct CodeRule {
  InstallerFamily family;
  std::uint32_t code;
  Outcome outcome;
};

// Codes each family documents; any other code is a failure, and 0 is
// always success.
constexpr std::array kRules{
    CodeRule{InstallerFamily::WindowsInstaller, 3010, Outcome::RestartNeeded},
    CodeRule{InstallerFamily::WindowsInstaller, 1641, Outcome::RestartNeeded},
    CodeRule{InstallerFamily::WindowsInstaller, 1638, Outcome::AlreadyPresent},
    CodeRule{InstallerFamily::VisualCpp, 3010, Outcome::RestartNeeded},
    CodeRule{InstallerFamily::VisualCpp, 1638, Outcome::AlreadyPresent},
    CodeRule{InstallerFamily::VisualCpp, 5100, Outcome::AlreadyPresent},
    CodeRule{InstallerFamily::DotNet, 3010, Outcome::RestartNeeded},
    CodeRule{InstallerFamily::DotNet, 1641, Outcome::RestartNeeded},
    CodeRule{InstallerFamily::DirectX, 1, Outcome::RestartNeeded},
};

std::string exitReason(InstallerFamily family, std::uint32_t code) {
  if (code == 1618) return "另一个安装正在进行 (1618)";
  if (family == InstallerFamily::DotNet && code == 5100) return "系统不满足安装要求 (5100)";
  if (family == InstallerFamily::DirectX || static_cast<std::int32_t>(code) < 0) {
    return "错误代码 " + std::to_string(static_cast<std::int32_t>(code));
  }
  return "错误代码 " + std::to_string(code);
}

ComponentOutcome failed(ComponentId id, FailedStep step, std::uint32_t code, std::string reason) {
  return {id, Outcome::Failed, step, code, std::move(reason)};
}

}  // namespace

InstallerFamily familyOf(ComponentId id, const CommandTemplate& command) {
  if (command.kind == CommandKind::msi) return InstallerFamily::WindowsInstaller;
  if (id >= 5 && id <= 10) return InstallerFamily::VisualCpp;
  if (id == 12) return InstallerFamily::DirectX;
  // The .NET setups, and the F# and J# runtimes built on the same setup.
  if (id == 13 || id == 14 || id == 16 || id == 17 || (id >= 21 && id <= 23)) {
    return InstallerFamily::DotNet;
  }
  return InstallerFamily::Other;
}

Outcome interpretExitCode(InstallerFamily family, std::uint32_t code) {
  if (code == 0) return Outcome::Installed;
  for (const CodeRule& rule : kRules) {
    if (rule.family == family && rule.code == code) return rule.outcome;
  }
  return Outcome::Failed;
}

ComponentOutcome outcomeOf(const ComponentReport& report) {
  const ComponentEntry* entry = entryFor(report.id);
  if (entry == nullptr) return failed(report.id, FailedStep::None, 0, "未知组件");
  if (report.staging.bytesWritten < entry->segment.length()) {
    return failed(report.id, FailedStep::Staging, report.staging.firstError, "安装文件读取不完整");
  }
  if (report.extraction && !report.extraction->ok) {
    return failed(report.id, FailedStep::Extraction, report.extraction->error, "解压失败");
  }
  bool restart = false;
  bool allPresent = !report.installers.empty();
  for (std::size_t k = 0; k < report.installers.size(); ++k) {
    const InstallerOutcome& run = report.installers[k];
    if (!run.process.started) {
      return failed(report.id, FailedStep::Start, run.process.error,
                    run.process.error == kErrUnsafeCommandLine ? "路径含有无法传递的字符"
                                                               : "无法启动安装程序");
    }
    // Started, but the wait or the exit code failed: the code read is
    // meaningless, and 0 would pass for success.
    if (run.process.error != kOsOk) {
      return failed(report.id, FailedStep::ExitCode, run.process.error, "无法取得安装程序的结果");
    }
    const InstallerFamily family = familyOf(report.id, entry->commands[k]);
    switch (interpretExitCode(family, run.process.exitCode)) {
      case Outcome::Failed:
        return failed(report.id, FailedStep::ExitCode, run.process.exitCode,
                      exitReason(family, run.process.exitCode));
      case Outcome::RestartNeeded:
        restart = true;
        allPresent = false;
        break;
      case Outcome::Installed:
        allPresent = false;
        break;
      case Outcome::AlreadyPresent:
        break;
    }
  }
  ComponentOutcome out;
  out.id = report.id;
  out.outcome = restart      ? Outcome::RestartNeeded
                : allPresent ? Outcome::AlreadyPresent
                             : Outcome::Installed;
  return out;
}

ComponentOutcome notStarted(ComponentId id) {
  return failed(id, FailedStep::Start, 0, "安装线程无法启动");
}

}  // namespace norvane
