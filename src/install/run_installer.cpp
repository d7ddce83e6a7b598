#include "install/run_installer.h"

#include "os/paths.h"

namespace norvane {

namespace {

bool needsQuotes(const std::string& program) {
  return program.find_first_of(" &()^,;=") != std::string::npos;
}

}  // namespace

bool interpreterExpands(std::string_view text) {
  return text.find_first_of("%!") != std::string_view::npos;
}

std::optional<std::string> interpreterCommandLine(const InstallerCommand& command) {
  if (interpreterExpands(command.program) || interpreterExpands(command.arguments)) {
    return std::nullopt;
  }
  if (!needsQuotes(command.program)) {
    return "cmd.exe /d /c " + command.program + " " + command.arguments;
  }
  return "cmd.exe /d /s /c \"\"" + command.program + "\" " + command.arguments + "\"";
}

InstallerOutcome runInstaller(Os& os, const InstallerCommand& command) {
  InstallerOutcome outcome;
  const auto line = interpreterCommandLine(command);
  if (!line) {
    outcome.process = {false, 0, kErrUnsafeCommandLine};
    return outcome;
  }
  outcome.commandLine = *line;
  const std::string systemDir = os.systemDirectory();
  // Without the system folder the interpreter would be looked up relative
  // to wherever we are: refuse instead.
  if (systemDir.empty()) {
    outcome.process = {false, 0, kErrRefusedPath};
    return outcome;
  }
  outcome.process = os.runHiddenAndWait(joinPath(systemDir, "cmd.exe"), *line, systemDir);
  return outcome;
}

}  // namespace norvane
