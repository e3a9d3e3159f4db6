#include "app/qt/Application.h"

#include "app/ProgramLife.h"
#include "app/qt/Utarvik.h"

#include <memory>

namespace tarvik {
namespace {

class TQtShell : public TProgramShell {
public:
    void InstallCursorHook() override { tarvik::InstallCursorHook(); }
    void CreateMainWindow() override {
        form_ = std::make_unique<TForm1>();  // runs FormCreate; an error there is shown before the window
        Form1 = form_.get();
    }
    void ShowMainWindow() override { form_->show(); }
    void RunEventLoop() override { QApplication::exec(); }
    void ReleaseMainWindow() override {
        Form1 = nullptr;
        form_.reset();
    }

private:
    std::unique_ptr<TForm1> form_;
};

}  // namespace

int RunProgram(int argc, char** argv) {
    // The toolkit sees the program's name alone, so that no option of the command line
    // changes how the program behaves.
    static char fallbackName[] = "tarvik";
    char* qtArgv[] = {argc > 0 && argv[0] ? argv[0] : fallbackName, nullptr};
    int qtArgc = 1;
    TApplication application(qtArgc, qtArgv);
    TQtShell shell;
    return RunProgramLife(shell);
}

}  // namespace tarvik
