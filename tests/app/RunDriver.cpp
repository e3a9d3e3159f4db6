// The program's whole life, start-up to exit code, driven without a user:
//
//   tarvik_run_driver DIR [PID PERCENT]
//
// The settings files are those of DIR. Once the window is up, the start button is clicked
// and, when the click has been handled, the window is closed; the exit code is the program's.
// The boxes are written to standard output instead of shown, one line each: "error\t" or
// "information\t" and the text, with CR, LF and backslash written as \r, \n and \\.
// With PID and PERCENT, that process is killed (SIGKILL) when the gauge first paints PERCENT
// or more, and the run goes on only once the process is gone.
#include "app/qt/Application.h"
#include "app/qt/Boxes.h"
#include "app/qt/Gauge.h"
#include "app/qt/Utarvik.h"
#include "platform/ExecutablePath.h"

#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

pid_t victim = 0;
int killAtPercent = 0;

std::string Escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c == '\\') out += "\\\\";
        else out += c;
    }
    return out;
}

// A killed process stays a zombie until its parent (the test) reaps it; either way it no
// longer serves anything.
bool Gone(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return true;
    const size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z';
}

class TKillAtPercent : public QObject {
public:
    explicit TKillAtPercent(tarvik::TGauge* gauge) : QObject(gauge), gauge_(gauge) {}

    bool eventFilter(QObject*, QEvent* event) override {
        if (done_ || event->type() != QEvent::Paint || gauge_->PercentDone() < killAtPercent) return false;
        done_ = true;
        ::kill(victim, SIGKILL);
        for (int i = 0; i < 1000 && !Gone(victim); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return false;
    }

private:
    tarvik::TGauge* gauge_;
    bool done_ = false;
};

// The gauge paints only once the window is on the (offscreen) screen, so the click waits
// for that.
void ClickWhenExposed() {
    tarvik::TForm1* form = tarvik::Form1;
    if (!form || !form->windowHandle() || !form->windowHandle()->isExposed()) {
        QTimer::singleShot(10, qApp, &ClickWhenExposed);
        return;
    }
    if (victim > 0) form->Gauge1->installEventFilter(new TKillAtPercent(form->Gauge1));
    // Queued once the click is handled (the window refuses to close while a run works, and
    // answers queued events meanwhile), also when the click's handler fails.
    struct TCloseAfterwards {
        ~TCloseAfterwards() { QTimer::singleShot(0, qApp, [] { tarvik::Form1->close(); }); }
    } closeAfterwards;
    form->Button1->click();
}

void Drive() { QTimer::singleShot(0, qApp, &ClickWhenExposed); }

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Drive)

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: %s DIR [PID PERCENT]\n", argv[0]);
        return 2;
    }
    tarvik::SetExecutableDirectoryOverride(argv[1]);
    if (argc == 4) {
        victim = static_cast<pid_t>(std::atoi(argv[2]));
        killAtPercent = std::atoi(argv[3]);
    }
    tarvik::SetBoxHook([](const tarvik::TBoxShown& box) {
        std::printf("%s\t%s\n", box.kind == tarvik::TBoxKind::Error ? "error" : "information",
                    Escaped(box.text).c_str());
        std::fflush(stdout);
    });
    char* programArgv[] = {argv[0], nullptr};
    return tarvik::RunProgram(1, programArgv);
}
