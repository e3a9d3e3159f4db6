#include "app/qt/RadioGroup.h"

#include "app/qt/Windows1252.h"

#include <QButtonGroup>
#include <QFontMetrics>
#include <QRadioButton>

#include <algorithm>

namespace tarvik {

TRadioGroup::TRadioGroup(const std::string& caption, const std::vector<std::string>& items,
                         int columns, QWidget* parent)
    : QGroupBox(FromWindows1252(caption), parent), group_(new QButtonGroup(this)),
      columns_(std::max(1, columns)) {
    for (const std::string& item : items) {
        auto* button = new QRadioButton(FromWindows1252(item), this);
        group_->addButton(button, static_cast<int>(buttons_.size()));
        buttons_.push_back(button);
    }
    ArrangeItems();
}

int TRadioGroup::ItemIndex() const { return group_->checkedId(); }

void TRadioGroup::SetItemIndex(int index) {
    if (index >= 0 && index < Count()) {
        buttons_[static_cast<size_t>(index)]->setChecked(true);
        return;
    }
    // Unchecking needs the group's exclusivity off for a moment.
    group_->setExclusive(false);
    for (QRadioButton* button : buttons_) button->setChecked(false);
    group_->setExclusive(true);
}

void TRadioGroup::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    ArrangeItems();
}

void TRadioGroup::ArrangeItems() {
    if (buttons_.empty()) return;
    // Items fill the columns top to bottom, the space below the caption shared evenly.
    const int count = Count();
    const int rows = (count + columns_ - 1) / columns_;
    const int top = QFontMetrics(font()).height();
    const int left = 8;
    const int innerWidth = std::max(0, width() - 2 * left);
    const int innerHeight = std::max(0, height() - top - 2);
    const int columnWidth = innerWidth / columns_;
    const int rowHeight = std::max(1, innerHeight / rows);
    const int buttonHeight = std::min(rowHeight, std::max(buttons_[0]->sizeHint().height(), 1));
    for (int i = 0; i < count; ++i) {
        const int column = i / rows;
        const int row = i % rows;
        const int y = top + row * rowHeight + (rowHeight - buttonHeight) / 2;
        buttons_[static_cast<size_t>(i)]->setGeometry(left + column * columnWidth, y,
                                                      columnWidth, buttonHeight);
    }
}

}  // namespace tarvik
