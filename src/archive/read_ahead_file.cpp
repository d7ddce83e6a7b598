#include "archive/read_ahead_file.h"

#include <algorithm>
#include <cstring>

namespace norvane {

std::size_t ReadAheadFile::readThrough(std::int64_t offset, void* out, std::size_t size) {
  if (const auto at = os_.seek(file_, offset, SeekFrom::Begin); !at.ok()) {
    lastError_ = at.error;
    return 0;
  }
  auto r = os_.read(file_, out, size);
  if (!r.ok()) {
    lastError_ = r.error;
    return 0;
  }
  return r.value;
}

std::size_t ReadAheadFile::readAt(std::int64_t offset, void* out, std::size_t size) {
  lastError_ = kOsOk;
  auto* to = static_cast<char*>(out);
  std::size_t done = 0;
  while (done < size) {
    const std::int64_t at = offset + static_cast<std::int64_t>(done);
    const auto holding = std::find_if(windows_.begin(), windows_.end(), [at](const Window& w) {
      return at >= w.start && at < w.start + static_cast<std::int64_t>(w.length);
    });
    if (holding != windows_.end()) {
      const auto inWindow = static_cast<std::size_t>(at - holding->start);
      const std::size_t n = std::min(size - done, holding->length - inWindow);
      std::memcpy(to + done, holding->bytes.data() + inWindow, n);
      holding->lastUse = ++uses_;
      done += n;
      continue;
    }
    if (size - done >= kWindow) {  // large reads go straight through
      done += readThrough(at, to + done, size - done);
      break;
    }
    Window& w =
        *std::min_element(windows_.begin(), windows_.end(),
                          [](const Window& a, const Window& b) { return a.lastUse < b.lastUse; });
    if (w.bytes.empty()) w.bytes.resize(kWindow);
    w.start = at;
    w.length = readThrough(at, w.bytes.data(), kWindow);
    w.lastUse = ++uses_;
    if (w.length == 0) break;
  }
  return done;
}

}  // namespace norvane
