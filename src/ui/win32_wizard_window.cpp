#include "ui/win32_wizard_window.h"

// After windows.h, which it builds on.
#include <shellapi.h>

#include "os/win32_system.h"
#include "os/win32_text.h"
#include "ui/texts.h"
#include "ui/win32_comctl.h"
#include "ui/win32_control_class.h"
#include "ui/win32_pictures.h"
#include "ui/win32_resources.h"
#include "ui/win32_text_fit.h"

namespace norvane {

namespace {

constexpr wchar_t kWindowClass[] = L"NorvaneWizardWindow";
constexpr UINT kStatusMessage = WM_APP + 1;   // LPARAM: std::string* the UI thread deletes
constexpr UINT kPercentMessage = WM_APP + 2;  // WPARAM: the percent
constexpr UINT kFinishedMessage = WM_APP + 3;
constexpr UINT kTreeSyncMessage = WM_APP + 4;
constexpr UINT kOutcomeMessage = WM_APP + 5;  // LPARAM: ComponentOutcome* the UI thread deletes
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// The state images of the tree: 0 none, then one per CheckState.
int stateImageOf(CheckState s) { return s + 1; }
CheckState checkStateOfImage(int image) { return image - 1; }

COLORREF toColorRef(std::uint32_t rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

Win32WizardWindow* windowOf(HWND window) {
  return reinterpret_cast<Win32WizardWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// uxtheme was loaded from the system folder when the program started.
template <class Fn>
Fn uxthemeFunction(const char* name) {
  return procAddress<Fn>(GetModuleHandleW(L"uxtheme.dll"), name);
}

}  // namespace

Win32WizardWindow::Win32WizardWindow(Os& os, std::string programFolder)
    : wizard_(os, *this, std::move(programFolder)) {
  wizard_.tree().setChangeListener([this] { queueTreeSync(); });
}

Win32WizardWindow::~Win32WizardWindow() {
  wizard_.tree().setChangeListener({});
  for (HFONT f : underlinedFonts_) DeleteObject(f);
  for (HGDIOBJ o : {static_cast<HGDIOBJ>(titleFont_), static_cast<HGDIOBJ>(whiteBrush_),
                    static_cast<HGDIOBJ>(lineBrush_), static_cast<HGDIOBJ>(welcome_),
                    static_cast<HGDIOBJ>(header_)}) {
    if (o != nullptr) DeleteObject(o);
  }
}

int Win32WizardWindow::run() {
  if (!createWindow()) return 0;
  if (!wizard_.onWindowCreated()) return 0;
  ShowWindow(window_, SW_SHOWNORMAL);
  UpdateWindow(window_);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

bool Win32WizardWindow::createWindow() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = windowProc;
  cls.hInstance = instance;
  cls.hIcon = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(NORVANE_IDI_APP), IMAGE_ICON, 48, 48, 0));
  cls.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(NORVANE_IDI_APP),
                                              IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), 0));
  cls.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  cls.lpszClassName = kWindowClass;
  RegisterClassExW(&cls);

  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int x = work.left + (work.right - work.left - kOuterWidth) / 2;
  const int y = work.top + (work.bottom - work.top - kOuterHeight) / 2;
  window_ = CreateWindowExW(0, kWindowClass, toWide(kWindowTitle).c_str(), kWindowStyle, x, y,
                            kOuterWidth, kOuterHeight, nullptr, nullptr, instance, this);
  if (window_ == nullptr) return false;
  createControls();
  return true;
}

void Win32WizardWindow::createControls() {
  guiFont_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  titleFont_ =
      CreateFontW(-14, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"宋体");
  whiteBrush_ = CreateSolidBrush(RGB(255, 255, 255));
  lineBrush_ = CreateSolidBrush(toColorRef(kLineColour));
  pageBrush_ = GetSysColorBrush(COLOR_BTNFACE);
  header_ = loadJpegResource(NORVANE_IDR_HEADER_JPEG);

  // Created in table order: window-level controls first, so they stay on
  // top of the pages; the page container goes to the bottom afterwards.
  for (const ControlSpec& spec : wizardLayout()) {
    const HWND created = createControl(spec);
    if (created == nullptr) continue;
    controls_[spec.id] = created;
    specs_[created] = &spec;
  }
  SetWindowPos(control(ControlId::高级选择夹1), HWND_BOTTOM, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  showPage(0);
}

HWND Win32WizardWindow::createControl(const ControlSpec& spec) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  HWND parent = window_;
  int x = spec.x;
  int y = spec.y;
  if (spec.onPicture != ControlId::None) {
    parent = control(spec.onPicture);  // placed relative to the picture
  } else if (spec.page != kWindowLevel) {
    x += kContainerX;  // page controls are placed relative to the container
    y += kContainerY;
  }
  const ControlClass kind = controlClassOf(spec);
  DWORD style = kind.style;
  // Controls on a picture come and go with it; the others with their page.
  const bool shown = spec.onPicture != ControlId::None || spec.page <= 0;
  if ((shown && !spec.initiallyHidden) || spec.kind == ControlKind::PageContainer) {
    style |= WS_VISIBLE;
  }
  const int id = controlNumber(spec.id);
  const HWND h = CreateWindowExW(
      kind.exStyle, kind.className, toWide(spec.text).c_str(), style, x, y, spec.width, kind.height,
      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  if (h == nullptr) return nullptr;
  SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(spec.titleFont ? titleFont_ : guiFont_),
               FALSE);
  SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

  switch (spec.kind) {
    case ControlKind::PageContainer: {
      // A classic body, so it matches the labels' page background.
      using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
      if (const auto setTheme = uxthemeFunction<SetWindowThemeFn>("SetWindowTheme")) {
        setTheme(h, L"", L"");
      }
      for (int page = 0; page < 4; ++page) {
        std::wstring caption = std::to_wstring(page + 1);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        SendMessageW(h, TCM_INSERTITEMW, static_cast<WPARAM>(page),
                     reinterpret_cast<LPARAM>(&item));
      }
      break;
    }
    case ControlKind::Picture:
      // Labels on a picture are its children: their colour requests and
      // clicks reach the picture first, which hands them on.
      originalProcs_[h] = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pictureProc)));
      if (spec.picture == PictureId::Header && header_ != nullptr) {
        SendMessageW(h, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(header_));
      }
      break;
    case ControlKind::LinkLabel:
    case ControlKind::TransparentLabel:
      originalProcs_[h] = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(linkProc)));
      break;
    case ControlKind::DropDownList:
      for (std::string_view caption : kPresetCaptions) {
        SendMessageW(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toWide(caption).c_str()));
      }
      break;
    case ControlKind::TreeView: {
      const CommonControls& cc = commonControls();
      if (cc.imageListCreate != nullptr && cc.imageListAdd != nullptr) {
        checkImages_ = cc.imageListCreate(13, 13, ILC_COLOR24, 4, 0);
        const auto strip =
            static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(NORVANE_IDB_CHECKBOXES),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        cc.imageListAdd(checkImages_, strip, nullptr);
        DeleteObject(strip);
        SendMessageW(h, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(checkImages_));
      }
      break;
    }
    case ControlKind::ProgressBar:
      SendMessageW(h, PBM_SETRANGE32, 0, 100);
      break;
    default:
      break;
  }
  return h;
}

HWND Win32WizardWindow::control(ControlId id) const {
  const auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

const ControlSpec* Win32WizardWindow::specOfWindow(HWND window) const {
  const auto it = specs_.find(window);
  return it == specs_.end() ? nullptr : it->second;
}

int Win32WizardWindow::currentPage() {
  return static_cast<int>(SendMessageW(control(ControlId::高级选择夹1), TCM_GETCURSEL, 0, 0));
}

void Win32WizardWindow::showPage(int page) {
  SendMessageW(control(ControlId::高级选择夹1), TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
  for (const ControlSpec& spec : wizardLayout()) {
    // Controls on a picture come and go with it.
    if (spec.page == kWindowLevel || spec.onPicture != ControlId::None) continue;
    ShowWindow(control(spec.id), spec.page == page ? SW_SHOWNA : SW_HIDE);
  }
  if (page == 1) syncTree();
}

void Win32WizardWindow::setCaption(ControlId id, std::string_view text) {
  const HWND h = control(id);
  SetWindowTextW(h, toWide(text).c_str());
  // Labels paint the page colour behind them; repaint so no old text shows.
  InvalidateRect(h, nullptr, TRUE);
}

bool Win32WizardWindow::textFits(ControlId id, std::string_view text) {
  return textFitsControl(control(id), text);
}

void Win32WizardWindow::setEnabled(ControlId id, bool enabled) {
  EnableWindow(control(id), enabled ? TRUE : FALSE);
}

void Win32WizardWindow::setVisible(ControlId id, bool visible) {
  ShowWindow(control(id), visible ? SW_SHOWNA : SW_HIDE);
}

void Win32WizardWindow::setUnderlined(ControlId id) {
  const HWND h = control(id);
  const auto current = reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0));
  LOGFONTW font{};
  GetObjectW(current != nullptr ? current : guiFont_, sizeof font, &font);
  font.lfUnderline = TRUE;
  const HFONT underlined = CreateFontIndirectW(&font);
  underlinedFonts_.push_back(underlined);
  SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(underlined), TRUE);
}

void Win32WizardWindow::setCloseCommandEnabled(bool enabled) {
  EnableMenuItem(GetSystemMenu(window_, FALSE), SC_CLOSE,
                 MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void Win32WizardWindow::setPresetSelection(int entry) {
  SendMessageW(control(ControlId::组合框1), CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
}

void Win32WizardWindow::setProgress(int percent) {
  SendMessageW(control(ControlId::进度条1), PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void Win32WizardWindow::showWelcomePictures() {
  welcome_ = loadJpegResource(NORVANE_IDR_WELCOME_JPEG);
  if (welcome_ == nullptr) return;
  for (ControlId id : {ControlId::图片框1, ControlId::图片框7}) {
    SendMessageW(control(id), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(welcome_));
  }
}

void Win32WizardWindow::enableThemedDrawing() {
  using SetPropertiesFn = void(WINAPI*)(DWORD);
  if (const auto set = uxthemeFunction<SetPropertiesFn>("SetThemeAppProperties")) {
    set(0x1 | 0x2 | 0x4);  // non-client area, controls, web content
  }
}

// Without an owner a box leaves the wizard usable behind it: the user could
// press Install under the Cancel question and have Yes end the program in
// the middle of the run. Task-modal boxes disable the thread's windows.
void Win32WizardWindow::showMessage(std::string_view text, std::string_view title) {
  MessageBoxW(nullptr, toWide(text).c_str(), toWide(title).c_str(), MB_OK | MB_TASKMODAL);
}

bool Win32WizardWindow::askYesNo(std::string_view text, std::string_view title) {
  return MessageBoxW(nullptr, toWide(text).c_str(), toWide(title).c_str(),
                     MB_YESNO | MB_TASKMODAL) == IDYES;
}

void Win32WizardWindow::openUrl(std::string_view address) {
  ShellExecuteW(nullptr, L"open", toWide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32WizardWindow::exitProgram() { ExitProcess(0); }

void Win32WizardWindow::pumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));  // leave it for the main loop
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// The worker's calls become posted messages: one queue, so the UI thread
// applies them in the order made, the final 100 before the finish page.
void Win32WizardWindow::setStatusText(std::string_view text) {
  auto* copy = new std::string(text);
  if (!PostMessageW(window_, kStatusMessage, 0, reinterpret_cast<LPARAM>(copy))) delete copy;
}

void Win32WizardWindow::setPercent(int percent) {
  PostMessageW(window_, kPercentMessage, static_cast<WPARAM>(percent), 0);
}

void Win32WizardWindow::componentDone(const ComponentOutcome& outcome) {
  auto* copy = new ComponentOutcome(outcome);
  if (!PostMessageW(window_, kOutcomeMessage, 0, reinterpret_cast<LPARAM>(copy))) delete copy;
}

void Win32WizardWindow::runFinished() { PostMessageW(window_, kFinishedMessage, 0, 0); }

void Win32WizardWindow::queueTreeSync() {
  if (treeSyncQueued_ || window_ == nullptr) return;
  treeSyncQueued_ = PostMessageW(window_, kTreeSyncMessage, 0, 0) != FALSE;
}

// Shows the model in the tree view: rebuilt when its items changed, states
// and expansion brought into line otherwise.
void Win32WizardWindow::syncTree() {
  treeSyncQueued_ = false;
  const HWND tree = control(ControlId::树型框1);
  const ComponentTree& model = wizard_.tree();
  bool rebuild = static_cast<std::int32_t>(treeItems_.size()) != model.itemCount();
  for (std::int32_t i = 0; !rebuild && i < model.itemCount(); ++i) {
    wchar_t text[256] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = treeItems_[static_cast<std::size_t>(i)];
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    rebuild = toUtf8(text) != model.item(i).caption;
  }
  SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
  if (rebuild) {
    SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    treeItems_.clear();
    for (std::int32_t i = 0; i < model.itemCount(); ++i) {
      const TreeItem& source = model.item(i);
      std::wstring caption = toWide(source.caption);
      TVINSERTSTRUCTW insert{};
      insert.hParent =
          source.parent < 0 ? TVI_ROOT : treeItems_[static_cast<std::size_t>(source.parent)];
      insert.hInsertAfter = TVI_LAST;
      insert.item.mask = TVIF_TEXT | TVIF_PARAM;
      insert.item.pszText = caption.data();
      insert.item.lParam = i;
      treeItems_.push_back(reinterpret_cast<HTREEITEM>(
          SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert))));
    }
  }
  for (std::int32_t i = 0; i < model.itemCount(); ++i) {
    const TreeItem& source = model.item(i);
    TVITEMW item{};
    item.mask = TVIF_STATE;
    item.hItem = treeItems_[static_cast<std::size_t>(i)];
    item.stateMask = TVIS_STATEIMAGEMASK | TVIS_BOLD;
    item.state = INDEXTOSTATEIMAGEMASK(stateImageOf(source.checkState)) |
                 (source.emphasised ? TVIS_BOLD : 0U);
    SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    // Only what is not open yet: expanding an open item again scrolls its
    // children into view in some tree views, undoing the scroll to the top.
    const auto open =
        SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item.hItem), TVIS_EXPANDED) &
        TVIS_EXPANDED;
    if (source.expanded && open == 0) {
      SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item.hItem));
    }
  }
  SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
  if (model.ensureVisibleRequests() != ensureVisibleApplied_ &&
      model.names(model.lastEnsuredVisible())) {
    ensureVisibleApplied_ = model.ensureVisibleRequests();
    SendMessageW(
        tree, TVM_ENSUREVISIBLE, 0,
        reinterpret_cast<LPARAM>(treeItems_[static_cast<std::size_t>(model.lastEnsuredVisible())]));
  }
  InvalidateRect(tree, nullptr, TRUE);
}

// One step along unchecked, checked, partial; the item becomes the selected
// one; then the model hears which state the box now shows.
void Win32WizardWindow::toggleTreeItem(HTREEITEM handle) {
  const HWND tree = control(ControlId::树型框1);
  TVITEMW item{};
  item.mask = TVIF_STATE | TVIF_PARAM;
  item.hItem = handle;
  item.stateMask = TVIS_STATEIMAGEMASK;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  const int image = static_cast<int>((item.state & TVIS_STATEIMAGEMASK) >> 12);
  const CheckState next = (checkStateOfImage(image) + 1) % 3;
  item.mask = TVIF_STATE;
  item.state = INDEXTOSTATEIMAGEMASK(stateImageOf(next));
  SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(handle));
  wizard_.onTreeCheckBoxClicked(static_cast<std::int32_t>(item.lParam), next);
}

void Win32WizardWindow::onTreeNotify(const NMHDR& header) {
  const HWND tree = header.hwndFrom;
  if (header.code == NM_CLICK) {
    TVHITTESTINFO hit{};
    const DWORD pos = GetMessagePos();
    hit.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    ScreenToClient(tree, &hit.pt);
    const auto item = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (item != nullptr && (hit.flags & TVHT_ONITEMSTATEICON) != 0) toggleTreeItem(item);
  } else if (header.code == TVN_KEYDOWN) {
    const auto& key = reinterpret_cast<const NMTVKEYDOWN&>(header);
    if (key.wVKey == VK_SPACE) {
      const auto item =
          reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
      if (item != nullptr) toggleTreeItem(item);
    }
  }
}

LRESULT Win32WizardWindow::colourStatic(HDC dc, HWND h) {
  const ControlSpec* spec = specOfWindow(h);
  if (spec == nullptr) return reinterpret_cast<LRESULT>(pageBrush_);
  switch (spec->kind) {
    case ControlKind::Line:
      return reinterpret_cast<LRESULT>(lineBrush_);
    case ControlKind::TransparentLabel:
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    default:
      break;
  }
  if (spec->kind == ControlKind::LinkLabel) SetTextColor(dc, toColorRef(kLinkColour));
  if (spec->onPicture != ControlId::None) {
    SetBkColor(dc, RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(whiteBrush_);
  }
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(pageBrush_);
}

LRESULT CALLBACK Win32WizardWindow::pictureProc(HWND h, UINT message, WPARAM w, LPARAM l) {
  Win32WizardWindow* self = windowOf(h);
  if (message == WM_CTLCOLORSTATIC)
    return self->colourStatic(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l));
  return CallWindowProcW(self->originalProcs_[h], h, message, w, l);
}

LRESULT CALLBACK Win32WizardWindow::linkProc(HWND h, UINT message, WPARAM w, LPARAM l) {
  Win32WizardWindow* self = windowOf(h);
  switch (message) {
    case WM_SETCURSOR:
      SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
      return TRUE;
    case WM_LBUTTONDOWN:
      // Links act when the button goes down, not when it is released.
      if (const ControlSpec* spec = self->specOfWindow(h)) self->wizard_.onLinkPressed(spec->id);
      return 0;
    default:
      return CallWindowProcW(self->originalProcs_[h], h, message, w, l);
  }
}

LRESULT CALLBACK Win32WizardWindow::windowProc(HWND h, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<Win32WizardWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    self->window_ = h;
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  Win32WizardWindow* self = windowOf(h);
  return self == nullptr ? DefWindowProcW(h, message, w, l) : self->handle(message, w, l);
}

LRESULT Win32WizardWindow::handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_COMMAND: {
      const auto id = static_cast<ControlId>(LOWORD(w) - kFirstControlNumber);
      if (HIWORD(w) == BN_CLICKED) {
        if (id == ControlId::按钮1) wizard_.onNextPressed();
        if (id == ControlId::按钮2) wizard_.onBackPressed();
        if (id == ControlId::按钮6) wizard_.onCancelPressed();
        if (id == ControlId::按钮7) wizard_.onCheckUpdatesPressed();
      } else if (HIWORD(w) == CBN_SELCHANGE && id == ControlId::组合框1) {
        wizard_.onPresetPicked(static_cast<int>(SendMessageW(control(id), CB_GETCURSEL, 0, 0)));
      }
      return 0;
    }
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(l);
      if (header.hwndFrom == control(ControlId::树型框1)) onTreeNotify(header);
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      return colourStatic(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l));
    case kStatusMessage: {
      const std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(l));
      wizard_.applyStatusText(*text);
      return 0;
    }
    case kOutcomeMessage: {
      const std::unique_ptr<ComponentOutcome> outcome(reinterpret_cast<ComponentOutcome*>(l));
      wizard_.applyComponentDone(*outcome);
      return 0;
    }
    case kPercentMessage:
      wizard_.applyPercent(static_cast<int>(w));
      return 0;
    case kFinishedMessage:
      wizard_.applyRunFinished();
      return 0;
    case kTreeSyncMessage:
      syncTree();
      return 0;
    case WM_CLOSE:
      // Refused while installing: dropped without a word.
      if (wizard_.canClose()) DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      wizard_.onWindowDestroyed();
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window_, message, w, l);
  }
}

}  // namespace norvane
