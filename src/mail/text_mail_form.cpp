#include "mail/text_mail_form.h"

#include <cstdio>

#include "base/prompter.h"
#include "base/settings_store.h"
#include "exchange/export_forms.h"
#include "exchange/range_export.h"
#include "links/file_launcher.h"

namespace almx {

CTextMailForm::CTextMailForm(SettingsStore& settings, Prompter& prompter)
    : settings_(settings), prompter_(prompter) {}

void CTextMailForm::Preset(const DateTime& today) {
    startText = FormatDate(today);
    const DateTime last = DateTime::FromDate(kMaxYear, 12, 31);
    endText = FormatDate(DateDifference(today, last) <= 14 ? last : today.Date().PlusDays(14));
    // The store's keys are case-sensitive here, so the schedule mail's own recipient never
    // changes where alarms go.
    recipient =
        settings_.GetString("System", "Mailto", settings_.GetString("System", "MailTo", ""));
}

bool CTextMailForm::Accept() {
    settings_.SetString("System", "Mailto", recipient);
    return CheckRange(startText, endText, prompter_, start, end);
}

std::string PercentEncode(std::string_view utf8) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(utf8.size() * 3);
    for (char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')) {
            out += c;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 0x0F];
        }
    }
    return out;
}

std::string ScheduleMailAddress(std::string_view recipient, const DateTime& start,
                                const DateTime& end, int count, std::string_view body) {
    char subject[64];
    std::snprintf(subject, sizeof subject, "%02d/%02d-%02d/%02d (%d)", start.Month(), start.Day(),
                  end.Month(), end.Day(), count);
    return "mailto:" + PercentEncode(recipient) + "?subject=" + PercentEncode(subject) +
           "&body=" + PercentEncode(body);
}

bool MailSchedulesAsText(const CTextMailForm& form, CAlmxTextExport& exporter, int options,
                         FileLauncher& launcher, Prompter& prompter) {
    std::string body;
    const int count = exporter.ExportToText(body, options);
    if (count <= 0) {
        prompter.ShowMessage(export_messages::kNoSchedules);
        return false;
    }
    const std::string address =
        ScheduleMailAddress(form.recipient, form.start, form.end, count, body);
    return LaunchFile(launcher, prompter, address) == 0;
}

}  // namespace almx
