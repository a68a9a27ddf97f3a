#include "core/day_property.h"

#include <cstdio>
#include <optional>

#include "base/prompter.h"

namespace almx {

namespace {

bool InCalendar(const DateTime& day) {
    return day.IsValid() && day.Year() >= kMinYear && day.Year() <= kMaxYear;
}

template <typename Visit>
long ForEachDay(const DateTime& first, const DateTime& last, Visit visit) {
    if (!InCalendar(first) || !InCalendar(last)) return 0;
    const long count = DateDifference(first, last) + 1;
    DateTime day = first.Date();
    for (long i = 0; i < count; ++i, day = day.PlusDays(1)) visit(day);
    return count > 0 ? count : 0;
}

std::optional<std::pair<DateTime, DateTime>> CheckedRange(const DayRangeFields& fields,
                                                          Prompter& prompter) {
    const std::optional<DateTime> first = ParseDate(fields.first);
    if (!first) {
        prompter.ShowMessage("正しい開始日付を入力してください", MessageKind::Warning);
        return std::nullopt;
    }
    const std::optional<DateTime> last = ParseDate(fields.last);
    if (!last) {
        prompter.ShowMessage("正しい終了日付を入力してください", MessageKind::Warning);
        return std::nullopt;
    }
    // A reversed range would change nothing and still mark the document modified.
    if (*last < *first) {
        prompter.ShowMessage(day_range_messages::kLastBeforeFirst, MessageKind::Warning);
        return std::nullopt;
    }
    return std::make_pair(*first, *last);
}

}  // namespace

std::string DayKey(const DateTime& day) {
    return FormatDate(day);
}

const CDateProp* FindDayProperty(const DayPropertyMap& properties, const DateTime& day) {
    auto it = properties.find(DayKey(day));
    return it == properties.end() ? nullptr : &it->second;
}

std::uint32_t DayColourToEdit(const DayPropertyMap& properties, const DateTime& day,
                              std::uint32_t backColour) {
    const CDateProp* property = FindDayProperty(properties, day);
    return property ? property->colour : backColour;
}

void SetDayColour(DayPropertyMap& properties, const DateTime& day, std::uint32_t colour) {
    properties[DayKey(day)].colour = colour;
}

std::string DayPictureToEdit(const DayPropertyMap& properties, const DateTime& day) {
    const CDateProp* property = FindDayProperty(properties, day);
    return property ? property->text : std::string();
}

void SetDayPicture(DayPropertyMap& properties, const DateTime& day, std::string_view path,
                   std::uint32_t backColour) {
    auto [it, added] = properties.try_emplace(DayKey(day));
    if (added) it->second.colour = backColour;
    it->second.text = path;
}

bool ClearDay(DayPropertyMap& properties, const DateTime& day) {
    return properties.erase(DayKey(day)) != 0;
}

long ColourRange(DayPropertyMap& properties, const DateTime& first, const DateTime& last,
                 std::uint32_t colour) {
    return ForEachDay(first, last,
                      [&](const DateTime& day) { SetDayColour(properties, day, colour); });
}

long RemoveRange(DayPropertyMap& properties, const DateTime& first, const DateTime& last) {
    long removed = 0;
    ForEachDay(first, last, [&](const DateTime& day) {
        if (ClearDay(properties, day)) ++removed;
    });
    return removed;
}

DateTime RunOfEqualColourEnd(const DayPropertyMap& properties, const DateTime& day) {
    const CDateProp* property = FindDayProperty(properties, day);
    DateTime end = day.Date();
    if (!property) return end;
    // Each step needs another property, so the map's size bounds the walk.
    for (std::size_t steps = 0; steps < properties.size(); ++steps) {
        const DateTime next = end.PlusDays(1);
        if (!InCalendar(next)) break;
        const CDateProp* nextProperty = FindDayProperty(properties, next);
        if (!nextProperty || nextProperty->colour != property->colour) break;
        end = next;
    }
    return end;
}

DayRangeFields DayRangePreset(const DayPropertyMap& properties, const DateTime& selectedDay) {
    DayRangeFields fields;
    fields.first = DayKey(selectedDay);
    if (const CDateProp* property = FindDayProperty(properties, selectedDay)) {
        fields.colour = property->colour;
        fields.last = DayKey(RunOfEqualColourEnd(properties, selectedDay));
    } else {
        fields.colour = kWhite;
        fields.last = DayKey(selectedDay.PlusDays(1));
    }
    return fields;
}

bool ConfirmColourRange(DayPropertyMap& properties, const DayRangeFields& fields,
                        Prompter& prompter) {
    auto range = CheckedRange(fields, prompter);
    if (!range) return false;
    // Every day becomes a row of the file: the whole calendar is three million of them.
    const long days = DateDifference(range->first, range->second) + 1;
    if (days > kLargeDayRange) {
        char text[160];
        std::snprintf(text, sizeof text, day_range_messages::kLargeRange, days);
        if (prompter.AskYesNo(text) != Answer::Yes) return false;
    }
    ColourRange(properties, range->first, range->second, fields.colour);
    return true;
}

bool ConfirmRemoveRange(DayPropertyMap& properties, const DayRangeFields& fields,
                        Prompter& prompter) {
    auto range = CheckedRange(fields, prompter);
    if (!range) return false;
    RemoveRange(properties, range->first, range->second);
    return true;
}

}  // namespace almx
