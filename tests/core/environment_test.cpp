#include "env/environment.h"

#include <gtest/gtest.h>

#include "support/platform.h"
#include "support/test_os.h"

namespace norvane {
namespace {

using C = Classification;

TEST(Environment, ClassificationOverTheEdgeCases) {
  struct Case {
    const char* version;
    C kind;
    OsClass x64;
    OsClass x86;
  };
  const Case cases[] = {
      {"0.0", C::Refused, {}, {}},
      {"4.0", C::Refused, {}, {}},
      {"4.10", C::Refused, {}, {}},
      {"4.90", C::Refused, {}, {}},
      {"5.0", C::Refused, {}, {}},
      // 5.0500001907... in single precision: not below 5.05 by the tolerance.
      {"5.05", C::Classified, OsClass::OlderX64, OsClass::OlderX86},
      {"5.1", C::Classified, OsClass::OlderX64, OsClass::OlderX86},
      // 5.1500000953...: within the tolerance of the split.
      {"5.15", C::NoClass, {}, {}},
      {"5.2", C::Classified, OsClass::NewerX64, OsClass::NewerX86},
      {"6.0", C::Classified, OsClass::NewerX64, OsClass::NewerX86},
      {"6.1", C::Classified, OsClass::NewerX64, OsClass::NewerX86},
      {"6.2", C::Classified, OsClass::NewerX64, OsClass::NewerX86},
      {"6.3", C::Classified, OsClass::NewerX64, OsClass::NewerX86},
      {"10.0", C::Classified, OsClass::NewerX64, OsClass::NewerX86},
  };
  for (const Case& c : cases) {
    for (bool is32Bit : {false, true}) {
      const ClassifyOutcome r = classifyOs({c.version, is32Bit});
      EXPECT_EQ(r.kind, c.kind) << c.version << " 32-bit " << is32Bit;
      if (c.kind == C::Classified) {
        EXPECT_EQ(r.osClass, is32Bit ? c.x86 : c.x64) << c.version << " 32-bit " << is32Bit;
      }
    }
  }
}

TEST(Environment, VersionValueIsSinglePrecision) {
  EXPECT_EQ(versionValue("5.05"), static_cast<double>(5.05F));
  EXPECT_GT(versionValue("5.05"), 5.05);
  EXPECT_EQ(versionValue("10.0"), 10.0);
  EXPECT_EQ(versionValue("0.0"), 0.0);
}

TEST(Environment, ProbeReadsVersionAndBitnessAndSurvivesFailedQueries) {
  testing::TestOs os(testing::platformOs());
  os.pretendWindows({{6, 1}, kOsOk}, true);
  OsProfile p = probeEnvironment(os);
  EXPECT_EQ(p.versionText, "6.1");
  EXPECT_FALSE(p.is32Bit);
  os.pretendWindows({{10, 0}, kOsOk}, false);
  EXPECT_EQ(probeEnvironment(os).versionText, "10.0");
  EXPECT_TRUE(probeEnvironment(os).is32Bit);

  os.failCall("version", 0, 5);
  p = probeEnvironment(os);
  EXPECT_EQ(p.versionText, "0.0");
  EXPECT_EQ(classifyOs(p).kind, C::Refused);
  os.clearFaults();
  os.pretendWindows({{5, 1}, kOsOk}, true);
  os.failCall("wow64", 0, 5);
  EXPECT_TRUE(probeEnvironment(os).is32Bit) << "a failed bitness query counts as 32-bit";
}

}  // namespace
}  // namespace norvane
