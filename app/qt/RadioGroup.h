#pragma once
// A framed group of radio buttons laid out in columns, with the selection as an index.

#include <QGroupBox>

#include <string>
#include <vector>

class QButtonGroup;
class QRadioButton;

namespace tarvik {

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const std::string& caption, const std::vector<std::string>& items, int columns,
                QWidget* parent = nullptr);

    // The selected item's index, -1 when none is selected.
    int ItemIndex() const;
    void SetItemIndex(int index);
    QRadioButton* Item(int index) const { return buttons_.at(static_cast<size_t>(index)); }
    int Count() const { return static_cast<int>(buttons_.size()); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ArrangeItems();

    QButtonGroup* group_;
    std::vector<QRadioButton*> buttons_;
    int columns_;
};

}  // namespace tarvik
