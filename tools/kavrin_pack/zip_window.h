// minizip reading a ZIP that lies at an offset inside a larger file.
#pragma once

#include <minizip/unzip.h>

#include <cstdint>
#include <string>

namespace norvane::pack {

// Opens the ZIP occupying [offset, offset + length) of path; null on failure.
unzFile openZipWindow(const std::string& path, std::int64_t offset, std::int64_t length);

// The first of the ZIP's entry names that equals name ignoring case ("/" and
// "\" alike), as Windows would find it on disk; false if none.
bool zipHolds(unzFile zip, const std::string& name);

}  // namespace norvane::pack
