#include "catalogue/catalogue.h"

#include <array>

namespace norvane {

namespace {

using K = CommandKind;

constexpr std::string_view kQnReboot = "/qn REBOOT=ReallySuppress";
constexpr std::string_view kQn = "/qn";
constexpr std::string_view kQnNoRestart = "/qn /norestart";
constexpr std::string_view kQuietNoRestart = "/q /norestart";
// The J# packages pass their own quoted command to the inner setup.
constexpr std::string_view kJSharpSwitches = "/q:a /c:\"install.exe /q\"";

constexpr CommandTemplate msi(std::string_view path, std::string_view switches) {
  return {K::msi, path, {}, switches};
}
constexpr CommandTemplate exe(std::string_view path, std::string_view switches) {
  return {K::exe, path, {}, switches};
}

constexpr std::array c1{msi("VC2005_x86\\vcredist.msi", kQnReboot)};
constexpr std::array c2{msi("VC2005_x64\\vcredist.msi", kQnReboot)};
constexpr std::array c3{msi("VC2008_x86\\vc_red.msi", kQn)};
constexpr std::array c4{msi("VC2008_x64\\vc_red.msi", kQn)};
constexpr std::array c5{exe("VC2010_x86.exe", kQuietNoRestart)};
constexpr std::array c6{exe("VC2010_x64.exe", kQuietNoRestart)};
constexpr std::array c7{exe("VC2012_x86.exe", kQuietNoRestart)};
constexpr std::array c8{exe("VC2012_x64.exe", kQuietNoRestart)};
constexpr std::array c9{exe("VC2013_x86.exe", kQuietNoRestart)};
constexpr std::array c10{exe("VC2013_x64.exe", kQuietNoRestart)};
constexpr std::array c11{exe("VB6.exe", "/silent /norestart")};
constexpr std::array c12{exe("DX9c\\DXSETUP.exe", "/silent")};
constexpr std::array c13{exe("dotnetfx10.exe", kQuietNoRestart)};
constexpr std::array c14{exe("NF11sp1\\dotnetfx.exe", kQuietNoRestart),
                         exe("NF11sp1\\NDP1.1sp1-KB867460-X86.exe", kQuietNoRestart)};
constexpr std::array c15{msi("NF35sp1\\dotNET20SP2\\Netfx20a_x86.msi", kQnReboot),
                         msi("NF35sp1\\dotLNG\\netfx20lp\\netfx20lpa_x86.msi", kQnReboot),
                         msi("NF35sp1\\dotNET30SP2\\Netfx30a_x86.msi", kQnReboot),
                         msi("NF35sp1\\dotLNG\\netfx30lp\\netfx30lpa_x86.msi", kQnReboot),
                         msi("NF35sp1\\dotNET35SP1\\Netfx35a_x86.msi", kQnReboot),
                         msi("NF35sp1\\dotLNG\\netfx35lp\\netfx35lpa_x86.msi", kQnReboot)};
constexpr std::array c16{exe("NF4\\dotNetFx40_Full_x86_x64.exe", kQuietNoRestart),
                         exe("NF4\\dotNetFx40LP_Full_x86_x64zh-Hans.exe", kQuietNoRestart)};
constexpr std::array c17{exe("NDP46-KB3006563-x86-x64-AllOS-ENU.exe", kQuietNoRestart)};
constexpr std::array c18{msi("xnafx20_redist.msi", kQnNoRestart)};
constexpr std::array c19{msi("xnafx31_redist.msi", kQnNoRestart)};
constexpr std::array c20{msi("xnafx40_redist.msi", kQnNoRestart)};
constexpr std::array c21{exe("fsharp_redist.exe", "/q")};
constexpr std::array c22{exe("vjredistx86.exe", kJSharpSwitches)};
constexpr std::array c23{exe("vjredistx64.exe", kJSharpSwitches)};
constexpr std::array c24{msi("msxml6_sp2_x86\\msxml6_sp1_x86.msi", kQn)};
constexpr std::array c25{msi("msxml6_sp2_x64\\msxml6_sp1_x64.msi", kQn)};
constexpr std::array c26{exe("rapture3d_game.exe", "/silent")};
constexpr std::array c27{exe("oalinst.exe", "/silent")};
constexpr std::array c28{msi("PhysX-SystemSoftware.msi", kQnNoRestart)};
constexpr std::array c29{exe("install_flash_player_ax.exe", "/install")};
constexpr std::array c30{exe("SocialClub.exe", "/Silent /1033")};
constexpr std::array c31{msi("apploc.msi", kQnNoRestart)};
constexpr std::array c32{exe("SteamSetup.exe", "/S")};
constexpr std::array c33{exe("OriginThinSetup.exe", "/S")};
constexpr std::array c34{exe("UplayInstaller.exe", "/S")};
constexpr std::array c35{
    msi("xlive\\xliveredist.msi", kQn), msi("xlive\\gfwlclient.msi", kQn),
    CommandTemplate{K::msi, "xlive\\wllogin_32.msi", "xlive\\wllogin_64.msi", kQn}};

constexpr RegistryStringValue kSteamLanguage{RegistryHive::CurrentUser, "Software\\Valve\\Steam",
                                             "Language", "schinese"};

constexpr auto R = ComponentGroup::Runtimes;
constexpr auto D = ComponentGroup::DriversAndComponents;
constexpr auto G = ComponentGroup::GamePlatforms;
constexpr bool Y = true;
constexpr bool N = false;

// clang-format off
constexpr std::array<ComponentEntry, 35> kEntries{{
  {1, R, "Visual C++ 2005 运行库(x86) 8.0.61187", "Visual C++ 2005 运行库(x86) 8.0.61187",
   {0, 15'370'060, 1}, "VC2005_x86.tmp", "VC2005_x86", c1, Y, Y, N, nullptr, 0},
  {2, R, "Visual C++ 2005 运行库(x64) 8.0.61186", "Visual C++ 2005 运行库(x64) 8.0.61186",
   {15'370'060, 14'488'816, 1}, "VC2005_x64.tmp", "VC2005_x64", c2, Y, Y, N, nullptr, 0},
  {3, R, "Visual C++ 2008 运行库(x86) 9.0.30729.7523", "Visual C++ 2008 运行库(x86) 9.0.30729.7523",
   {29'858'876, 30'905'298, 1}, "VC2008_x86.tmp", "VC2008_x86", c3, Y, Y, N, nullptr, 0},
  {4, R, "Visual C++ 2008 运行库(x64) 9.0.30729.7523", "Visual C++ 2008 运行库(x64) 9.0.30729.7523",
   {60'764'174, 27'121'378, 1}, "VC2008_x64.tmp", "VC2008_x64", c4, Y, Y, N, nullptr, 0},
  {5, R, "Visual C++ 2010 运行库(x86) 10.0.40219.455", "Visual C++ 2010 运行库(x86) 10.0.40219.455",
   {87'885'552, 9'009'328, 1}, "VC2010_x86.exe", "", c5, N, N, N, nullptr, 0},
  {6, R, "Visual C++ 2010 运行库(x64) 10.0.40219.455", "Visual C++ 2010 运行库(x64) 10.0.40219.455",
   {96'894'880, 10'292'912, 1}, "VC2010_x64.exe", "", c6, N, N, N, nullptr, 0},
  {7, R, "Visual C++ 2012 运行库(x86) 11.0.61030.0", "Visual C++ 2012 运行库(x86) 11.0.61030.0",
   {107'187'792, 6'557'728, 1}, "VC2012_x86.exe", "", c7, N, N, N, nullptr, 0},
  {8, R, "Visual C++ 2012 运行库(x64) 11.0.61030.0", "Visual C++ 2012 运行库(x64) 11.0.61030.0",
   {113'745'520, 7'190'168, 1}, "VC2012_x64.exe", "", c8, N, N, N, nullptr, 0},
  {9, R, "Visual C++ 2013 运行库(x86) 12.0.30501.1", "Visual C++ 2013 运行库(x86) 12.0.21005.1",
   {120'935'688, 6'505'008, 1}, "VC2013_x86.exe", "", c9, N, N, N, nullptr, 0},
  {10, R, "Visual C++ 2013 运行库(x64) 12.0.30501.1", "Visual C++ 2013 运行库(x64) 12.0.21005.1",
   {127'440'696, 7'195'312, 1}, "VC2013_x64.exe", "", c10, N, N, N, nullptr, 0},
  {11, R, "Visual Basic 6.0运行库", "Visual Basic 6.0 Extended Runtime",
   {134'636'008, 42'911'935, 1}, "VB6.exe", "", c11, N, N, N, nullptr, 0},
  {12, D, "DirectX 9.0c (2010.6)", "DirectX 9.0c (2010.6)",
   {177'547'943, 51'599'584, 2}, "DX9c.tmp", "DX9c", c12, Y, Y, N, nullptr, 0},
  {13, R, "Microsoft .NET Framework 1.0 sp2 For XP", "Microsoft .NET Framework 1.0 sp2 For XP",
   {280'747'111, 21'462'160, 1}, "dotnetfx10.exe", "", c13, Y, N, N, nullptr, 0},
  {14, R, "Microsoft .NET Framework 1.1(含sp1,与IIS不兼容)", "Microsoft .NET Framework 1.1(含sp1,与IIS不兼容)",
   {302'209'271, 34'983'074, 1}, "NF11sp1.tmp", "NF11sp1", c14, N, N, N, nullptr, 0},
  {15, R, "Microsoft .NET Framework 3.5 sp1(含2.0/3.0)", "Microsoft .NET Framework 3.5 sp1(含2.0/3.0)",
   {337'192'345, 50'735'145, 4}, "NF35sp1.tmp", "NF35sp1", c15, Y, Y, N, nullptr, 0},
  {16, R, "Microsoft .NET Framework 4.0", "Microsoft .NET Framework 4.0",
   {540'132'925, 53'599'732, 1}, "NF4.tmp", "NF4", c16, Y, Y, N, nullptr, 0},
  {17, R, "Microsoft .NET Framework 4.6(含4.0/4.5/4.5.x)", "Microsoft .NET Framework 4.6",
   {593'732'657, 63'020'048, 1}, "NDP46-KB3006563-x86-x64-AllOS-ENU.exe", "", c17, Y, N, N, nullptr, 0},
  {18, R, "Microsoft XNA Framework 2.0(需DirectX 9.0c)", "Microsoft XNA Framework 2.0",
   {656'752'705, 2'207'232, 1}, "xnafx20_redist.msi", "", c18, N, N, N, nullptr, 0},
  {19, R, "Microsoft XNA Framework 3.1(需.NET 2.0)", "Microsoft XNA Framework 3.1",
   {658'959'937, 7'671'808, 1}, "xnafx31_redist.msi", "", c19, N, N, N, nullptr, 0},
  {20, R, "Microsoft XNA Framework 4.0(需.NET 4.0)", "Microsoft XNA Framework 4.0 Refresh",
   {666'631'745, 7'060'992, 1}, "xnafx40_redist.msi", "", c20, N, N, N, nullptr, 0},
  {21, R, "Microsoft Visual F# 2.0 Runtime(需.NET)", "Microsoft Visual F# 2.0 Runtime 10.0.40219",
   {673'692'737, 1'214'808, 1}, "fsharp_redist.exe", "", c21, N, N, N, nullptr, 0},
  {22, R, "Microsoft Visual J# 2.0 x86 Redistributable", "Microsoft Visual J# 2.0 x86 Redistributable",
   {674'907'545, 3'796'672, 1}, "vjredistx86.exe", "", c22, N, N, N, nullptr, 0},
  {23, R, "Microsoft Visual J# 2.0 x64 Redistributable", "Microsoft Visual J# 2.0 x64 Redistributable",
   {678'704'217, 6'110'048, 1}, "vjredistx64.exe", "", c23, N, N, N, nullptr, 0},
  {24, R, "Microsoft XML Core Services 6.0 sp1 x86", "Microsoft XML Core Services 6.0 sp2 x86",
   {684'814'265, 1'375'914, 1}, "msxml6_sp2_x86.tmp", "msxml6_sp2_x86", c24, N, N, N, nullptr, 0},
  {25, R, "Microsoft XML Core Services 6.0 sp1 x64", "Microsoft XML Core Services 6.0 sp2 x64",
   {686'190'179, 2'518'698, 1}, "msxml6_sp2_x64.tmp", "msxml6_sp2_x64", c25, N, N, N, nullptr, 0},
  {26, D, "Rapture3D 2.6.5 Game", "Rapture3D 2.6.5 Game",
   {688'708'877, 12'151'395, 1}, "rapture3d_game.exe", "", c26, N, N, N, nullptr, 0},
  {27, D, "Open Audio Library 2.1.0 (OpenAL)", "Open Audio Library 2.1.0 (OpenAL)",
   {700'860'272, 809'560, 1}, "oalinst.exe", "", c27, N, N, N, nullptr, 0},
  {28, D, "NVIDIA PhysX System Software 9.14.0702", "NVIDIA PhysX System Software 9.14.0702",
   {701'669'832, 60'039'168, 1}, "PhysX-SystemSoftware.msi", "", c28, Y, N, N, nullptr, 0},
  {29, D, "Adobe Flash Player 16.0.0.305 For IE/AOL", "Adobe Flash Player 16.0.0.305 For IE/AOL",
   {761'709'000, 17'549'488, 1}, "install_flash_player_ax.exe", "", c29, N, N, N, nullptr, 0},
  {30, D, "Social Club 1.1.0.6", "Social Club 1.1.0.6",
   {779'258'488, 16'291'184, 1}, "SocialClub.exe", "", c30, N, N, N, nullptr, 0},
  {31, D, "Microsoft AppLocale(解决游戏乱码工具)", "Microsoft AppLocale 1.0.0",
   {795'549'672, 1'391'104, 1}, "apploc.msi", "", c31, N, N, N, nullptr, 0},
  {32, G, "Steam 客户端 2.10.91.91", "Steam 2.10.91.91",
   {796'940'776, 1'142'128, 1}, "SteamSetup.exe", "", c32, N, N, N, &kSteamLanguage, 0},
  {33, G, "Origin客户端 9.5.5.2850(EA游戏平台)", "Origin客户端 安装完后会运行更新",
   {798'082'904, 17'102'664, 1}, "OriginThinSetup.exe", "", c33, N, N, Y, nullptr, 1000},
  {34, G, "Uplay 客户端 5.0.0.3914(育碧游戏平台)", "Uplay 客户端 5.0.0.3914",
   {815'185'568, 46'442'584, 1}, "UplayInstaller.exe", "", c34, N, N, N, nullptr, 0},
  {35, G, "Games For Windows - LIVE 3.5.95.0(微软平台)", "Games For Windows - LIVE 3.5.95.0",
   {861'628'152, 36'194'888, 1}, "xlive.tmp", "xlive", c35, Y, Y, N, nullptr, 0},
}};
// clang-format on

// The table's own invariants, checked by the compiler.
constexpr bool segmentsTileTheArchive() {
  std::int64_t expected = 0;
  for (const ComponentEntry& e : kEntries) {
    if (e.segment.offset != expected || e.segment.chunkLength <= 0) return false;
    expected = e.segment.end();
  }
  return expected == kPayloadArchiveLength;
}
static_assert(segmentsTileTheArchive());

constexpr bool idsAreConsecutive() {
  for (std::size_t i = 0; i < kEntries.size(); ++i) {
    if (kEntries[i].id != static_cast<ComponentId>(i + 1)) return false;
  }
  return true;
}
static_assert(idsAreConsecutive());

}  // namespace

const ComponentEntry* entryFor(ComponentId id) {
  if (id < kFirstComponentId || id > kLastComponentId) return nullptr;
  return &kEntries[static_cast<std::size_t>(id - 1)];
}

std::span<const ComponentEntry> allComponents() { return kEntries; }

std::string_view groupCaption(ComponentGroup group) {
  switch (group) {
    case ComponentGroup::Runtimes:
      return "运行库合集";
    case ComponentGroup::DriversAndComponents:
      return "常用驱动及组件";
    case ComponentGroup::GamePlatforms:
      return "常用游戏平台";
  }
  return {};
}

}  // namespace norvane
