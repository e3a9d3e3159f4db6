#include "platform/DateTimeText.h"

namespace tarvik {
namespace {

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

int NumberOf(std::string_view digits) {
    int value = 0;
    for (const char c : digits) value = value * 10 + (c - '0');
    return value;
}

}  // namespace

bool ReadDateText(std::string_view text, TDateParts& date) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    const std::string_view year = text.substr(0, 4), month = text.substr(5, 2), day = text.substr(8, 2);
    if (!AllDigits(year) || !AllDigits(month) || !AllDigits(day)) return false;
    date = {NumberOf(year), NumberOf(month), NumberOf(day)};
    return true;
}

bool ReadTimeText(std::string_view text, TTimeParts& time) {
    std::string_view fraction;
    if (const size_t dot = text.find('.'); dot != std::string_view::npos) {
        fraction = text.substr(dot + 1);
        if (!AllDigits(fraction)) return false;
        text = text.substr(0, dot);
    }
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos || text.size() != colon + 6 || text[colon + 3] != ':') return false;
    const bool negative = !text.empty() && text[0] == '-';
    const std::string_view hours = text.substr(negative ? 1 : 0, colon - (negative ? 1 : 0));
    const std::string_view minute = text.substr(colon + 1, 2), second = text.substr(colon + 4, 2);
    if (!AllDigits(hours) || !AllDigits(minute) || !AllDigits(second)) return false;
    time = {negative, hours, NumberOf(minute), NumberOf(second), fraction};
    return true;
}

}  // namespace tarvik
