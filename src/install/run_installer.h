// Runs one installer hidden through the command interpreter and waits.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "install/installer_command.h"
#include "os/os.h"

namespace norvane {

// The text handed to the interpreter. /d keeps registry AutoRun commands
// from running in our (often elevated) context. A program path holding a
// blank or one of & ( ) ^ , ; = is quoted, and the whole command wrapped in
// one more pair that /s makes the interpreter strip, so the argument text
// keeps its own quotes. Nothing when the command holds % or !, which the
// interpreter would expand whatever the quoting.
std::optional<std::string> interpreterCommandLine(const InstallerCommand& command);

// Whether text holds % or !, which the interpreter expands in any quoting.
bool interpreterExpands(std::string_view text);

struct InstallerOutcome {
  std::string commandLine;  // as handed to the interpreter, empty if refused
  ProcessOutcome process;   // started, and the interpreter's (the installer's) exit code
};

// Starts the interpreter by its full path in the system folder, with the
// system folder as current folder, so no cmd.exe, msiexec.exe or script
// planted beside the wizard or in its current folder is ever run. Returns
// once the interpreter has ended.
InstallerOutcome runInstaller(Os& os, const InstallerCommand& command);

}  // namespace norvane
