#include "ui/layout.h"

#include <array>
#include <stdexcept>

#include "ui/texts.h"
#include "ui/web_addresses.h"

namespace norvane {

namespace {

using C = ControlId;
using K = ControlKind;
constexpr C N = C::None;
constexpr std::string_view kForumCaption = "中国第一单机游戏论坛：";
constexpr std::string_view kPortalCaption = "中国第一单机游戏门户：";
constexpr std::string_view kAuthorCaption = "作者：@Merrow";

constexpr std::string_view kWelcomeText =
    "本安装包集成32位和64位运行库，是目前互联网上最新最全的常用运行库合集，"
    "并能自动识别系统版本以提供适合您的组件，总之\r\n"
    "\r\n"
    "别人没有的我们有，别人有的我们最新！最贴心！\r\n"
    "\r\n"
    "本工具由 Norvane 整理制作。\r\n"
    "\r\n"
    "\r\n"
    "Norvane 欢迎您的到来";

constexpr std::string_view kInstallNotice =
    "注意：Win8以上系统自带.Net，在Windows功能里开启即可。部分组件的安装\r\n"
    "\r\n"
    "      需要管理员权限，请在管理员账户下或右键以管理员身份运行本工具。\r\n"
    "\r\n"
    "      安装.Net时间较长,请耐心等待.Net4.6包含4.0、4.5.x，但不支持XP。\r\n"
    "\r\n"
    "      本程序安全无插件，安装过程如遇安全软件拦截，请先退出安全软件。\r\n"
    "\r\n"
    "      如果组件没有更新到本工具附带的版本，请先卸载老版本并再次安装。";

// clang-format off
constexpr std::array kLayout{
  // window level
  ControlSpec{C::图片框3, "图片框3", K::Line, kWindowLevel, N, 0, 319, 448, 1, ""},
  ControlSpec{C::按钮7, "按钮7", K::Button, kWindowLevel, N, 14, 340, 80, 24, "检查更新(U)"},
  ControlSpec{C::按钮2, "按钮2", K::Button, kWindowLevel, N, 178, 340, 80, 24, "上一步(P) >", PictureId::None, false, false, true},
  ControlSpec{C::按钮1, "按钮1", K::Button, kWindowLevel, N, 258, 340, 80, 24, kNextCaption},
  ControlSpec{C::按钮6, "按钮6", K::Button, kWindowLevel, N, 354, 340, 80, 24, "取消(C)"},
  ControlSpec{C::高级选择夹1, "高级选择夹1", K::PageContainer, kWindowLevel, N, kContainerX, kContainerY, 452, 400, ""},
  // page 0
  ControlSpec{C::图片框1, "图片框1", K::Picture, 0, N, 3, 24, 448, 320, "", PictureId::Welcome},
  ControlSpec{C::标签1, "标签1", K::Label, 0, C::图片框1, 180, 4, 264, 25, "欢迎使用 Norvane游戏运行库合集 安装向导", PictureId::None, false, true},
  ControlSpec{C::标签5, "标签5", K::Label, 0, C::图片框1, 180, 34, 264, 125, kWelcomeText, PictureId::None, true},
  ControlSpec{C::标签6, "标签6", K::Label, 0, C::图片框1, 180, 160, 126, 24, kForumCaption},
  ControlSpec{C::标签8, "标签8", K::LinkLabel, 0, C::图片框1, 312, 160, 132, 24, kForumUrl},
  ControlSpec{C::标签7, "标签7", K::Label, 0, C::图片框1, 180, 184, 126, 24, kPortalCaption},
  ControlSpec{C::标签9, "标签9", K::LinkLabel, 0, C::图片框1, 312, 184, 132, 24, kHomePageUrl},
  ControlSpec{C::标签18, "标签18", K::LinkLabel, 0, C::图片框1, 365, 217, 78, 24, kAuthorCaption},
  ControlSpec{C::透明标签1, "透明标签1", K::TransparentLabel, 0, C::图片框1, 31, 287, 112, 32, "  "},
  // page 1
  ControlSpec{C::图片框4, "图片框4", K::Picture, 1, N, 2, 23, 448, 42, "", PictureId::Header},
  ControlSpec{C::图片框2, "图片框2", K::Line, 1, N, 2, 66, 448, 1, ""},
  ControlSpec{C::标签10, "标签10", K::Label, 1, N, 40, 70, 248, 16, "选择安装类型，或自定义选择您想安装的组件："},
  ControlSpec{C::组合框1, "组合框1", K::DropDownList, 1, N, 38, 90, 376, 20, ""},
  ControlSpec{C::树型框1, "树型框1", K::TreeView, 1, N, 38, 120, 376, 214, ""},
  // page 2
  ControlSpec{C::图片框6, "图片框6", K::Picture, 2, N, 2, 23, 448, 42, "", PictureId::Header},
  ControlSpec{C::图片框5, "图片框5", K::Line, 2, N, 2, 66, 448, 1, ""},
  ControlSpec{C::标签4, "标签4", K::Label, 2, N, 18, 71, 64, 24, "正在安装"},
  ControlSpec{C::标签3, "标签3", K::Label, 2, N, 96, 71, 392, 24, kInitialStatus},
  ControlSpec{C::进度条1, "进度条1", K::ProgressBar, 2, N, 18, 102, 420, 24, ""},
  ControlSpec{C::标签11, "标签11", K::Label, 2, N, 16, 143, 420, 96, kInstallNotice, PictureId::None, true},
  ControlSpec{C::标签16, "标签16", K::Label, 2, N, 18, 263, 408, 16, "最新最全最好玩的单机游戏，最详细的攻略，最好用的修改器……尽在↓↓↓"},
  ControlSpec{C::标签15, "标签15", K::Label, 2, N, 160, 284, 126, 24, kForumCaption},
  ControlSpec{C::标签14, "标签14", K::LinkLabel, 2, N, 292, 284, 132, 24, kForumUrl},
  ControlSpec{C::标签12, "标签12", K::Label, 2, N, 160, 308, 126, 24, kPortalCaption},
  ControlSpec{C::标签13, "标签13", K::LinkLabel, 2, N, 292, 308, 132, 24, kHomePageUrl},
  // page 3
  ControlSpec{C::图片框7, "图片框7", K::Picture, 3, N, 3, 24, 448, 320, "", PictureId::Welcome},
  ControlSpec{C::标签24, "标签24", K::Label, 3, C::图片框7, 180, 4, 264, 25, "Norvane游戏运行库合集 v2.6 安装完毕", PictureId::None, false, true},
  ControlSpec{C::标签23, "标签23", K::Label, 3, C::图片框7, 180, 34, 264, 22, "感谢您的使用，单击[完成]按钮退出本程序。", PictureId::None, true},
  // In the white between the thanks and the links: what became of the run.
  ControlSpec{C::标签25, "标签25", K::Label, 3, C::图片框7, 180, 60, 264, 96, "", PictureId::None, true},
  ControlSpec{C::标签22, "标签22", K::Label, 3, C::图片框7, 180, 160, 126, 24, kForumCaption},
  ControlSpec{C::标签20, "标签20", K::LinkLabel, 3, C::图片框7, 312, 160, 132, 24, kForumUrl},
  ControlSpec{C::标签21, "标签21", K::Label, 3, C::图片框7, 180, 184, 126, 24, kPortalCaption},
  ControlSpec{C::标签19, "标签19", K::LinkLabel, 3, C::图片框7, 312, 184, 132, 24, kHomePageUrl},
  ControlSpec{C::标签17, "标签17", K::LinkLabel, 3, C::图片框7, 365, 217, 78, 24, kAuthorCaption},
  ControlSpec{C::透明标签2, "透明标签2", K::TransparentLabel, 3, C::图片框7, 31, 287, 112, 32, "  "},
};
// clang-format on

}  // namespace

std::span<const ControlSpec> wizardLayout() { return kLayout; }

const ControlSpec& specOf(ControlId id) {
  for (const ControlSpec& s : kLayout) {
    if (s.id == id) return s;
  }
  throw std::out_of_range("no such control");
}

std::string_view welcomeText() { return kWelcomeText; }

}  // namespace norvane
