#pragma once
// The program's life from start-up to exit, in one order for every front end: the toolkit
// is up, the application title is fixed, the wait cursor is hooked, the main window is made
// (its creation handler runs, an error there is shown before the window), shown, and the
// event loop runs until it is closed; then the window with its components goes (closing the
// main link), then the identification connection, then the cursor hook.

namespace tarvik {

// What a front end does at each step. The toolkit is initialised before RunProgramLife is
// called (the application object usually has to outlive it).
class TProgramShell {
public:
    virtual ~TProgramShell() = default;
    virtual void InstallCursorHook() = 0;
    virtual void CreateMainWindow() = 0;
    virtual void ShowMainWindow() = 0;
    virtual void RunEventLoop() = 0;
    virtual void ReleaseMainWindow() = 0;
};

// Returns the exit code, always 0.
int RunProgramLife(TProgramShell& shell);

}  // namespace tarvik
