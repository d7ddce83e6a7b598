// One installer run in the form the command interpreter is given it.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/catalogue.h"

namespace norvane {

struct InstallerCommand {
  std::string program;    // "msiexec", or the staged program's full path
  std::string arguments;  // passed on unchanged, its own quotes included
};

// Puts the work directory (which ends in a separator) into a catalogue
// command; path64 replaces path on 64-bit Windows where it is set.
InstallerCommand makeInstallerCommand(const CommandTemplate& command,
                                      std::string_view workDirectory, bool is32Bit);

}  // namespace norvane
