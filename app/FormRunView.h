#pragma once
// The run's view of a window, for either toolkit's TForm1: the form enables its start button
// and shows the information box; its Gauge1 counts the rows, and after each product the form
// answers what the system asks of it meanwhile (KeepAnswering).

#include <cstdint>
#include <string>

#include "run/GenerationRun.h"

namespace tarvik {

template <typename TForm>
class TFormRunView : public TRunView {
public:
    explicit TFormRunView(TForm& form) : form_(form) {}
    void SetStartEnabled(bool enabled) override { form_.SetStartEnabled(enabled); }
    void SetGaugeMaximum(int32_t maximum) override { form_.Gauge1->SetMaxValue(maximum); }
    int32_t GaugeProgress() const override { return form_.Gauge1->Progress(); }
    void SetGaugeProgress(int32_t progress) override {
        form_.Gauge1->SetProgress(progress);
        form_.KeepAnswering();
    }
    void Inform(const std::string& text) override { form_.Inform(text); }

private:
    TForm& form_;
};

}  // namespace tarvik
