#pragma once
// The main window: the target-table choice, the gauge, the start button, and the main
// connection with its transaction and three queries, all owned by the window.

#include "db/DbConnection.h"
#include "db/DbQuery.h"

#include <QWidget>

#include <memory>
#include <string>

class QPushButton;

namespace tarvik {

class TGauge;
class TRadioGroup;

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // Builds every control and component with its design-time values, then runs FormCreate;
    // an error that escapes FormCreate is shown in the error box and creation goes on.
    explicit TForm1(QWidget* parent = nullptr);

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

    // Children of the window; Qt releases them with it, after the members below.
    QPushButton* Button1;
    TGauge* Gauge1;
    TRadioGroup* RadioGroup1;
    // The data components, owned by the window and declared in the order they depend on each
    // other, so that they go in the reverse: the queries, then the transaction that carries
    // their link (closing it), then the connection.
    std::unique_ptr<TDbConnection> Conexao;
    std::unique_ptr<TDbTransaction> Transacao;
    std::unique_ptr<TDbQuery> QProdutos;
    std::unique_ptr<TDbQuery> QTemp;
    std::unique_ptr<TDbQuery> QInclui;

protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // While a run works, a request to close the window is refused: it would take the window
    // and its components away under the run.
    void closeEvent(QCloseEvent* event) override;

private:
    // Keeps the outer size, frame included, at the window's design size whenever the frame
    // that the window manager reports changes (many report it only after the window is mapped).
    void FitOuterSizeToFrame();
    QSize fittedFrame_{0, 0};
    bool running_ = false;
};

// The one main window of the program while it lives; owned by RunProgram.
extern TForm1* Form1;

}  // namespace tarvik
