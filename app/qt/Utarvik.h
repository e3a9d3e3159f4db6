#pragma once
// The main window: the target-table choice, the gauge, the start button, and the main
// connection with its transaction and three queries (run/RunComponents.h), all owned by the
// window. The window is the run's view of it.

#include "run/GenerationRun.h"
#include "run/RunComponents.h"

#include <QWidget>

#include <string>

class QPushButton;

namespace tarvik {

class TGauge;
class TRadioGroup;

class TForm1 : public QWidget, public TRunView {
    Q_OBJECT
public:
    // Builds every control and component with its design-time values, then runs FormCreate;
    // an error that escapes FormCreate is shown in the error box and creation goes on.
    explicit TForm1(QWidget* parent = nullptr);

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

    // Children of the window; Qt releases them with it, after the members below.
    QPushButton* Button1;
    TGauge* Gauge1;
    TRadioGroup* RadioGroup1;
    // The data components, owned by the window.
    TRunComponents Components;

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
