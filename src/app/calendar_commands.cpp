#include "app/calendar_commands.h"

#include <QDialog>
#include <random>

#include "app/app_context.h"
#include "app/mail_commands.h"
#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "document/document.h"
#include "exchange/calendar_exchange.h"
#include "exchange/ui/calendar_dialogs.h"
#include "mail/vcalendar_mail.h"

namespace almx {

namespace {

CalendarStamp StampNow(const AppContext& context) {
    std::random_device random;
    const std::uint64_t seed = (static_cast<std::uint64_t>(random()) << 32) ^ random();
    return CalendarStamp{context.clock->Now(), seed};
}

std::vector<const CAlmxData*> Pointers(const std::vector<CAlmxData>& records) {
    std::vector<const CAlmxData*> pointers;
    pointers.reserve(records.size());
    for (const CAlmxData& record : records) pointers.push_back(&record);
    return pointers;
}

}  // namespace

void SaveRecordsAsICalendar(const std::vector<CAlmxData>& records,
                            const std::optional<std::string>& title, AppContext& context,
                            QWidget* parent) {
    CCalendarSaveForm form(CalendarFormat::ICalendar, *context.settings, *context.prompter);
    form.Preset(title);
    CCalendarSaveDlg dialog(form, parent);
    if (dialog.exec() != QDialog::Accepted) return;
    SaveICalendar(Pointers(records), form.path, StampNow(context), *context.prompter);
}

void SaveDayAsICalendar(CAlmxDoc& doc, const DateTime& day, AppContext& context, QWidget* parent) {
    std::vector<const CAlmxData*> all;
    for (const CAlmxData& record : doc.Records()) all.push_back(&record);
    const std::vector<const CAlmxData*> listed =
        RecordsInRange(all, day.Date(), day.Date(), context.display.todayLimit);
    if (listed.empty()) {
        context.prompter->ShowMessage(vcal_messages::kNoDataOnDay);
        return;
    }
    // Copies: the dialog runs the event loop, and the document may change meanwhile.
    std::vector<CAlmxData> records;
    for (const CAlmxData* record : listed) records.push_back(*record);
    SaveRecordsAsICalendar(records, std::nullopt, context, parent);
}

void SaveRangeAsICalendar(CAlmxDoc& doc, const DateTime& day, AppContext& context,
                          QWidget* parent) {
    CICalRangeForm form(*context.settings, *context.prompter);
    form.Preset(day);
    CICalRangeDlg dialog(form, *context.clock, parent);
    if (dialog.exec() != QDialog::Accepted) return;
    std::vector<const CAlmxData*> all;
    for (const CAlmxData& record : doc.Records()) all.push_back(&record);
    const std::vector<const CAlmxData*> listed =
        RecordsInRange(all, form.start, form.end, context.display.todayLimit);
    if (listed.empty()) {
        context.prompter->ShowMessage(calendar_texts::kNoDataInRange);
        return;
    }
    std::vector<CAlmxData> records;
    for (const CAlmxData* record : listed) records.push_back(*record);
    SaveRecordsAsICalendar(records, std::nullopt, context, parent);
}

void SaveEntryAsVCalendar(const CAlmxData& record, const DateTime& day, AppContext& context,
                          QWidget* parent) {
    CCalendarSaveForm form(CalendarFormat::VCalendar, *context.settings, *context.prompter);
    form.Preset(record.title);
    CCalendarSaveDlg dialog(form, parent);
    if (dialog.exec() != QDialog::Accepted) return;
    SaveVCalendar(record, day, context.display.todayLimit, form.path, StampNow(context),
                  *context.prompter);
}

void MailEntryAsVCalendar(const CAlmxData& record, const DateTime& day, AppContext& context) {
    MailReadiness readiness = MailReadiness::Ready;
    switch (CurrentMailSetup(context)) {
        case MailSetup::NoAccount:
            readiness = MailReadiness::NoAccount;
            break;
        case MailSetup::NoServer:
            readiness = MailReadiness::NoServer;
            break;
        case MailSetup::Ready:
            break;
    }
    const VcsMailEnvironment environment{*context.settings, *context.prompter, readiness,
                                         context.sendMail, ""};
    MailVCalendar(record, day, context.display.todayLimit, StampNow(context), environment);
}

CalendarActions ProgramCalendarActions(AppContext& context, QWidget* parent) {
    AppContext* app = &context;
    CalendarActions actions;
    actions.saveVcs = [app, parent](const CAlmxData& record, const DateTime& day) {
        SaveEntryAsVCalendar(record, day, *app, parent);
    };
    actions.mailVcs = [app](const CAlmxData& record, const DateTime& day) {
        MailEntryAsVCalendar(record, day, *app);
    };
    actions.saveIcs = [app, parent](const CAlmxData& record) {
        SaveRecordsAsICalendar({record}, record.title, *app, parent);
    };
    actions.mailReady = [app] {
        return static_cast<bool>(app->sendMail) && CurrentMailSetup(*app) == MailSetup::Ready;
    };
    actions.saveRecords = [app, parent](const std::vector<const CAlmxData*>& selected) {
        std::vector<CAlmxData> records;
        for (const CAlmxData* record : selected) records.push_back(*record);
        std::optional<std::string> title;
        if (records.size() == 1) title = records.front().title;
        SaveRecordsAsICalendar(records, title, *app, parent);
    };
    return actions;
}

bool IsCalendarImport(int id) {
    return id == calendar_cmd::kVCalendarImport || id == calendar_cmd::kICalendarImport;
}

void RunCalendarImport(int id, CAlmxDoc& doc, AppContext& context, QWidget* parent,
                       const std::function<void()>& refresh) {
    if (!doc.CanChange()) return;
    const CalendarFormat format = id == calendar_cmd::kVCalendarImport ? CalendarFormat::VCalendar
                                                                       : CalendarFormat::ICalendar;
    CCalendarOpenForm form(format, *context.settings, *context.prompter);
    form.Preset();
    CCalendarOpenDlg dialog(form, parent);
    if (dialog.exec() != QDialog::Accepted) return;
    if (ImportCalendarFile(doc, form.path, context.clock->Now(), *context.prompter) && refresh) {
        refresh();
    }
}

}  // namespace almx
