#pragma once
// How the program speaks to the user on Windows: the system's message box with the stop icon
// for errors, and a small dialog of the program's own for information. Both are captioned
// with the application title (app/BoxTexts.h).

#include "app/BoxTexts.h"

#include <exception>
#include <string>

#include <windows.h>

namespace tarvik {

// The window that a box is modal over while it shows; none before the main window exists.
void SetBoxOwner(HWND owner);

// The system's modal message box: caption ApplicationTitle, stop icon, one OK button.
void ShowErrorBox(const std::string& message);
void ShowErrorBox(const std::exception& error);
// Shows the error being handled; call it only inside a catch block. An exception must never
// unwind through the system's own frames (a window procedure's caller), so every handler
// catches with it.
void ShowCaughtError();

// The program's own small modal dialog: caption ApplicationTitle, no icon, the text in the
// system's message font word-wrapped at half the screen's width, one "OK" button that Enter
// and Esc also press, centred on the screen. Returns when the user closes it.
void ShowInformation(const std::string& text);

}  // namespace tarvik
