#include "archive/payload_archive.h"

#include "os/paths.h"

namespace norvane {

std::string payloadArchivePath(std::string_view programFolder) {
  return std::string(withoutTrailingSeparators(programFolder)) + "\\" +
         std::string(kPayloadArchiveName);
}

OpenedFile openPayloadArchive(Os& os, const std::string& archivePath) {
  return openExistingFile(os, archivePath, FileAccess::Read, FileShare::None);
}

namespace {

void noteError(StageResult& r, OsError e) {
  if (r.firstError == kOsOk) r.firstError = e;
}

// Reads the next chunk at the archive's current position into a fresh
// buffer. A failed allocation or read yields nothing and parks the payload,
// so the rest of it yields nothing either instead of bytes from the wrong
// place; the next copy positions absolutely and is unaffected.
std::size_t readChunk(Os& os, const OsFile& archive, OsBuffer& buffer, StageResult& r,
                      bool& parked) {
  if (parked) return 0;
  if (!buffer) {
    noteError(r, kErrOutOfMemory);
    parked = true;
    return 0;
  }
  const auto got = os.read(archive.id(), buffer.data(), buffer.size());
  if (!got.ok()) {
    noteError(r, got.error);
    parked = true;
    return 0;
  }
  return got.value;
}

// After a failed write the staged file no longer ends where the next chunk
// belongs; appending more would make a file of plausible length holding
// bytes in the wrong places, so later chunks are dropped.
void writeChunk(Os& os, const OsFile& target, const OsBuffer& buffer, std::size_t n, StageResult& r,
                bool& writeFailed) {
  if (!target.valid() || n == 0 || writeFailed) return;
  const OsError e = os.write(target.id(), buffer.data(), n);
  if (e != kOsOk) {
    noteError(r, e);
    writeFailed = true;
    return;
  }
  r.bytesWritten += static_cast<std::int64_t>(n);
}

}  // namespace

StageResult copySegment(Os& os, const OsFile& archive, const ArchiveSegment& segment,
                        const std::string& stagedPath) {
  StageResult r;
  bool writeFailed = false;
  // Without an archive every read yields nothing.
  bool parked = !archive.valid();
  if (parked) noteError(r, kErrInvalidFile);
  const auto chunk = static_cast<std::size_t>(segment.chunkLength);
  if (!parked) {
    // Absolute positioning: no copy depends on where an earlier one stopped.
    // Where it fails, reading on would copy bytes from wherever the last
    // copy stopped; the payload is left empty instead.
    const auto pos = os.seek(archive.id(), segment.offset, SeekFrom::Begin);
    if (!pos.ok()) {
      noteError(r, pos.error);
      parked = true;
    }
  }
  {
    OsBuffer buffer(os, chunk);
    const std::size_t n = readChunk(os, archive, buffer, r, parked);
    OpenedFile staged = createTruncatedFile(os, stagedPath, FileShare::None);
    if (!staged.file.valid()) noteError(r, staged.error);
    writeChunk(os, staged.file, buffer, n, r, writeFailed);
    if (const OsError e = staged.file.close(); e != kOsOk) noteError(r, e);
  }
  if (segment.chunkCount <= 1) return r;

  OpenedFile staged = openExistingFile(os, stagedPath, FileAccess::ReadWrite, FileShare::All);
  if (staged.file.valid()) {
    const auto end = os.seek(staged.file.id(), 0, SeekFrom::End);
    if (!end.ok()) noteError(r, end.error);
  } else {
    noteError(r, staged.error);
  }
  for (std::int32_t k = 1; k < segment.chunkCount; ++k) {
    // Still read when the staged file is gone, so the archive position
    // stays where the next chunk of this payload would be.
    OsBuffer buffer(os, chunk);
    const std::size_t n = readChunk(os, archive, buffer, r, parked);
    writeChunk(os, staged.file, buffer, n, r, writeFailed);
  }
  if (const OsError e = staged.file.close(); e != kOsOk) noteError(r, e);
  return r;
}

}  // namespace norvane
