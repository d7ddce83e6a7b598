// Unpacking a staged ZIP payload into its folder, entry by entry in
// central-directory order, streaming each entry in small pieces.
#pragma once

#include <cstdint>
#include <string>

#include "os/os.h"

namespace norvane {

struct ExtractResult {
  bool ok = false;
  std::int32_t entriesDone = 0;
  std::string failedEntry;  // stored name of the entry that stopped it, if any
  std::string reason;       // short English text, for logs and tests
  OsError error = kOsOk;
};

// Reads through the Os layer only, so paths are UTF-8 everywhere and tests
// can observe and break every step. Nothing ever lands outside
// destinationFolder: an unsafe entry name stops the extraction.
ExtractResult extractZip(Os& os, const std::string& zipPath, const std::string& destinationFolder);

}  // namespace norvane
