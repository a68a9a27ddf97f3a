#pragma once
// The vCalendar and iCalendar commands of the program: the exports of the month, week and
// day lists and of the schedule list, the vCalendar mail and the document's two imports.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "views/calendar_actions.h"

class QWidget;

namespace almx {

struct AppContext;
class CAlmxData;
class CAlmxDoc;

// The save dialog and the file of the records; title names the one entry (nullopt: several).
void SaveRecordsAsICalendar(const std::vector<CAlmxData>& records,
                            const std::optional<std::string>& title, AppContext& context,
                            QWidget* parent);
// Every entry listed on day, or "この日にデータがありません" without opening a dialog.
void SaveDayAsICalendar(CAlmxDoc& doc, const DateTime& day, AppContext& context, QWidget* parent);
// The range dialog, then every entry listed on its days.
void SaveRangeAsICalendar(CAlmxDoc& doc, const DateTime& day, AppContext& context, QWidget* parent);
void SaveEntryAsVCalendar(const CAlmxData& record, const DateTime& day, AppContext& context,
                          QWidget* parent);
void MailEntryAsVCalendar(const CAlmxData& record, const DateTime& day, AppContext& context);

// The actions the day list and the schedule list are given.
CalendarActions ProgramCalendarActions(AppContext& context, QWidget* parent);

bool IsCalendarImport(int id);
// The open dialog and the import; refresh is called after records were added.
void RunCalendarImport(int id, CAlmxDoc& doc, AppContext& context, QWidget* parent,
                       const std::function<void()>& refresh);

}  // namespace almx
