#pragma once
// The progress gauge as a window of its own class: a black frame, a white field, a black bar
// growing from the left and the percentage centred over both, drawn inverted (TGaugePlan).
// Its values and rules are TGaugeModel's. When the model says that what it shows changed, the
// gauge paints at once (UpdateWindow sends the paint straight to it), because the run does
// not let the message loop run.

#include "app/GaugeModel.h"

#include <windows.h>

namespace tarvik {

class TGauge {
public:
    // Makes the control as a child of `parent` at the given place, in the parent's font.
    TGauge(HWND parent, int left, int top, int width, int height);
    TGauge(const TGauge&) = delete;
    TGauge& operator=(const TGauge&) = delete;

    HWND Handle() const { return handle_; }
    const TGaugeModel& Model() const { return model_; }
    int32_t Progress() const { return model_.Progress(); }
    void SetMaxValue(int32_t value);
    void SetProgress(int32_t value);

    static void RegisterClass(HINSTANCE instance);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc, int width, int height);
    void RedrawNow();

    HWND handle_ = nullptr;
    HFONT font_ = nullptr;  // the window's, set by WM_SETFONT; not ours to delete
    TGaugeModel model_;
};

}  // namespace tarvik
