#pragma once
// The schedule mail: a date range and a recipient, the range's schedules as the text copy's
// lines, and a "mailto:" address the desktop's own mail program composes from.

#include <string>
#include <string_view>

#include "base/date_time.h"

namespace almx {

class CAlmxTextExport;
class FileLauncher;
class Prompter;
class SettingsStore;

namespace text_mail_texts {
inline constexpr const char* kCaption = "スケジュールをメールで送信";
inline constexpr const char* kStart = "開始日付(&S):";
inline constexpr const char* kEnd = "終了日付(&E):";
inline constexpr const char* kRecipient = "送信先(&M):";
}  // namespace text_mail_texts

class CTextMailForm {
  public:
    CTextMailForm(SettingsStore& settings, Prompter& prompter);

    // Today and today + 14 days; the recipient from "Mailto", or the alarm recipient "MailTo"
    // while "Mailto" was never set.
    void Preset(const DateTime& today);
    // OK: writes the recipient back to "Mailto", then checks the dates (false keeps the
    // dialog open).
    bool Accept();

    std::string startText;
    std::string endText;
    std::string recipient;
    DateTime start;
    DateTime end;

  private:
    SettingsStore& settings_;
    Prompter& prompter_;
};

// Every byte of the UTF-8 text but ASCII letters and digits as "%" and two upper-case hex
// digits.
std::string PercentEncode(std::string_view utf8);

// "mailto:" + recipient + "?subject=" + "%m/%d-%m/%d (count)" + "&body=" + body, the
// recipient, subject and body percent-encoded.
std::string ScheduleMailAddress(std::string_view recipient, const DateTime& start,
                                const DateTime& end, int count, std::string_view body);

// Renders the range through the text export (the text copy's options) and hands the address
// to the launcher; "スケジュールがありません" when the range holds nothing. True when the
// address was handed over.
bool MailSchedulesAsText(const CTextMailForm& form, CAlmxTextExport& exporter, int options,
                         FileLauncher& launcher, Prompter& prompter);

}  // namespace almx
