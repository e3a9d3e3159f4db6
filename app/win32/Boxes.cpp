#include "app/win32/Boxes.h"

#include "app/Messages.h"
#include "app/win32/Text.h"

#include <algorithm>

namespace tarvik {
namespace {

HWND g_owner = nullptr;

// Margins and the button's size of the information box, in pixels.
constexpr int kMargin = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

struct TInformationBox {
    std::wstring caption;
    std::wstring text;
    HFONT font = nullptr;
};

HFONT CreateMessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

// The text's size when its lines break at `width` pixels.
SIZE MeasureText(HWND window, HFONT font, const std::wstring& text, int width) {
    RECT bounds{0, 0, width, 0};
    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(dc, font);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top};
}

void LayOutInformationBox(HWND dialog, const TInformationBox& box) {
    SetWindowTextW(dialog, box.caption.c_str());
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const SIZE text = MeasureText(dialog, box.font, box.text, screenWidth / 2);

    const int clientWidth = std::max<int>(text.cx, kButtonWidth) + 2 * kMargin;
    const int clientHeight = text.cy + kButtonHeight + 3 * kMargin;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    // A static control wraps its text at word boundaries, as DT_WORDBREAK measured it.
    HWND label = CreateWindowExW(0, L"STATIC", box.text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                                 kMargin, kMargin, text.cx, text.cy, dialog, nullptr, instance, nullptr);
    HWND ok = CreateWindowExW(0, L"BUTTON", WidenWindows1252(app_messages::kOkButton).c_str(),
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                              (clientWidth - kButtonWidth) / 2, 2 * kMargin + text.cy, kButtonWidth,
                              kButtonHeight, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)),
                              instance, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(box.font), FALSE);
    SendMessageW(ok, WM_SETFONT, reinterpret_cast<WPARAM>(box.font), FALSE);

    RECT outer{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    SetWindowPos(dialog, nullptr, (screenWidth - width) / 2, (screenHeight - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetFocus(ok);
}

INT_PTR CALLBACK InformationBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        LayOutInformationBox(dialog, *reinterpret_cast<const TInformationBox*>(lParam));
        return FALSE;  // the focus is set
    case WM_COMMAND:
        // The dialog manager turns Enter into the default button's IDOK and Esc into IDCANCEL.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

// A dialog without controls; the box adds its own once it knows its text's size.
struct alignas(4) TEmptyDialogTemplate {
    DLGTEMPLATE header;
    WORD menu;
    WORD windowClass;
    WORD title;
};

}  // namespace

void SetBoxOwner(HWND owner) { g_owner = owner; }

void ShowErrorBox(const std::string& message) {
    const std::wstring text = WidenWindows1252(ErrorBoxText(message));
    const std::wstring caption = WidenWindows1252(ApplicationTitle());
    // No owner window: the box belongs to the application, and task-modal keeps every
    // window of the program from taking input while it shows.
    MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

void ShowErrorBox(const std::exception& error) { ShowErrorBox(ErrorMessageOf(error)); }

void ShowCaughtError() { ShowErrorBox(CaughtErrorMessage()); }

void ShowInformation(const std::string& text) {
    TInformationBox box{WidenWindows1252(ApplicationTitle()), WidenWindows1252(text), CreateMessageFont()};
    TEmptyDialogTemplate dialog{};
    dialog.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &dialog.header, g_owner, InformationBoxProc,
                            reinterpret_cast<LPARAM>(&box));
    DeleteObject(box.font);
}

}  // namespace tarvik
