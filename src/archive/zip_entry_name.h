// Whether a ZIP entry's stored name may be written below the destination
// folder. Names are rejected rather than repaired: a payload that needs
// repair is not the payload we shipped.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace norvane {

struct SafeEntryName {
  std::string relativePath;  // "\" between names, no trailing separator
  bool endsWithSeparator = false;
};

// The name with "/" turned into "\", or nothing when it could reach outside
// the folder or name something that is not a plain file: empty, rooted,
// any colon (drive letters, alternate data streams), "." or ".." parts,
// empty parts, parts ending in a dot or blank, control characters,
// * ? " < > |, or a device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or
// without extension) as any part. One trailing separator, as directory
// entries carry, is allowed.
std::optional<SafeEntryName> checkEntryName(std::string_view storedName);

}  // namespace norvane
