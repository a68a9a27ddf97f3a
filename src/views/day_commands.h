#pragma once
// The commands the month view and the week view share on their selected day: the day's
// colour, its clearing and its picture, and pasting a record line onto it. The views keep
// only their dialogs; each function returns true when the document changed.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/date_time.h"

namespace almx {

class CAlmxDoc;
class DocumentHost;
class Prompter;

inline constexpr const char* kClearDayQuestion = "この日の色を標準の色に戻しますか？";
inline constexpr const char* kPictureCaption = "この日の画像の指定";
inline constexpr const char* kPictureFilter =
    "画像ﾌｧｲﾙ (*.bmp *.gif *.jpg *.jpeg *.tif *.tiff *.png);;全てのﾌｧｲﾙ (*)";

// Days outside 1583/01/01..9998/12/31 take no property and no paste.
bool DayEditable(const DateTime& day);

bool EditDayColour(DocumentHost& host, const DateTime& day, std::uint32_t backColour,
                   const std::function<std::optional<std::uint32_t>(std::uint32_t)>& choose);
bool ClearDayColour(DocumentHost& host, Prompter& prompter, const DateTime& day);
bool EditDayPicture(DocumentHost& host, Prompter& prompter, const DateTime& day,
                    std::uint32_t backColour,
                    const std::function<std::optional<std::string>(const std::string&)>& choose);
// The clipboard's record line onto the day; the document tells every view.
void PasteOntoDay(DocumentHost& host, const DateTime& day);

}  // namespace almx
