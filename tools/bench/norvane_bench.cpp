// Measures the engine's staging and extraction on this machine, for the
// benchmark script: each subcommand prints "seconds bytes peak_rss_kib".
//   norvane-bench stage ARCHIVE WORKDIR [ID...]   copySegment of the ids (all by default)
//   norvane-bench copy ARCHIVE WORKDIR [ID...]    one buffered copy loop of the same bytes
//   norvane-bench extract ZIP DEST                extractZip
//   norvane-bench idle                            the process's own footprint
//   norvane-bench segments                        "id offset length" per component
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/payload_archive.h"
#include "archive/zip_extract.h"
#include "catalogue/catalogue.h"
#include "os/posix_os.h"

namespace {

using namespace norvane;
using Clock = std::chrono::steady_clock;

long peakRssKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

std::vector<ComponentId> idsFrom(int argc, char** argv, int first) {
  std::vector<ComponentId> ids;
  for (int i = first; i < argc; ++i) ids.push_back(std::atoi(argv[i]));
  if (ids.empty()) {
    for (const ComponentEntry& e : allComponents()) ids.push_back(e.id);
  }
  return ids;
}

int report(Clock::time_point start, std::int64_t bytes) {
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("%.6f %lld %ld\n", seconds, static_cast<long long>(bytes), peakRssKib());
  return 0;
}

int stage(const std::string& archive, const std::string& work,
          const std::vector<ComponentId>& ids) {
  PosixOs os("/nonexistent", "/tmp/norvane-bench-registry");
  OpenedFile a = openPayloadArchive(os, archive);
  if (!a.file.valid()) return 1;
  std::int64_t bytes = 0;
  const auto start = Clock::now();
  for (ComponentId id : ids) {
    const ComponentEntry& e = *entryFor(id);
    bytes +=
        copySegment(os, a.file, e.segment, work + "/" + std::string(e.stagedName)).bytesWritten;
  }
  return report(start, bytes);
}

// What a maintainer would write without thinking twice: one 1 MiB buffer.
int copyLoop(const std::string& archive, const std::string& work,
             const std::vector<ComponentId>& ids) {
  std::FILE* in = std::fopen(archive.c_str(), "rb");
  if (in == nullptr) return 1;
  std::vector<char> buffer(1 << 20);
  std::int64_t bytes = 0;
  const auto start = Clock::now();
  for (ComponentId id : ids) {
    const ComponentEntry& e = *entryFor(id);
    std::FILE* out = std::fopen((work + "/" + std::string(e.stagedName)).c_str(), "wb");
    fseeko(in, e.segment.offset, SEEK_SET);
    for (std::int64_t left = e.segment.length(); left > 0;) {
      const auto want = static_cast<std::size_t>(std::min<std::int64_t>(left, 1 << 20));
      const std::size_t got = std::fread(buffer.data(), 1, want, in);
      if (got == 0) break;
      std::fwrite(buffer.data(), 1, got, out);
      left -= static_cast<std::int64_t>(got);
      bytes += static_cast<std::int64_t>(got);
    }
    std::fclose(out);
  }
  std::fclose(in);
  return report(start, bytes);
}

int extract(const std::string& zip, const std::string& dest) {
  PosixOs os("/nonexistent", "/tmp/norvane-bench-registry");
  const auto start = Clock::now();
  const ExtractResult r = extractZip(os, zip, dest);
  if (!r.ok) {
    std::fprintf(stderr, "extraction failed: %s %s\n", r.reason.c_str(), r.failedEntry.c_str());
    return 1;
  }
  std::int64_t bytes = 0;
  for (const auto& f : std::filesystem::recursive_directory_iterator(dest)) {
    if (f.is_regular_file()) bytes += static_cast<std::int64_t>(f.file_size());
  }
  return report(start, bytes);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "stage" && argc >= 4) return stage(argv[2], argv[3], idsFrom(argc, argv, 4));
  if (command == "copy" && argc >= 4) return copyLoop(argv[2], argv[3], idsFrom(argc, argv, 4));
  if (command == "extract" && argc == 4) return extract(argv[2], argv[3]);
  if (command == "idle") return report(Clock::now(), 0);
  if (command == "segments") {
    for (const ComponentEntry& e : allComponents()) {
      std::printf("%d %d %lld\n", e.id, e.segment.offset,
                  static_cast<long long>(e.segment.length()));
    }
    return 0;
  }
  std::fprintf(
      stderr,
      "usage: norvane-bench stage|copy ARCHIVE WORKDIR [ID...] | extract ZIP DEST | idle\n");
  return 2;
}
