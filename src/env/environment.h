// Which Windows this is, and which group of systems it falls into: that
// decides the components offered and the package of one of them.
#pragma once

#include <string>

#include "os/os.h"

namespace norvane {

struct OsProfile {
  std::string versionText;  // "major.minor", e.g. "6.1"; "0.0" when the query failed
  bool is32Bit = true;      // false on a 64-bit Windows
};

enum class OsClass { NewerX64, OlderX64, NewerX86, OlderX86 };

enum class Classification { Refused, Classified, NoClass };

struct ClassifyOutcome {
  Classification kind = Classification::NoClass;
  OsClass osClass = OsClass::NewerX86;  // meaningful when kind is Classified
};

// Asks the version first and the bitness last. A failed version query
// gives "0.0"; a failed bitness query counts as 32-bit.
OsProfile probeEnvironment(Os& os);

// The version text read as a decimal number into single precision and
// widened to double, as the classification compares it.
double versionValue(const std::string& versionText);

// Below 5.05 is refused; above 5.15 Newer, below Older (each within a
// tolerance of 1e-7); within the tolerance of 5.15 no class at all.
ClassifyOutcome classifyOs(const OsProfile& profile);

}  // namespace norvane
