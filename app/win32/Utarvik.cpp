#include "app/win32/Utarvik.h"

#include "app/FormDefinition.h"
#include "app/Messages.h"
#include "app/win32/Boxes.h"
#include "app/win32/Cursor.h"
#include "app/win32/KeepAnswering.h"
#include "app/win32/Text.h"

#include <commctrl.h>

namespace tarvik {
namespace {

constexpr wchar_t kClassName[] = L"TForm1";
// Not IDOK or IDCANCEL: the dialog navigation of the message loop sends those for Enter and
// Esc wherever the focus is, and Enter on a radio item must not start a run.
constexpr int kButton1Id = 100;
constexpr int kFirstRadioId = 110;

// Room the frame's caption takes above the items, and the items' height, in pixels.
constexpr int kRadioCaptionHeight = 13;
constexpr int kRadioItemHeight = 17;
constexpr int kRadioItemIndent = 8;

// The layout is designed at 96 dots per inch. The program declares itself aware of the
// screen's resolution (so that the system does not stretch it blurred), and so lays itself out
// at that resolution: on a 150 % screen every place, size and the font are half again as large.
int Scaled(int designPixels) {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        const int value = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
        if (screen) ReleaseDC(nullptr, screen);
        return value > 0 ? value : 96;
    }();
    return MulDiv(designPixels, dpi, 96);
}

form::TRect Scaled(const form::TRect& r) {
    // The left and right edges are scaled, not the width, so that neighbours stay flush.
    const int left = Scaled(r.left);
    const int top = Scaled(r.top);
    return form::TRect{left, top, Scaled(r.left + r.width) - left, Scaled(r.top + r.height) - top};
}

HWND CreateChild(HWND parent, const wchar_t* windowClass, const std::string& caption, DWORD style,
                 const form::TRect& designPlace, int id) {
    const form::TRect place = Scaled(designPlace);
    return CreateWindowExW(0, windowClass, WidenWindows1252(caption).c_str(), WS_CHILD | WS_VISIBLE | style,
                           place.left, place.top, place.width, place.height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

void TForm1::RegisterClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    // The icon compiled into the executable (resource 1), large for the task bar and
    // Alt+Tab, small for the title bar.
    windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), 0));
    RegisterClassExW(&windowClass);
    TGauge::RegisterClass(instance);
}

TForm1::TForm1() {
    // Asked for by name; where the face is missing the system picks its nearest match.
    LOGFONTW face{};
    face.lfHeight = -Scaled(form::kFontPixelHeight);  // negative: the character height, not the cell's
    face.lfWeight = FW_NORMAL;
    face.lfCharSet = DEFAULT_CHARSET;
    const std::wstring faceName = WidenWindows1252(form::kFontFace);
    faceName.copy(face.lfFaceName, LF_FACESIZE - 1);
    font_ = CreateFontIndirectW(&face);

    // Not WS_CLIPCHILDREN: a group box draws only its frame and caption, and leaves its inside
    // to the window's background.
    const form::TRect outer = Scaled(form::kOuter);
    handle_ = CreateWindowExW(0, kClassName, WidenWindows1252(app_messages::kFormCaption).c_str(),
                              WS_OVERLAPPEDWINDOW, outer.left, outer.top, outer.width, outer.height, nullptr,
                              nullptr, GetModuleHandleW(nullptr), this);
    CreateControls();

    SetBoxOwner(handle_);
    try {
        FormCreate();
    } catch (...) {
        ShowCaughtError();
    }
}

TForm1::~TForm1() {
    SetBoxOwner(nullptr);
    if (handle_) DestroyWindow(handle_);
    Gauge1.reset();
    if (font_) DeleteObject(font_);
}

void TForm1::CreateControls() {
    // The tab order is the order of creation: the button first (it has the focus at start),
    // then the radio items.
    Button1 = CreateChild(handle_, WC_BUTTONW, app_messages::kStartButton, WS_TABSTOP | BS_PUSHBUTTON, form::kButton1,
                          kButton1Id);
    const form::TRect gauge = Scaled(form::kGauge1);
    Gauge1 = std::make_unique<TGauge>(handle_, gauge.left, gauge.top, gauge.width, gauge.height);
    RadioGroup1 =
        CreateChild(handle_, WC_BUTTONW, app_messages::kRadioGroupCaption, BS_GROUPBOX, form::kRadioGroup1, 0);

    // The items share the frame's inner width in columns, below its caption.
    const form::TRect& group = form::kRadioGroup1;
    const int columnWidth = (group.width - 2 * kRadioItemIndent) / form::kRadioGroupColumns;
    const char* items[] = {kTargetTables[0], kTargetTables[1]};
    for (int i = 0; i < 2; ++i) {
        const form::TRect place{group.left + kRadioItemIndent + i * columnWidth, group.top + kRadioCaptionHeight,
                                columnWidth, kRadioItemHeight};
        // The first item starts the group: Tab reaches the selected item, the arrows move between them.
        const DWORD style = BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0);
        RadioItems[i] = CreateChild(handle_, WC_BUTTONW, items[i], style, place, kFirstRadioId + i);
    }
    SendMessageW(RadioItems[0], BM_SETCHECK, BST_CHECKED, 0);

    for (HWND child : {Button1, Gauge1->Handle(), RadioGroup1, RadioItems[0], RadioItems[1]}) {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
}

int TForm1::RadioItemIndex() const {
    for (int i = 0; i < 2; ++i) {
        if (SendMessageW(RadioItems[i], BM_GETCHECK, 0, 0) == BST_CHECKED) return i;
    }
    return -1;
}

void TForm1::FormCreate() { Components.ApplySettings(); }

void TForm1::Button1Click() {
    // After the run the focus is where it was, on the button (on the selected item when the
    // run left the button disabled).
    struct TRunning {
        TForm1& form;
        ~TRunning() {
            form.running_ = false;
            const int item = form.RadioItemIndex();
            SetFocus(IsWindowEnabled(form.Button1) ? form.Button1 : form.RadioItems[item < 0 ? 0 : item]);
        }
    } running{*this};
    running_ = true;
    Components.Run(*this, TargetTableFor(RadioItemIndex()));
}

void TForm1::SetStartEnabled(bool enabled) { EnableWindow(Button1, enabled ? TRUE : FALSE); }

void TForm1::SetGaugeMaximum(int32_t maximum) { Gauge1->SetMaxValue(maximum); }

int32_t TForm1::GaugeProgress() const { return Gauge1->Progress(); }

void TForm1::SetGaugeProgress(int32_t progress) {
    Gauge1->SetProgress(progress);
    // Between products: the window answers the system without taking input (KeepAnswering.h).
    KeepAnswering();
}

void TForm1::Inform(const std::string& text) { ShowInformation(text); }

LRESULT CALLBACK TForm1::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = reinterpret_cast<TForm1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        form = static_cast<TForm1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->handle_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    if (!form) return DefWindowProcW(window, message, wParam, lParam);
    // Nothing may unwind into the system's frames: an error that escapes a handler is shown
    // here, and the message loop goes on.
    try {
        return form->Handle(window, message, wParam, lParam);
    } catch (...) {
        ShowCaughtError();
        return 0;
    }
}

LRESULT TForm1::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        // A click of the enabled button itself; a disabled button never starts a run.
        if (LOWORD(wParam) == kButton1Id && HIWORD(wParam) == BN_CLICKED &&
            reinterpret_cast<HWND>(lParam) == Button1 && IsWindowEnabled(Button1)) {
            Button1Click();
            return 0;
        }
        // Enter: the dialog navigation of the message loop sends IDOK wherever the focus is. It
        // presses the button only when the button has the focus, as in every dialog.
        if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED && GetFocus() == Button1 &&
            IsWindowEnabled(Button1)) {
            Button1Click();
            return 0;
        }
        break;
    case WM_ACTIVATE:
        // A top-level window that is not a dialog forgets its focused control when another
        // window (a box) takes over; it is given back on return (the button at first).
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus && IsChild(window, focus)) lastFocus_ = focus;
            break;
        }
        if (HIWORD(wParam)) break;  // minimised
        if (const HWND target = lastFocus_ ? lastFocus_ : Button1; target && IsWindowEnabled(target)) {
            SetFocus(target);
            return 0;
        }
        break;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: {
        // The controls stand on the window's button-face background, not on the system's
        // default brush (which themed radio items would otherwise show around themselves).
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
        // While the data layer works the wait cursor shows over every part of the window.
        if (WaitCursorShown()) {
            ShowCursorShape(TCursorShape::Wait);
            return TRUE;
        }
        break;
    case WM_CLOSE:
        if (running_) return 0;
        break;
    case WM_QUERYENDSESSION:
        if (running_) return FALSE;
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        handle_ = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tarvik
