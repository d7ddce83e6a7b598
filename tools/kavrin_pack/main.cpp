// kavrin-pack: builds the payload archive from a folder of payloads, or
// checks one.
//   kavrin-pack pack FOLDER -o Kavrin.cab
//   kavrin-pack verify Kavrin.cab
#include <cstdio>
#include <cstring>
#include <string>

#include "archive_tool.h"

namespace {

void showProgress(std::int64_t done, std::int64_t total, int id) {
  std::fprintf(stderr, "\r%lld/%lld MiB (component %d)   ", static_cast<long long>(done >> 20),
               static_cast<long long>(total >> 20), id);
  if (done >= total) std::fputc('\n', stderr);
}

int usage() {
  std::fprintf(stderr,
               "usage: kavrin-pack pack FOLDER -o Kavrin.cab\n"
               "       kavrin-pack verify Kavrin.cab\n");
  return 2;
}

int report(const norvane::pack::Outcome& outcome) {
  for (const std::string& line : outcome.lines) {
    std::fprintf(outcome.ok ? stdout : stderr, "%s\n", line.c_str());
  }
  return outcome.ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "pack") == 0 && std::strcmp(argv[3], "-o") == 0) {
    return report(norvane::pack::packArchive(argv[2], argv[4], showProgress));
  }
  if (argc == 3 && std::strcmp(argv[1], "verify") == 0) {
    const auto outcome = norvane::pack::verifyArchive(argv[2], {});
    for (const std::string& line : outcome.lines) std::printf("%s\n", line.c_str());
    return outcome.ok ? 0 : 1;
  }
  return usage();
}
