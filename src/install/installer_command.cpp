#include "install/installer_command.h"

namespace norvane {

InstallerCommand makeInstallerCommand(const CommandTemplate& command,
                                      std::string_view workDirectory, bool is32Bit) {
  const std::string_view path = !command.path64.empty() && !is32Bit ? command.path64 : command.path;
  std::string full(workDirectory);
  full += path;
  if (command.kind == CommandKind::msi) {
    return {"msiexec", "/i \"" + full + "\" " + std::string(command.switches)};
  }
  return {std::move(full), std::string(command.switches)};
}

}  // namespace norvane
