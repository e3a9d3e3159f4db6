#pragma once
// The main window in Windows' own toolkit: the target-table choice, the gauge, the start
// button, and the main connection with its transaction and three queries (run/RunComponents.h),
// all owned by the window. Laid out from app/FormDefinition.h, as the Qt window is; the window
// is the run's view of it.

#include "app/win32/Gauge.h"
#include "run/GenerationRun.h"
#include "run/RunComponents.h"

#include <memory>
#include <string>

#include <windows.h>

namespace tarvik {

class TForm1 : public TRunView {
public:
    // Builds every control and component with its design-time values, then runs FormCreate;
    // an error that escapes FormCreate is shown in the error box and creation goes on. The
    // window is not shown yet.
    TForm1();
    ~TForm1() override;
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // Points Conexao at the server and database of sistema_qor.ini, with its deciphered
    // password. Connects nothing.
    void FormCreate();
    // The start button: the generation run over every product, into the table of the selected
    // radio item.
    void Button1Click();

    // What the run asks of the window: the start button, the gauge, the information box.
    void SetStartEnabled(bool enabled) override;
    void SetGaugeMaximum(int32_t maximum) override;
    int32_t GaugeProgress() const override;
    void SetGaugeProgress(int32_t progress) override;
    void Inform(const std::string& text) override;

    HWND Handle() const { return handle_; }
    // The selected radio item's index, -1 when none is.
    int RadioItemIndex() const;

    static void RegisterClass(HINSTANCE instance);

    // Child windows; the system destroys them with the window.
    HWND Button1 = nullptr;
    std::unique_ptr<TGauge> Gauge1;
    HWND RadioGroup1 = nullptr;  // the frame with its caption
    HWND RadioItems[2] = {nullptr, nullptr};
    // The data components, owned by the window.
    TRunComponents Components;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();

    HWND handle_ = nullptr;
    HFONT font_ = nullptr;
    // While a run works, a request to close the window is refused: it would destroy the
    // window and its components under the run.
    bool running_ = false;
    HWND lastFocus_ = nullptr;
};

}  // namespace tarvik
