#pragma once
// Records what the boxes would have shown, instead of showing them, for as long as it lives.

#include "app/qt/Boxes.h"

#include <vector>

namespace tarvik::test {

class TBoxRecorder {
public:
    TBoxRecorder() {
        SetBoxHook([this](const TBoxShown& shown) { shown_.push_back(shown); });
    }
    ~TBoxRecorder() { SetBoxHook({}); }
    TBoxRecorder(const TBoxRecorder&) = delete;
    TBoxRecorder& operator=(const TBoxRecorder&) = delete;

    const std::vector<TBoxShown>& Shown() const { return shown_; }
    std::vector<std::string> Texts(TBoxKind kind) const {
        std::vector<std::string> texts;
        for (const TBoxShown& s : shown_)
            if (s.kind == kind) texts.push_back(s.text);
        return texts;
    }

private:
    std::vector<TBoxShown> shown_;
};

}  // namespace tarvik::test
