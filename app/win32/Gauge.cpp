#include "app/win32/Gauge.h"

namespace tarvik {
namespace {

constexpr wchar_t kClassName[] = L"TGauge";

RECT ToRect(const TGaugePlan::TBox& box) {
    return RECT{box.left, box.top, box.left + box.width, box.top + box.height};
}

void Fill(HDC dc, const RECT& rect, int stockBrush) {
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(stockBrush)));
}

// The percentage centred in `inner`, in `color`, only where `clip` lets it.
void DrawClippedText(HDC dc, const std::wstring& text, RECT inner, const RECT& clip, COLORREF color) {
    if (clip.right <= clip.left || clip.bottom <= clip.top) return;
    SaveDC(dc);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    SetTextColor(dc, color);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inner, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    RestoreDC(dc, -1);
}

}  // namespace

void TGauge::RegisterClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
}

TGauge::TGauge(HWND parent, int left, int top, int width, int height) {
    handle_ = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE, left, top, width, height, parent,
                              nullptr, GetModuleHandleW(nullptr), this);
}

void TGauge::SetMaxValue(int32_t value) {
    if (model_.SetMaxValue(value)) RedrawNow();
}

void TGauge::SetProgress(int32_t value) {
    if (model_.SetProgress(value)) RedrawNow();
}

void TGauge::RedrawNow() {
    InvalidateRect(handle_, nullptr, FALSE);
    UpdateWindow(handle_);
}

void TGauge::Paint(HDC target, int width, int height) {
    // Drawn off screen first, so that the bar and the text never flicker on a busy run.
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
    HGDIOBJ previousBitmap = SelectObject(dc, bitmap);

    Fill(dc, RECT{0, 0, width, height}, BLACK_BRUSH);  // the frame; the field covers all but its edge
    const TGaugePlan plan = PlanGauge(width, height, model_.PercentDone());
    if (!plan.inner.Empty()) {
        const RECT inner = ToRect(plan.inner);
        Fill(dc, inner, WHITE_BRUSH);
        Fill(dc, ToRect(plan.bar), BLACK_BRUSH);
        const std::wstring text(plan.text.begin(), plan.text.end());  // digits and "%" only
        HGDIOBJ previousFont = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        DrawClippedText(dc, text, inner, ToRect(plan.field), RGB(0, 0, 0));
        DrawClippedText(dc, text, inner, ToRect(plan.bar), RGB(255, 255, 255));
        SelectObject(dc, previousFont);
    }

    BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    SelectObject(dc, previousBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

LRESULT CALLBACK TGauge::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* gauge = reinterpret_cast<TGauge*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_NCCREATE: {
        gauge = static_cast<TGauge*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(gauge));
        break;
    }
    case WM_SETFONT:
        if (gauge) gauge->font_ = reinterpret_cast<HFONT>(wParam);
        if (gauge && LOWORD(lParam)) gauge->RedrawNow();
        return 0;
    case WM_GETFONT:
        return gauge ? reinterpret_cast<LRESULT>(gauge->font_) : 0;
    case WM_ERASEBKGND:
        return 1;  // every pixel is painted in WM_PAINT
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        if (gauge) gauge->Paint(dc, client.right, client.bottom);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (gauge) gauge->handle_ = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tarvik
