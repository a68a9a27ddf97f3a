#pragma once
// The command ids the month view handles (the program's command table lists them all).

namespace almx::month_cmd {

inline constexpr int kEdit = 32768;
inline constexpr int kNextMonth = 32769;
inline constexpr int kPrevMonth = 32770;
inline constexpr int kGoToDate = 32771;
inline constexpr int kNextWeek = 32772;
inline constexpr int kPrevWeek = 32773;
inline constexpr int kForwardDays = 32774;
inline constexpr int kToday = 32775;
inline constexpr int kNextDay = 32776;
inline constexpr int kPrevDay = 32777;
inline constexpr int kDayFont = 32778;
inline constexpr int kEntryFont = 32779;
inline constexpr int kAddSchedule = 32781;
inline constexpr int kWeekdayFont = 32785;
inline constexpr int kCaptionDigits = 32788;
inline constexpr int kCaptionEnglish = 32789;
inline constexpr int kCaptionJapanese = 32790;
inline constexpr int kEditDiary = 32791;
inline constexpr int kRemoveDiary = 32898;
inline constexpr int kSelectionColour = 32817;
inline constexpr int kFind = 57636;
inline constexpr int kFindNext = 32822;
inline constexpr int kFindPrevious = 32823;
inline constexpr int kCopyColoursToDayList = 32841;
inline constexpr int kSort = 32845;
inline constexpr int kAddTodo = 32846;
inline constexpr int kFocusDayList = 32852;
inline constexpr int kCaptionFont = 32857;
inline constexpr int kTextCopyDay = 32875;
inline constexpr int kDayColour = 32878;
inline constexpr int kClearDay = 32879;
inline constexpr int kTodoLeftDraw = 32889;
inline constexpr int kSixWeeks = 32891;
inline constexpr int kRangeColour = 32893;
inline constexpr int kRangeClear = 32894;
inline constexpr int kHtml = 32901;
inline constexpr int kDaysFromToday = 32902;
inline constexpr int kUpload = 32904;
inline constexpr int kNextYear = 32909;
inline constexpr int kPrevYear = 32910;
inline constexpr int kTimeDisplayPerSchedule = 32921;  // to 32925: "MonthViewTime" 0 to 4
inline constexpr int kTimeDisplayNone = 32925;
inline constexpr int kOtherMonthColours = 32926;
inline constexpr int kTakeDocumentDate = 32931;
inline constexpr int kRefreshColours = 32948;
inline constexpr int kWeekdayNamesChanged = 32954;
inline constexpr int kICalendar = 32958;
inline constexpr int kHtmlMonth = 32961;
inline constexpr int kMobileHtmlMonth = 32982;
inline constexpr int kICalendarRange = 32962;
inline constexpr int kWeeks = 32964;
inline constexpr int kDayPicture = 32966;
inline constexpr int kPrint = 57607;
inline constexpr int kPrintPreview = 57609;
inline constexpr int kPaste = 57637;

}  // namespace almx::month_cmd
