#pragma once
// A day's background colour and picture, keyed by FormatDate of the day ("2008/01/05").

#include <cstdint>
#include <map>
#include <string>

namespace almx {

class CDateProp {
public:
    std::uint32_t colour = 0;  // 0x00BBGGRR
    std::string text;          // picture path; empty for none

    bool operator==(const CDateProp&) const = default;
};

// Keys in their text order, which is also the order rows are written in.
using DayPropertyMap = std::map<std::string, CDateProp>;

}  // namespace almx
