// The wizard's own texts.
#pragma once

#include <string_view>

namespace norvane {

inline constexpr std::string_view kWindowTitle = "Norvane 游戏运行库合集 v2.6";

inline constexpr std::string_view kNextCaption = "下一步(N) >";
inline constexpr std::string_view kInstallCaption = "安装(I)";
inline constexpr std::string_view kFinishCaption = "完成(F)";

inline constexpr std::string_view kMissingArchiveText = "未在本目录发现Kavrin.cab文件";
inline constexpr std::string_view kMissingArchiveTitle = "请重新下载";
inline constexpr std::string_view kTooOldText = "您的系统太老啦，不被本程序支持";
inline constexpr std::string_view kMessageTitle = "Merrow";
inline constexpr std::string_view kCancelQuestion =
    "您确定要退出“Norvane 游戏运行库合集 v2.6”安装程序？";
// Shown when no work folder can be made under the temporary folder: the
// run could not stage anything, so the wizard stops before it starts.
inline constexpr std::string_view kNoWorkFolderText =
    "无法在临时文件夹中创建工作目录，请检查磁盘空间及 TEMP 设置后重试。";

inline constexpr std::string_view kInitialStatus = "程序初始化中...";

inline constexpr std::string_view kPresetCaptions[] = {"推荐安装", "完全安装", "自定义"};

}  // namespace norvane
