#include "app/win32/Program.h"

#include "app/ProgramLife.h"
#include "app/win32/Cursor.h"
#include "app/win32/Utarvik.h"

#include <commctrl.h>

#include <memory>

namespace tarvik {
namespace {

class TWin32Shell : public TProgramShell {
public:
    explicit TWin32Shell(int showCommand) : showCommand_(showCommand) {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        TForm1::RegisterClass(GetModuleHandleW(nullptr));
    }

    void InstallCursorHook() override { tarvik::InstallCursorHook(); }
    void CreateMainWindow() override { form_ = std::make_unique<TForm1>(); }
    void ShowMainWindow() override {
        ShowWindow(form_->Handle(), showCommand_);
        UpdateWindow(form_->Handle());
        SetFocus(form_->Button1);
    }
    void RunEventLoop() override {
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            // Tab and the arrow keys move between the controls as in a dialog.
            if (form_->Handle() && IsDialogMessageW(form_->Handle(), &message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    void ReleaseMainWindow() override { form_.reset(); }

private:
    int showCommand_;
    std::unique_ptr<TForm1> form_;
};

}  // namespace

int RunProgram(int showCommand) {
    TWin32Shell shell(showCommand);
    return RunProgramLife(shell);
}

}  // namespace tarvik
