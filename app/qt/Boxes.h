#pragma once
// How the program speaks to the user: the application title, the error box and the
// information box.
//
// Tests never let a box block: SetBoxHook replaces the showing of both boxes with a call
// that receives what would have been shown.

#include "app/BoxTexts.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>

class QDialog;

namespace tarvik {

// The system's modal message box, caption ApplicationTitle, stop icon, one OK button.
void ShowErrorBox(const std::string& message);
void ShowErrorBox(const std::exception& error);

// The program's own small modal dialog: caption ApplicationTitle, no icon, the text
// word-wrapped at half the screen's width, one "OK" button that Enter and Esc also press,
// centred on the screen. Returns when the user closes it.
void ShowInformation(const std::string& text);

// The information box as ShowInformation shows it, not yet shown.
std::unique_ptr<QDialog> CreateInformationDialog(const std::string& text);

enum class TBoxKind { Error, Information };

struct TBoxShown {
    TBoxKind kind;
    std::string caption;
    std::string text;  // exactly as it would be on the screen (after the full-stop rule)
};

using TBoxHook = std::function<void(const TBoxShown&)>;
// With a hook set, neither box is shown; the hook is called instead. An empty hook removes it.
void SetBoxHook(TBoxHook hook);

}  // namespace tarvik
