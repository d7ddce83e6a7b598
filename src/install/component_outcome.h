// What became of each component: installed, already present, installed
// with a restart needed, or failed at a named step for a short reason.
#pragma once

#include <cstdint>
#include <string>

#include "catalogue/catalogue.h"
#include "install/install_component.h"

namespace norvane {

enum class Outcome { Installed, AlreadyPresent, RestartNeeded, Failed };
enum class FailedStep { None, Staging, Extraction, Start, ExitCode };

// How one family of installers reports through its exit code.
enum class InstallerFamily { WindowsInstaller, VisualCpp, DotNet, DirectX, Other };

struct ComponentOutcome {
  ComponentId id = 0;
  Outcome outcome = Outcome::Installed;
  FailedStep step = FailedStep::None;
  std::uint32_t code = 0;  // the exit code or error behind a failure
  std::string reason;      // short, for the finish page; empty unless failed
};

InstallerFamily familyOf(ComponentId id, const CommandTemplate& command);

// One exit code read by its family's table.
Outcome interpretExitCode(InstallerFamily family, std::uint32_t code);

// The first step that failed decides; otherwise a restart needed by any
// installer, otherwise "already present" when every installer said so.
ComponentOutcome outcomeOf(const ComponentReport& report);

// Every queued component failed to start: the worker never ran.
ComponentOutcome notStarted(ComponentId id);

}  // namespace norvane
