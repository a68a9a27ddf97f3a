#pragma once
// The password as the schedule file stores it: ASCII digits and letters rotated within their
// class by a fixed amount that depends on the position; every other character is kept.

#include <string>
#include <string_view>

namespace almx {

std::string ScramblePassword(std::string_view password);
std::string UnscramblePassword(std::string_view stored);

}  // namespace almx
