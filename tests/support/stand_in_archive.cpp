#include "stand_in_archive.h"

#include <stdexcept>

#include "os/os_handles.h"
#include "platform.h"

namespace norvane::testing {

StandInArchive::StandInArchive(std::string path) : path_(std::move(path)) {
  writeSparseFile(path_, kPayloadArchiveLength);
}

void StandInArchive::writeAt(std::int64_t offset, const std::string& data) {
  Os& os = platformOs();
  OpenedFile f = openExistingFile(os, path_, FileAccess::ReadWrite, FileShare::None);
  if (!f.file.valid() || !os.seek(f.file.id(), offset, SeekFrom::Begin).ok() ||
      os.write(f.file.id(), data.data(), data.size()) != kOsOk) {
    throw std::runtime_error("cannot write the stand-in archive");
  }
}

void StandInArchive::placeBytes(ComponentId id, const std::string& data) {
  const ArchiveSegment s = entryFor(id)->segment;
  if (static_cast<std::int64_t>(data.size()) > s.length()) throw std::runtime_error("too long");
  writeAt(s.offset, data);
}

void StandInArchive::placeZip(ComponentId id, const std::vector<ZipEntrySpec>& entries) {
  const ArchiveSegment s = entryFor(id)->segment;
  const ZipImage image = buildZipImage(entries, static_cast<std::uint64_t>(s.length()));
  writeAt(s.offset, image.head);
  writeAt(s.end() - static_cast<std::int64_t>(image.tail.size()), image.tail);
}

}  // namespace norvane::testing
