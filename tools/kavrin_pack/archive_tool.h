// Building and checking a payload archive: the 35 payloads back to back in
// id order, each exactly its segment's length.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace norvane::pack {

// Called now and then during long work with bytes done and bytes in all.
using Progress = std::function<void(std::int64_t done, std::int64_t total, int componentId)>;

struct Outcome {
  bool ok = true;
  std::vector<std::string> lines;  // one per problem, or per component for verify
};

// Checks every payload in folder (under its staged name) against its
// segment, and each ZIP payload for the paths its commands name, then
// writes the archive to a temporary file beside output and renames it into
// place. On any problem nothing is written. Runs of zeros are skipped, so
// the archive is sparse where the payloads are.
Outcome packArchive(const std::string& folder, const std::string& output,
                    const Progress& progress = {});

// Length, and every ZIP payload opening from its place in the archive with
// every path its commands name; installers start with their file magic.
Outcome verifyArchive(const std::string& archive, const Progress& progress = {});

}  // namespace norvane::pack
