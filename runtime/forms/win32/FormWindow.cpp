#include "runtime/forms/win32/FormWindow.h"

#include <algorithm>
#include <functional>
#include <string>

#include "platform/CodePage.h"
#include "runtime/Exception.h"
#include "runtime/forms/ComboBox.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/Panel.h"

namespace {

const wchar_t DialogClass[] = L"QuorvelForm";
const wchar_t PanelClass[] = L"QuorvelPanel";
constexpr int FirstControlId = 100;

// Captions are Windows-1251; the windows take UTF-16.
std::wstring Wide(const std::string& cp1251) {
  const std::string utf8 = platform::Cp1251ToUtf8(cp1251);
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(n > 0 ? static_cast<std::size_t>(n) : 0, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string Cp1251(const std::wstring& wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n, nullptr, nullptr);
  return platform::Utf8ToCp1251(utf8);
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

void RegisterClasses(WNDPROC dialog, WNDPROC panel) {
  static const bool registered = [&] {
    WNDCLASSW windowClass{};
    windowClass.hInstance = ThisModule();
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpfnWndProc = dialog;
    windowClass.lpszClassName = DialogClass;
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    RegisterClassW(&windowClass);
    windowClass.lpfnWndProc = panel;
    windowClass.lpszClassName = PanelClass;
    windowClass.cbWndExtra = 0;
    RegisterClassW(&windowClass);
    return true;
  }();
  (void)registered;
}

// The width of a line of text in a font, in pixels.
int TextWidth(const std::wstring& text, HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  return size.cx;
}

// A panel's bevels: the outer one at its edge, the inner one just inside it.
void PaintBevels(HWND window, const TPanel& panel) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT rect;
  GetClientRect(window, &rect);
  auto bevel = [&](TPanelBevel kind) {
    if (kind == bvNone) return;
    const UINT edge = kind == bvLowered ? BDR_SUNKENOUTER : kind == bvRaised ? BDR_RAISEDINNER : 0;
    if (edge) DrawEdge(dc, &rect, edge, BF_RECT);
    InflateRect(&rect, -1, -1);
  };
  bevel(panel.BevelOuter());
  bevel(panel.BevelInner());
  EndPaint(window, &paint);
}

}  // namespace

TFormWindow::TFormWindow(TForm& Form, HWND Owner) : FForm(Form) {
  RegisterClasses(&DialogProcedure, &PanelProcedure);
  const bool fixed = Form.BorderStyle() == bsDialog || Form.BorderStyle() == bsSingle;
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | (fixed ? DS_MODALFRAME : WS_THICKFRAME);
  const DWORD exStyle = WS_EX_CONTROLPARENT | (Form.BorderStyle() == bsDialog ? WS_EX_DLGMODALFRAME : 0);
  RECT frame{0, 0, Form.ClientWidth(), Form.ClientHeight()};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  FWindow = CreateWindowExW(exStyle, DialogClass, Wide(Form.Caption()).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                            frame.right - frame.left, frame.bottom - frame.top, Owner, nullptr, ThisModule(), this);
  if (!FWindow) throw Exception("The window of the form " + Form.Name() + " cannot be made (system error " +
                                std::to_string(GetLastError()) + ")");
  SendMessageW(FWindow, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(Form)), FALSE);
  // Children in tab order first, so the system's Tab (which follows the windows' order) keeps it.
  std::vector<TControl*> order = Form.TabOrderedControls();
  std::map<TControl*, HWND> made;
  int id = FirstControlId;
  std::function<void(TControl&, HWND)> make = [&](TControl& parent, HWND parentWindow) {
    std::vector<TControl*> children;
    for (TControl* tabbed : order)
      if (tabbed->Parent() == &parent) children.push_back(tabbed);
    for (TControl* child : parent.Controls())
      if (std::find(children.begin(), children.end(), child) == children.end()) children.push_back(child);
    for (TControl* child : children) {
      HWND window = Build(*child, parentWindow, id++);
      made[child] = window;
      make(*child, window);
    }
  };
  make(Form, FWindow);
  for (TControl* control : order)
    if (made.count(control) && (GetWindowLongW(made[control], GWL_STYLE) & WS_TABSTOP)) {
      FFirstTabStop = made[control];
      break;
    }
}

TFormWindow::~TFormWindow() {
  if (FWindow) DestroyWindow(FWindow);
  for (HFONT font : FFonts) DeleteObject(font);
}

HFONT TFormWindow::FontFor(const TControl& Control) {
  const TFont font = Control.Font();
  HFONT made = CreateFontW(font.Height, 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           Wide(font.Name).c_str());
  if (made) FFonts.push_back(made);
  return made;
}

HWND TFormWindow::Build(TControl& Control, HWND Parent, int Id) {
  const wchar_t* windowClass = L"STATIC";
  DWORD style = WS_CHILD;
  DWORD exStyle = 0;
  int left = Control.Left();
  int width = Control.Width();
  int height = Control.Height();
  HFONT font = FontFor(Control);
  std::wstring text;
  auto* combo = dynamic_cast<TComboBox*>(&Control);
  auto* button = dynamic_cast<TButton*>(&Control);
  if (dynamic_cast<TPanel*>(&Control)) {
    windowClass = PanelClass;
    style |= WS_CLIPSIBLINGS;
    exStyle |= WS_EX_CONTROLPARENT;
  } else if (dynamic_cast<TLabel*>(&Control)) {
    style |= SS_RIGHT | SS_NOPREFIX;  // the labels line up at their right edges
    text = Wide(Control.Caption());
    // A caption wider in this system's font than its label grows the label leftwards, as an
    // automatically sized label does: it would otherwise wrap out of sight.
    if (const int needed = TextWidth(text, font); needed > width) {
      left -= needed - width;
      width = needed;
    }
  } else if (combo) {
    windowClass = L"COMBOBOX";
    style |= WS_VSCROLL | CBS_AUTOHSCROLL | (combo->Editable() ? CBS_DROPDOWN : CBS_DROPDOWNLIST);
    // A combo box's window reaches down over its open list.
    height += combo->DropDownCount() * combo->ItemHeight() + 2;
  } else if (button) {
    windowClass = L"BUTTON";
    style |= button->Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    text = Wide(Control.Caption());
    // Enter and Esc reach the dialog as these two commands.
    if (button->Default()) Id = IDOK;
    else if (button->Cancel()) Id = IDCANCEL;
  }
  if (Control.TabOrder() >= 0 && windowClass != PanelClass && !dynamic_cast<TLabel*>(&Control)) style |= WS_TABSTOP;
  if (Control.Visible()) style |= WS_VISIBLE;
  if (!Control.Enabled()) style |= WS_DISABLED;
  HWND window = CreateWindowExW(exStyle, windowClass, text.c_str(), style, left, Control.Top(), width, height, Parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id)), ThisModule(), &Control);
  if (!window) throw Exception("The control " + Control.Name() + " cannot be made (system error " +
                               std::to_string(GetLastError()) + ")");
  if (windowClass == PanelClass) SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&Control));
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  FControls[Id] = &Control;
  if (combo) {
    for (const std::string& item : combo->Items().Items())
      SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
    // The selection field keeps the control's height; the list rows their item height.
    SendMessageW(window, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Control.Height() - 6);
    SendMessageW(window, CB_SETITEMHEIGHT, 0, combo->ItemHeight());
    SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(combo->ItemIndex()), 0);
    if (combo->Editable()) SetWindowTextW(window, Wide(combo->Text()).c_str());
  }
  return window;
}

LRESULT CALLBACK TFormWindow::DialogProcedure(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_NCCREATE)
    SetWindowLongPtrW(Window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(LParam)->lpCreateParams));
  auto* self = reinterpret_cast<TFormWindow*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
  if (self) {
    switch (Msg) {
      case WM_COMMAND:
        return self->Command(LOWORD(WParam), HIWORD(WParam), reinterpret_cast<HWND>(LParam));
      case WM_CLOSE:  // the window's close box counts as Esc
        return self->Command(IDCANCEL, BN_CLICKED, nullptr);
      case WM_CTLCOLORSTATIC:  // labels stand on the face they sit on
        SetBkMode(reinterpret_cast<HDC>(WParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      case WM_NCDESTROY:
        SetWindowLongPtrW(Window, GWLP_USERDATA, 0);
        break;
    }
  }
  return DefWindowProcW(Window, Msg, WParam, LParam);
}

LRESULT CALLBACK TFormWindow::PanelProcedure(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_PAINT:
      if (auto* panel = reinterpret_cast<TPanel*>(GetWindowLongPtrW(Window, GWLP_USERDATA))) {
        PaintBevels(Window, *panel);
        return 0;
      }
      break;
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      // What the controls on a panel report belongs to the form.
      return SendMessageW(GetAncestor(Window, GA_ROOT), Msg, WParam, LParam);
  }
  return DefWindowProcW(Window, Msg, WParam, LParam);
}

LRESULT TFormWindow::Command(int Id, int Notification, HWND Control) {
  // The model's handlers run here; nothing of theirs may unwind through the system's frames.
  try {
    if (Id == IDOK || Id == IDCANCEL) {
      TButton* button = Id == IDOK ? FForm.DefaultButton() : FForm.CancelButton();
      if (button) Press(button);
      else if (Id == IDCANCEL) Finish(mrCancel);
      return 0;
    }
    const auto found = FControls.find(Id);
    if (found == FControls.end()) return 0;
    if (auto* button = dynamic_cast<TButton*>(found->second); button && Notification == BN_CLICKED) {
      Press(button);
    } else if (auto* combo = dynamic_cast<TComboBox*>(found->second)) {
      if (Notification == CBN_SELCHANGE) {
        combo->UserSelect(static_cast<int>(SendMessageW(Control, CB_GETCURSEL, 0, 0)));
      } else if (Notification == CBN_EDITCHANGE) {
        combo->UserType(Cp1251(WindowText(Control)));
      }
    }
  } catch (...) {
    FFailure = std::current_exception();
    FFinished = true;
  }
  return 0;
}

void TFormWindow::Press(TButton* Button) {
  Button->Click();
  if (FForm.ModalResult() != mrNone) FFinished = true;
}

void TFormWindow::Finish(TModalResult Result) {
  FForm.SetModalResult(Result);
  FFinished = true;
}
