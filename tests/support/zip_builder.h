// Builds small ZIP archives in memory, including malformed ones that no
// ordinary packer would write, to show how extraction treats them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace norvane::testing {

struct ZipEntrySpec {
  std::string name;
  std::string data;
  std::uint16_t method = 8;  // 0 stored, 8 deflated, anything else as given
  std::uint32_t externalAttributes = 0;
  std::uint16_t flags = 0;
  std::optional<std::uint32_t> crcOverride;
  std::optional<std::uint32_t> declaredSizeOverride;
};

// An archive as its entries, a run of zero bytes that nothing refers to,
// and the central directory: padded so, a ZIP can fill a payload segment of
// any length while only head and tail need writing (the gap stays sparse).
struct ZipImage {
  std::string head;
  std::uint64_t gap = 0;
  std::string tail;
  std::uint64_t size() const { return head.size() + gap + tail.size(); }
};

ZipImage buildZipImage(const std::vector<ZipEntrySpec>& entries, std::uint64_t totalLength = 0);
std::string buildZip(const std::vector<ZipEntrySpec>& entries);

inline ZipEntrySpec fileEntry(std::string name, std::string data, std::uint16_t method = 8) {
  return {std::move(name), std::move(data), method, 0x20, 0, {}, {}};
}
inline ZipEntrySpec dirEntry(std::string name) { return {std::move(name), {}, 0, 0x10, 0, {}, {}}; }

}  // namespace norvane::testing
