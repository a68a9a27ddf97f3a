// Date and time texts: a text that parses formats to a text that parses to the same value.
#include <string>

#include "base/date_time.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::size_t split = input.find('\t');
    std::string_view dateText = input.substr(0, split);
    std::string_view timeText = split == std::string_view::npos ? "" : input.substr(split + 1);
    if (auto date = almx::ParseDate(dateText)) {
        FUZZ_CHECK(almx::IsValidDate(date->Year(), date->Month(), date->Day()));
        FUZZ_CHECK(almx::ParseDate(almx::FormatDate(*date)) == date);
    }
    if (auto time = almx::ParseTime(dateText, timeText)) {
        auto again = almx::ParseTime(almx::FormatDate(*time), almx::FormatTime(*time));
        FUZZ_CHECK(again && again->Hour() == time->Hour() && again->Minute() == time->Minute());
    }
    almx::ParseHourMinute(input);
    return 0;
}
