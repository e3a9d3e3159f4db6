#pragma once
// The main window in Windows' own toolkit: the target-table choice, the gauge, the start
// button, and the main connection with its transaction and three queries, all owned by the
// window. Laid out from app/FormDefinition.h, as the Qt window is.

#include "app/win32/Gauge.h"
#include "db/DbConnection.h"
#include "db/DbQuery.h"

#include <memory>
#include <string>

#include <windows.h>

namespace tarvik {

class TForm1 {
public:
    // Builds every control and component with its design-time values, then runs FormCreate;
    // an error that escapes FormCreate is shown in the error box and creation goes on. The
    // window is not shown yet.
    TForm1();
    ~TForm1();
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // Points Conexao at the server and database of sistema_qor.ini, with its deciphered
    // password. Connects nothing.
    void FormCreate();
    // The start button: the generation run (run/GenerationRun.h) over every product.
    void Button1Click();
    // What the run asks of the window beside its gauge (app/FormRunView.h).
    void SetStartEnabled(bool enabled);
    void Inform(const std::string& text);
    // Between products: the window answers the system without taking input (KeepAnswering.h).
    void KeepAnswering();

    HWND Handle() const { return handle_; }
    // The selected radio item's index, -1 when none is.
    int RadioItemIndex() const;

    static void RegisterClass(HINSTANCE instance);

    // Child windows; the system destroys them with the window.
    HWND Button1 = nullptr;
    std::unique_ptr<TGauge> Gauge1;
    HWND RadioGroup1 = nullptr;  // the frame with its caption
    HWND RadioItems[2] = {nullptr, nullptr};
    // The data components, declared in the order they depend on each other, so that they go
    // in the reverse: the queries, then the transaction that carries their link (closing it),
    // then the connection.
    std::unique_ptr<TDbConnection> Conexao;
    std::unique_ptr<TDbTransaction> Transacao;
    std::unique_ptr<TDbQuery> QProdutos;
    std::unique_ptr<TDbQuery> QTemp;
    std::unique_ptr<TDbQuery> QInclui;

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
