// Reads back, from outside, what the Windows program shows: its main window (class TForm1)
// and the boxes it opens, as the system sees them. The Wine tests run it beside tarvik.exe
// in the same prefix; what it cannot see from another process (fonts) the screenshot shows.
//
//   tarvik_win32_probe form SECONDS          the main window: place, client size, controls in
//                                            tab order (class, text, place, enabled, tab stop),
//                                            the focus, the gauge's bar as drawn, and each
//                                            captioned control's centre on the screen
//   tarvik_win32_probe box CAPTION SECONDS   a box captioned CAPTION: its icon, texts, buttons
//   tarvik_win32_probe gone CAPTION SECONDS  waits until no box is captioned CAPTION
//   tarvik_win32_probe answering SECONDS     whether the main window answers a sent message
//                                            within a second, and whether the system counts
//                                            it as hung
//
// Prints UTF-8 lines with tab-separated fields; exits 1 when what it waits for does not come.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring Wide(const char* text) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(size > 0 ? size - 1 : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), size);
    return out;
}

std::wstring TextOf(HWND window) {
    wchar_t buffer[4096];
    const int length = GetWindowTextW(window, buffer, 4096);
    return std::wstring(buffer, static_cast<size_t>(length > 0 ? length : 0));
}

std::wstring ClassOf(HWND window) {
    wchar_t buffer[256];
    const int length = GetClassNameW(window, buffer, 256);
    return std::wstring(buffer, static_cast<size_t>(length > 0 ? length : 0));
}

// A top-level window of `windowClass` (any class when empty) with exactly this caption.
HWND FindTopLevel(const std::wstring& windowClass, const std::wstring& caption) {
    struct TSearch {
        std::wstring windowClass;
        std::wstring caption;
        HWND found;
    } search{windowClass, caption, nullptr};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<TSearch*>(context);
            if (!IsWindowVisible(window)) return TRUE;
            if (!s->windowClass.empty() && ClassOf(window) != s->windowClass) return TRUE;
            if (TextOf(window) != s->caption) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitFor(const std::wstring& windowClass, const std::wstring& caption, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        if (HWND found = FindTopLevel(windowClass, caption)) return found;
        if (std::chrono::steady_clock::now() > deadline) return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    // In z-order, which is the order of Tab among the controls with WS_TABSTOP.
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// A child's place relative to its parent's client area.
RECT PlaceOf(HWND child, HWND parent) {
    RECT place;
    GetWindowRect(child, &place);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

void PrintLine(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) line += (i ? "\t" : "") + fields[i];
    std::printf("%s\n", line.c_str());
}

std::string Box(const RECT& r) {
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + " " +
           std::to_string(r.bottom - r.top);
}

// The pixels of a screen rectangle, top row first.
std::vector<COLORREF> Pixels(HDC source, int left, int top, int width, int height) {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(source, left + x, top + y));
    return pixels;
}

int DescribeForm(int seconds) {
    HWND form = WaitFor(L"TForm1", L"Tarvik", seconds);
    if (!form) {
        std::printf("no main window\n");
        return 1;
    }
    RECT outer;
    GetWindowRect(form, &outer);
    RECT client;
    GetClientRect(form, &client);
    PrintLine({"title", Utf8(TextOf(form))});
    PrintLine({"outer", Box(outer)});
    PrintLine({"client", std::to_string(client.right) + " " + std::to_string(client.bottom)});
    const LONG_PTR style = GetWindowLongPtrW(form, GWL_STYLE);
    PrintLine({"frame", (style & WS_THICKFRAME) ? "sizable" : "fixed", (style & WS_SYSMENU) ? "sysmenu" : "-",
               (style & WS_MINIMIZEBOX) ? "minimize" : "-", (style & WS_MAXIMIZEBOX) ? "maximize" : "-"});
    for (HWND child : Children(form)) {
        const LONG_PTR childStyle = GetWindowLongPtrW(child, GWL_STYLE);
        std::string kind = Utf8(ClassOf(child));
        if (kind == "Button") {
            switch (childStyle & BS_TYPEMASK) {
            case BS_GROUPBOX: kind = "groupbox"; break;
            case BS_AUTORADIOBUTTON:
            case BS_RADIOBUTTON:
                kind = SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED ? "radio*" : "radio";
                break;
            default: kind = "button"; break;
            }
        }
        PrintLine({"control", kind, Utf8(TextOf(child)), Box(PlaceOf(child, form)),
                   IsWindowEnabled(child) ? "enabled" : "disabled", (childStyle & WS_TABSTOP) ? "tabstop" : "-"});
    }
    HWND focus = nullptr;
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    if (GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &gui)) focus = gui.hwndFocus;
    PrintLine({"focus", focus ? Utf8(TextOf(focus)) : std::string("-")});
    // The gauge's bar as drawn: its black pixels along the inside's top row (the percentage is
    // centred well below it), counted from the left edge inside the frame.
    for (HWND child : Children(form)) {
        if (ClassOf(child) != L"TGauge") continue;
        RECT place;
        GetWindowRect(child, &place);
        HDC screen = GetDC(nullptr);
        const std::vector<COLORREF> row = Pixels(screen, place.left + 1, place.top + 2, place.right - place.left - 2, 1);
        ReleaseDC(nullptr, screen);
        size_t bar = 0;
        while (bar < row.size() && row[bar] == RGB(0, 0, 0)) ++bar;
        PrintLine({"gauge", std::to_string(bar) + " of " + std::to_string(row.size())});
    }
    // Where a click on each captioned control goes, in screen coordinates.
    for (HWND child : Children(form)) {
        if (TextOf(child).empty()) continue;
        RECT place;
        GetWindowRect(child, &place);
        PrintLine({"click", Utf8(TextOf(child)),
                   std::to_string((place.left + place.right) / 2) + " " + std::to_string((place.top + place.bottom) / 2)});
    }
    return 0;
}

// Which of the system's icons a box's icon control shows. Icon handles are the showing
// process's own, so the icon is compared as drawn: the control's pixels on the screen
// against each system icon drawn here on the control's own background.
std::string IconShown(HWND control) {
    RECT place;
    GetWindowRect(control, &place);
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    HDC screen = GetDC(nullptr);
    const std::vector<COLORREF> shown = Pixels(screen, place.left, place.top, width, height);
    const COLORREF background = shown.empty() ? RGB(0, 0, 0) : shown.front();
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    std::string name = "other";
    const std::pair<const wchar_t*, const char*> icons[] = {
        {IDI_HAND, "stop"}, {IDI_INFORMATION, "information"}, {IDI_EXCLAMATION, "warning"}, {IDI_QUESTION, "question"}};
    for (const auto& [id, label] : icons) {
        HBRUSH brush = CreateSolidBrush(background);
        RECT all{0, 0, width, height};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        DrawIconEx(dc, 0, 0, LoadIconW(nullptr, id), 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
        if (Pixels(dc, 0, 0, width, height) == shown) {
            name = label;
            break;
        }
    }
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return name;
}

int DescribeBox(const std::wstring& caption, int seconds) {
    HWND box = WaitFor(L"#32770", caption, seconds);
    if (!box) {
        std::printf("no box\n");
        return 1;
    }
    std::string icon = "none";
    // Drawn once it is shown; a box just opened may not have painted yet.
    UpdateWindow(box);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    for (HWND child : Children(box)) {
        const std::string kind = Utf8(ClassOf(child));
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        if (kind == "Static" && (style & SS_TYPEMASK) == SS_ICON) {
            icon = IconShown(child);
        } else if (kind == "Static") {
            if (!TextOf(child).empty()) PrintLine({"text", Utf8(TextOf(child))});
        } else if (kind == "Button" && IsWindowVisible(child)) {
            PrintLine({"button", Utf8(TextOf(child)), IsWindowEnabled(child) ? "enabled" : "disabled"});
        }
    }
    PrintLine({"icon", icon});
    return 0;
}

int WaitGone(const std::wstring& caption, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (FindTopLevel(L"#32770", caption)) {
        if (std::chrono::steady_clock::now() > deadline) {
            std::printf("box still there\n");
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return 0;
}

// Whether the main window answers a message sent from outside within a second, and whether
// the system counts it as hung (its queue unread for a few seconds), as Windows decides
// whether to write "Not Responding" in its title and offer to end it.
int DescribeAnswering(int seconds) {
    HWND form = WaitFor(L"TForm1", L"Tarvik", seconds);
    if (!form) {
        std::printf("no main window\n");
        return 1;
    }
    DWORD_PTR result = 0;
    const bool answers = SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0;
    PrintLine({"answers", answers ? "yes" : "no"});
    PrintLine({"hung", IsHungAppWindow(form) ? "yes" : "no"});
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "form" && argc == 3) return DescribeForm(std::atoi(argv[2]));
    if (command == "box" && argc == 4) return DescribeBox(Wide(argv[2]), std::atoi(argv[3]));
    if (command == "gone" && argc == 4) return WaitGone(Wide(argv[2]), std::atoi(argv[3]));
    if (command == "answering" && argc == 3) return DescribeAnswering(std::atoi(argv[2]));
    std::fprintf(stderr, "usage: tarvik_win32_probe form SECONDS | box CAPTION SECONDS | gone CAPTION SECONDS"
                         " | answering SECONDS\n");
    return 2;
}
