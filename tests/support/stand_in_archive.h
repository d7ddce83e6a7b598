// A payload archive of the real length and layout, written sparsely: only
// the bytes a test places are on disk.
#pragma once

#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "zip_builder.h"

namespace norvane::testing {

class StandInArchive {
 public:
  // Creates the file with the full archive length.
  explicit StandInArchive(std::string path);
  const std::string& path() const { return path_; }
  // An installer payload: data at the segment's start, zeros after it.
  void placeBytes(ComponentId id, const std::string& data);
  // A ZIP payload filling the segment exactly.
  void placeZip(ComponentId id, const std::vector<ZipEntrySpec>& entries);

 private:
  void writeAt(std::int64_t offset, const std::string& data);
  std::string path_;
};

}  // namespace norvane::testing
