// Installs one catalogue entry end to end: caption, staging, unpacking,
// installers in order, clean-up and the entry's extra action.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/payload_archive.h"
#include "archive/zip_extract.h"
#include "catalogue/catalogue.h"
#include "install/run_installer.h"
#include "os/os_handles.h"

namespace norvane {

using StatusTextReceiver = std::function<void(std::string_view)>;

// What happened, step by step. The run goes on whatever it says; it is here
// so the finish page and the tests can tell success from failure.
struct ComponentReport {
  ComponentId id = 0;
  StageResult staging;
  std::optional<ExtractResult> extraction;  // ZIP payloads only
  std::vector<InstallerOutcome> installers;
  OsError registryError = kOsOk;
};

ComponentReport installComponent(Os& os, ComponentId id, const OsFile& archive,
                                 const std::string& workDirectory, bool is32Bit,
                                 const StatusTextReceiver& setStatusText);

}  // namespace norvane
