#include "app/qt/Utarvik.h"

#include "app/FormDefinition.h"
#include "app/Messages.h"
#include "app/qt/Application.h"
#include "app/qt/Boxes.h"
#include "app/qt/Gauge.h"
#include "app/qt/KeepAnswering.h"
#include "app/qt/RadioGroup.h"
#include "app/qt/Windows1252.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QRadioButton>

namespace tarvik {

TForm1* Form1 = nullptr;

namespace {

constexpr QRect ToQRect(const form::TRect& r) { return QRect(r.left, r.top, r.width, r.height); }

// The window's place and outer size (frame and title bar included), in pixels.
constexpr QRect kOuterGeometry = ToQRect(form::kOuter);

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
    setWindowTitle(FromWindows1252(app_messages::kFormCaption));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    // Asked for by name; where the face is missing the toolkit picks its nearest match.
    QFont font(form::kFontFace);
    font.setPixelSize(form::kFontPixelHeight);
    setFont(font);
    move(kOuterGeometry.topLeft());
    resize(kOuterGeometry.size());

    Button1 = new QPushButton(FromWindows1252(app_messages::kStartButton), this);
    Button1->setGeometry(ToQRect(form::kButton1));
    // Enter presses the button that has the focus, as in every dialog.
    Button1->setAutoDefault(true);
    connect(Button1, &QPushButton::clicked, this, [this] {
        try {
            Button1Click();
        } catch (...) {
            ShowCaughtError();
        }
    });

    Gauge1 = new TGauge(this);
    Gauge1->setGeometry(ToQRect(form::kGauge1));

    RadioGroup1 = new TRadioGroup(app_messages::kRadioGroupCaption,
                                  {kTargetTables[0], kTargetTables[1]}, form::kRadioGroupColumns,
                                  this);
    RadioGroup1->setGeometry(ToQRect(form::kRadioGroup1));
    RadioGroup1->SetItemIndex(0);

    // The button comes first in the tab order and so has the focus at start.
    setTabOrder(Button1, RadioGroup1->Item(0));
    Button1->setFocus();

    try {
        FormCreate();
    } catch (const std::exception& error) {
        ShowErrorBox(error);
    }
}

void TForm1::FormCreate() { Components.ApplySettings(); }

void TForm1::Button1Click() {
    // After the run the focus is where it was, on the button (on the selected item when the
    // run left the button disabled).
    struct TRunning {
        TForm1& form;
        ~TRunning() {
            form.running_ = false;
            const int index = form.RadioGroup1->ItemIndex();
            if (form.Button1->isEnabled())
                form.Button1->setFocus();
            else
                form.RadioGroup1->Item(index < 0 ? 0 : index)->setFocus();
        }
    } running{*this};
    running_ = true;
    Components.Run(*this, TargetTableFor(RadioGroup1->ItemIndex()));
}

void TForm1::SetStartEnabled(bool enabled) { Button1->setEnabled(enabled); }

void TForm1::SetGaugeMaximum(int32_t maximum) { Gauge1->SetMaxValue(maximum); }

int32_t TForm1::GaugeProgress() const { return Gauge1->Progress(); }

void TForm1::SetGaugeProgress(int32_t progress) {
    Gauge1->SetProgress(progress);
    // Between products: the window answers the system without taking input (KeepAnswering.h).
    KeepAnswering();
}

void TForm1::Inform(const std::string& text) { ShowInformation(text); }

void TForm1::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FitOuterSizeToFrame();
}

// A window manager reparents the window into its frame after mapping it, and the move and
// resize that follow are where the frame becomes known.
void TForm1::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    FitOuterSizeToFrame();
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitOuterSizeToFrame();
}

void TForm1::FitOuterSizeToFrame() {
    if (!isVisible()) return;
    const QSize frame = frameGeometry().size() - size();
    // Only a new frame refits: a size the user chose afterwards is left alone.
    if (frame == fittedFrame_) return;
    fittedFrame_ = frame;
    resize(kOuterGeometry.size() - frame);
}

}  // namespace tarvik
