// The window's controls, by the names of the window design.
#pragma once

namespace norvane {

// clang-format off
enum class ControlId {
  None,
  // on the window, above the page container, on every page
  图片框3, 按钮7, 按钮2, 按钮1, 按钮6, 高级选择夹1,
  // page 0, welcome
  图片框1, 标签1, 标签5, 标签6, 标签8, 标签7, 标签9, 标签18, 透明标签1,
  // page 1, component selection
  图片框4, 图片框2, 标签10, 组合框1, 树型框1,
  // page 2, installing
  图片框6, 图片框5, 标签4, 标签3, 进度条1, 标签11, 标签16, 标签15, 标签14, 标签12, 标签13,
  // page 3, finish
  图片框7, 标签24, 标签23, 标签22, 标签20, 标签21, 标签19, 标签17, 透明标签2,
  // page 3: what became of the chosen components
  标签25,
};
// clang-format on

// The Win32 control identifier of a control: stable, so that tools driving
// the window can find each control.
inline constexpr int kFirstControlNumber = 1000;
inline constexpr int controlNumber(ControlId id) {
  return kFirstControlNumber + static_cast<int>(id);
}

}  // namespace norvane
