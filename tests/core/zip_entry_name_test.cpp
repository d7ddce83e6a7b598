#include "archive/zip_entry_name.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

TEST(ZipEntryName, AcceptsOrdinaryNamesWithBackslashes) {
  struct Case {
    const char* stored;
    const char* path;
    bool dir;
  };
  for (const Case& c : {Case{"setup.msi", "setup.msi", false}, Case{"sub/", "sub", true},
                        Case{"sub/setup.msi", "sub\\setup.msi", false},
                        Case{"dotLNG\\netfx20lp\\netfx20lpa_x86.msi",
                             "dotLNG\\netfx20lp\\netfx20lpa_x86.msi", false},
                        Case{"NDP1.1sp1-KB867460-X86.exe", "NDP1.1sp1-KB867460-X86.exe", false},
                        Case{".hidden", ".hidden", false}, Case{"a..b/c", "a..b\\c", false},
                        Case{"CONFIG.SYS", "CONFIG.SYS", false}, Case{"COM10", "COM10", false},
                        Case{"运行库/说明.txt", "运行库\\说明.txt", false}}) {
    const auto r = checkEntryName(c.stored);
    ASSERT_TRUE(r.has_value()) << c.stored;
    EXPECT_EQ(r->relativePath, c.path);
    EXPECT_EQ(r->endsWithSeparator, c.dir) << c.stored;
  }
}

TEST(ZipEntryName, RejectsNamesThatLeaveTheFolderOrNameNoPlainFile) {
  for (const char* stored : {"",
                             "/",
                             "\\",
                             "/etc/passwd",
                             "\\Windows\\evil.dll",
                             "\\\\server\\share\\x",
                             "//server/x",
                             "C:\\x.exe",
                             "C:x.exe",
                             "c:",
                             "file.txt:stream",
                             "..",
                             "../x",
                             "a/../../x",
                             "a\\..\\x",
                             "./x",
                             "a/./b",
                             "a//b",
                             "dir./x",
                             "name.",
                             "name ",
                             "trailing /x",
                             "a\tb",
                             "a\nb",
                             "bell\x07",
                             "a*b",
                             "a?b",
                             "a\"b",
                             "a<b",
                             "a>b",
                             "a|b",
                             "CON",
                             "con",
                             "PRN.txt",
                             "aux.tar.gz",
                             "NUL",
                             "sub/nul.dat",
                             "COM1",
                             "com9.log",
                             "LPT1",
                             "lpt5.txt",
                             "CON .txt",
                             "sub//"}) {
    EXPECT_FALSE(checkEntryName(stored).has_value()) << '"' << stored << '"';
  }
}

}  // namespace
}  // namespace norvane
