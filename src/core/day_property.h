#pragma once
// A day's background colour and picture, keyed by FormatDate of the day ("2008/01/05").

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "base/date_time.h"

namespace almx {

class Prompter;

class CDateProp {
  public:
    std::uint32_t colour = 0;  // 0x00BBGGRR
    std::string text;          // picture path; empty for none

    bool operator==(const CDateProp&) const = default;
};

// Keys in their text order, which is also the order rows are written in. Keys read from a file
// are kept as they are: an unpadded "2008/1/5" never matches the day 2008/01/05.
using DayPropertyMap = std::map<std::string, CDateProp>;

inline constexpr std::uint32_t kWhite = 0xFFFFFF;

std::string DayKey(const DateTime& day);
const CDateProp* FindDayProperty(const DayPropertyMap& properties, const DateTime& day);

// Day colour: the colour chooser starts at the day's colour, else at the normal background;
// OK sets the colour on the day's property or adds one without a picture.
std::uint32_t DayColourToEdit(const DayPropertyMap& properties, const DateTime& day,
                              std::uint32_t backColour);
void SetDayColour(DayPropertyMap& properties, const DateTime& day, std::uint32_t colour);

// Day picture: the file chooser starts at the day's picture; OK sets the path on the day's
// property or adds one in the normal background colour.
std::string DayPictureToEdit(const DayPropertyMap& properties, const DateTime& day);
void SetDayPicture(DayPropertyMap& properties, const DateTime& day, std::string_view path,
                   std::uint32_t backColour);

// Removes the day's property (colour and picture); false when it had none.
bool ClearDay(DayPropertyMap& properties, const DateTime& day);

// Every day from first to last inclusive gets the colour (nothing when last is before first);
// returns the number of days.
long ColourRange(DayPropertyMap& properties, const DateTime& first, const DateTime& last,
                 std::uint32_t colour);
// Every day from first to last that has a property loses it; returns how many did.
long RemoveRange(DayPropertyMap& properties, const DateTime& first, const DateTime& last);

// The last day of the run of consecutive days from day whose properties have day's colour; day
// itself when the next day differs or day has no property.
DateTime RunOfEqualColourEnd(const DayPropertyMap& properties, const DateTime& day);

// The range dialogs (範囲指定して色の変更, 範囲指定で色指定の解除) without widgets.
struct DayRangeFields {
    std::string first;  // date texts as the user edits them
    std::string last;
    std::uint32_t colour = kWhite;
};

// The presets for the selected day: from it to the end of its run of equal colour (or to the
// next day when it has no property), in its colour or white.
DayRangeFields DayRangePreset(const DayPropertyMap& properties, const DateTime& selectedDay);

namespace day_range_messages {
inline constexpr const char* kLastBeforeFirst = "終了日付には開始日付以降の日付を入力してください";
// %ld: the number of days.
inline constexpr const char* kLargeRange =
    "%ld日分の日付に色を設定します。ファイルが大きくなりますがよろしいですか？";
}  // namespace day_range_messages

// Colouring more days than this asks first.
inline constexpr long kLargeDayRange = 10000;

// OK: both dates must parse ("正しい開始日付を入力してください",
// "正しい終了日付を入力してください") and the last may not come before the first; colouring more
// than kLargeDayRange days asks first. Then the range is coloured or cleared. False when a date
// was refused or the question answered No (the dialog stays open).
bool ConfirmColourRange(DayPropertyMap& properties, const DayRangeFields& fields,
                        Prompter& prompter);
bool ConfirmRemoveRange(DayPropertyMap& properties, const DayRangeFields& fields,
                        Prompter& prompter);

}  // namespace almx
