#pragma once
// What "ftp転送" sends: the pages the last HTML output wrote, found from its settings, in the
// order the server gets them.

#include <functional>
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
