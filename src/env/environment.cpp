#include "env/environment.h"

#include <charconv>

namespace norvane {

namespace {

constexpr double kLowestAccepted = 5.05;
constexpr double kOlderNewerSplit = 5.15;
constexpr double kTolerance = 0.0000001;

}  // namespace

OsProfile probeEnvironment(Os& os) {
  OsProfile profile;
  const auto version = os.windowsVersion();
  const WindowsVersion v = version.ok() ? version.value : WindowsVersion{};
  profile.versionText = std::to_string(v.major) + "." + std::to_string(v.minor);
  profile.is32Bit = !os.windowsIs64Bit();
  return profile;
}

double versionValue(const std::string& versionText) {
  // from_chars: the nearest float, whatever the C locale's decimal point.
  float value = 0.0F;
  std::from_chars(versionText.data(), versionText.data() + versionText.size(), value);
  return static_cast<double>(value);
}

ClassifyOutcome classifyOs(const OsProfile& profile) {
  const double v = versionValue(profile.versionText);
  if (v - kLowestAccepted < -kTolerance) return {Classification::Refused, {}};
  const double d = v - kOlderNewerSplit;
  if (d > kTolerance) {
    return {Classification::Classified, profile.is32Bit ? OsClass::NewerX86 : OsClass::NewerX64};
  }
  if (d < -kTolerance) {
    return {Classification::Classified, profile.is32Bit ? OsClass::OlderX86 : OsClass::OlderX64};
  }
  return {Classification::NoClass, {}};
}

}  // namespace norvane
