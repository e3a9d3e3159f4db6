#pragma once
// The application object (with the program's icon) and the program's life from start to exit.

#include <QApplication>

namespace tarvik {

// The program's icon (packaging's 48-pixel one), compiled in as a resource.
inline constexpr const char* kProgramIconResource = ":/icons/org.tarvik.Tarvik.png";

// Every exception that escapes the handling of one event ends up in the error box, and the
// event loop goes on with the next event.
class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the error being handled in the error box; call it only inside a catch block. Handlers
// connected to Qt signals catch with it themselves, since an exception must not unwind through
// Qt's own frames (they would skip their clean-up); notify is the net for everything else.
void ShowCaughtError();

// Lets the data layers' wait cursor show as the application's override cursor.
void InstallCursorHook();

// Start-up, the event loop until the main window closes, shutdown. The command line is not
// read (only the program's name is handed to the toolkit). Returns the exit code, always 0.
int RunProgram(int argc, char** argv);

}  // namespace tarvik
