#pragma once
// A document that uses every row kind and every record field, for round trips.

#include "core/record_array.h"

namespace almx::testing {

inline CAlmxArray RichDocument() {
    CAlmxArray doc;
    doc.password = "Secret42";
    doc.dayProperties["2008/01/05"] = {0xFFFFFF, ""};
    doc.dayProperties["2008/01/06"] = {0x00FF00, "/home/u/写真/富士山.jpg"};
    doc.dayProperties["2008/1/5"] = {0x123456, "unpadded key"};
    doc.diaryFolder = "/home/u/日記";
    doc.defaultScheduleGenre = 1;
    doc.defaultTodoGenre = 2;
    doc.extraNumber = 7;
    doc.extraText = "付記";
    doc.genres.Append(CAlmxField("一般"));
    CAlmxField work("仕事", 0x0000FF, 0);
    work.note = "社内\n社外";
    doc.genres.Append(work);
    doc.genres.Append(CAlmxField("趣味", 0xFF8000, 2));
    doc.memoPages.push_back({"買い物", "牛乳\nパン\n卵"});
    doc.memoPages.push_back({"空のページ", ""});

    CAlmxData meeting;
    meeting.start = DateTime::FromParts(2008, 1, 5, 9, 30);
    meeting.end = DateTime::FromParts(2008, 1, 5, 10, 0);
    meeting.Set(StartTimeSet);
    meeting.Set(EndTimeSet);
    meeting.Set(HideInViews);
    meeting.Set(HolidayMark);
    meeting.title = "会議 \"A\",\"B\" と ,\"C\" ～ ｱｲｳ ①";
    meeting.place = "本社 3F";
    meeting.memo = "資料を準備\n表示確認\n";
    meeting.linkFile = "資料/議事録.txt";
    meeting.colour = 0x0000FF;
    meeting.alarmMinutes = 10;
    meeting.alarmMode = 3;
    meeting.genre = 1;
    meeting.timeDisplay = 1;
    meeting.textStyle = 3;
    doc.records.push_back(meeting);

    CAlmxData daily;
    daily.start = DateTime::FromParts(2008, 2, 1, 7, 0);
    daily.end = DateTime::FromParts(9998, 12, 31, 8, 0);
    daily.Set(StartTimeSet);
    daily.title = "散歩";
    daily.repeatType = RepeatDays;
    daily.repeatInterval = 3;
    daily.alarmMinutes = -1;
    daily.exceptions.push_back(CDaySpan{2008, 2, 10, 2008, 2, 10});
    daily.exceptions.push_back(CDaySpan{2008, 3, 1, 2008, 3, 5});
    doc.records.push_back(daily);

    CAlmxData weekly;
    weekly.start = DateTime::FromDate(2008, 1, 7);
    weekly.end = DateTime::FromDate(2008, 12, 31);
    weekly.title = "ゴミ出し";
    weekly.repeatType = RepeatWeeks;
    weekly.repeatInterval = 2;
    weekly.genre = 2;
    doc.records.push_back(weekly);

    CAlmxData monthly;
    monthly.start = DateTime::FromDate(2008, 1, 1);
    monthly.end = DateTime::FromDate(2010, 12, 31);
    monthly.title = "定例会";
    monthly.repeatType = RepeatMonths;
    monthly.positionMode = 1;
    monthly.validWeeks = {1, 0, 1, 0, 0};
    monthly.validWeekdays = {0, 1, 0, 1, 0, 0, 0};
    monthly.validMonths = {1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0};
    monthly.shiftRule = ShiftSaturday | ShiftSunday | ShiftHoliday | ShiftDrop;
    doc.records.push_back(monthly);

    CAlmxData yearly;
    yearly.start = DateTime::FromDate(2000, 1, 31);
    yearly.end = DateTime::FromDate(9998, 12, 31);
    yearly.title = "決算";
    yearly.repeatType = RepeatYears;
    yearly.repeatFirstDay = -1;
    yearly.repeatLastDay = -1;
    yearly.colour = 0xABCDEF;
    doc.records.push_back(yearly);

    CAlmxData chosen;
    chosen.start = DateTime::FromDate(2008, 1, 10);
    chosen.end = DateTime::FromDate(2012, 12, 12);
    chosen.title = "検診";
    chosen.repeatType = RepeatChosenMonths;
    chosen.repeatFirstDay = 10;
    chosen.repeatLastDay = 12;
    chosen.validMonths = {1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1};
    doc.records.push_back(chosen);

    CAlmxData done;
    done.Set(IsTodo);
    done.Set(TodoDone);
    done.start = DateTime::FromDate(2008, 3, 1);
    done.end = DateTime::FromParts(2008, 2, 28, 18, 45);
    done.title = "報告書";
    done.todoImportance = 3;
    done.todoLeadDays = 2;
    done.genre = 2;
    doc.records.push_back(done);

    CAlmxData open;
    open.Set(IsTodo);
    open.Set(TodoNoDeadline);
    open.start = DateTime::FromParts(2008, 3, 2, 12, 0);
    open.title = "いつか読む本";
    open.memo = "一行目\n二行目";
    doc.records.push_back(open);
    return doc;
}

}  // namespace almx::testing
