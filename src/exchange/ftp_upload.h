#pragma once
// What "ftp転送" sends: the pages the last HTML output wrote, found from its settings, in the
// order the server gets them.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "exchange/ftp_client.h"

namespace almx {

class SettingsStore;

// From section "HtmlMonthOut" (folder, names, the last output range) and "HtmlExport"
// ("CssOut"): the top page, the mobile top page, then per month the month page, the mobile
// page and its body, then the style sheets. Only files that exist are listed; names that the
// output would refuse, and a range that is no range of months, give nothing.
std::vector<FtpFile> PlanFtpUpload(const SettingsStore& settings,
                                   const std::function<bool(const std::string&)>& exists);

// Whether a regular file is there.
bool RegularFileExists(const std::string& path);

}  // namespace almx

namespace almx {

class CAlmxDoc;
class Prompter;

// "ftp設定" on OK: refuses control characters and a host that is no host, then keeps the
// settings in the document and writes ".ftpset" beside its file (an unnamed document writes
// it at its first save; a file that cannot be written is said, the settings stay in the
// document). False when refused: the dialog stays open for correcting.
bool ApplyFtpSettings(CAlmxDoc& doc, const FtpSettings& edited, Prompter& prompter);

// "ftp転送" before connecting: the files to send (none: "転送するファイルがありません") and the
// password when it is not kept (asked; cancelling ends). nullopt when nothing is to be done.
std::optional<CVeltaFtp> PrepareFtpUpload(const FtpSettings& settings, const SettingsStore& store,
                                          Prompter& prompter,
                                          const std::function<bool(const std::string&)>& exists);

// After the session: its message in a box when it failed; nothing on success or cancel.
void ReportFtpOutcome(const CVeltaFtp& ftp, Prompter& prompter);

inline constexpr const char* kFtpPasswordPrompt = "パスワード";

}  // namespace almx
