#pragma once
// The date and time texts a MySQL or MariaDB server prints ("2024-02-29", "10:11:12.5",
// "-838:59:59"), taken apart. Both connections read such texts, each with its own rules on what
// it accepts and what it makes of the parts.

#include <string_view>

namespace tarvik {

struct TDateParts {
    int year = 0;
    int month = 0;
    int day = 0;
};

// Exactly "YYYY-MM-DD" in digits; the numbers are not checked against the calendar.
bool ReadDateText(std::string_view text, TDateParts& date);

struct TTimeParts {
    bool negative = false;
    std::string_view hours;     // one or more digits
    int minute = 0;
    int second = 0;
    std::string_view fraction;  // the digits after the ".", empty without one
};

// "[-]H+:MM:SS" with an optional "." and at least one fraction digit; minutes and seconds are
// two digits each and not checked against the clock.
bool ReadTimeText(std::string_view text, TTimeParts& time);

}  // namespace tarvik
