// The payload archive: all vendor payloads back to back, no header. Opening
// it for a run and staging one component's bytes out of it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/catalogue.h"
#include "os/os_handles.h"

namespace norvane {

inline constexpr std::string_view kPayloadArchiveName = "Kavrin.cab";

// The archive's place: the program's folder (no trailing separator) + "\Kavrin.cab".
std::string payloadArchivePath(std::string_view programFolder);

// Read-only and exclusive: while the run holds it, no other opener succeeds,
// and the open fails if anyone else holds the file. Invalid on failure.
OpenedFile openPayloadArchive(Os& os, const std::string& archivePath);

struct StageResult {
  std::int64_t bytesWritten = 0;  // what the staged file holds afterwards
  OsError firstError = kOsOk;
};

// Copies a segment into stagedPath, replacing any file there. Each chunk is
// read whole into one buffer that is released before the next, so memory
// held stays one chunk however long the payload. A short or unreadable
// archive gives a short or empty staged file, never garbage.
StageResult copySegment(Os& os, const OsFile& archive, const ArchiveSegment& segment,
                        const std::string& stagedPath);

}  // namespace norvane
