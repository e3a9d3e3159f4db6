#pragma once
// The main window as it is designed, in pixels of a 96-dpi screen: one definition that the
// Qt window and the Win32 window both lay themselves out from.

namespace tarvik::form {

struct TRect {
    int left;
    int top;
    int width;
    int height;
};

// Place on the screen and outer size, frame and title bar included.
inline constexpr TRect kOuter{192, 107, 386, 152};

// Controls, relative to the client area.
inline constexpr TRect kRadioGroup1{8, 0, 361, 33};
inline constexpr TRect kGauge1{8, 40, 361, 41};
inline constexpr TRect kButton1{144, 88, 75, 25};

inline constexpr int kRadioGroupColumns = 2;

// The window's font, used by every control.
inline constexpr const char* kFontFace = "MS Sans Serif";
inline constexpr int kFontPixelHeight = 11;

}  // namespace tarvik::form
