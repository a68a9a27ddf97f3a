#pragma once
// The holiday template "holiday.alx": a schedule file in the program's folder that seeds a new
// document with the holidays of the law as records.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/record_list.h"

namespace almx {

inline constexpr const char* kHolidayTemplateName = "holiday.alx";
// The file version the template carries, so that opening it runs no holiday update.
inline constexpr int kHolidayTemplateVersion = 440;

// The template as shipped: the header, the document-values row and one record line per
// record of HolidayLawRecords(); Shift_JIS with CR LF.
std::string HolidayTemplateBytes();

// The records of a schedule file's bytes. Rows of other kinds are passed over and record lines
// that do not parse are skipped; nullopt when the header is not that of a schedule file.
std::optional<RecordList> ReadHolidayTemplateBytes(std::string_view sjis,
                                                   const RecordDefaults& defaults = {});
// The same from a file; nullopt also when it cannot be read.
std::optional<RecordList> ReadHolidayTemplate(const std::string& path,
                                              const RecordDefaults& defaults = {});

}  // namespace almx
