// almx holidays: the public holidays of a range of years, as a new document seeded from the
// holiday template shows them, or as IsHoliday decides them (--rule).

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "base/data_folders.h"
#include "base/date_time.h"
#include "calendar/holiday_days.h"
#include "calendar/holidays.h"
#include "cli/command_registry.h"
#include "document/holiday_template.h"
#include "text/numbers.h"

namespace almx::cli {

namespace {

bool ReadYear(const std::string& text, int& year) {
    if (!text::AllDigits(text) || text.size() > 4) return false;
    year = text::LeadingInt(text);
    return year >= kMinYear && year <= kMaxYear;
}

int PrintRuleHolidays(int firstYear, int lastYear, std::ostream& out) {
    for (int year = firstYear; year <= lastYear; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= DaysInMonth(year, month); ++day) {
                if (IsHoliday(year, month, day, false)) {
                    out << FormatDate(DateTime::FromDate(year, month, day)) << '\n';
                }
            }
        }
    }
    return 0;
}

int PrintShownHolidays(const RecordList& records, int firstYear, int lastYear, std::ostream& out) {
    // Year by year: a day's holidays do not depend on the range they are computed for.
    std::vector<std::string> lines;
    for (int year = firstYear; year <= lastYear; ++year) {
        lines.clear();
        for (const ShownHoliday& holiday :
             ShownHolidays(records, DateTime::FromDate(year, 1, 1),
                           DateTime::FromDate(year, 12, 31), HolidayDisplaySettings{})) {
            lines.push_back(FormatDate(holiday.day) + '\t' + holiday.title);
        }
        std::sort(lines.begin(), lines.end());
        for (const std::string& line : lines) out << line << '\n';
    }
    return 0;
}

int WriteTemplate(const std::string& path, std::ostream& err) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    const std::string bytes = HolidayTemplateBytes();
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        err << "almx holidays: cannot write " << path << '\n';
        return 1;
    }
    return 0;
}

int Run(const Arguments& args, std::ostream& out, std::ostream& err) {
    OptionReader options(args);
    std::string writePath;
    if (options.Value("--write-template", writePath)) {
        if (!options.Positional().empty() || !options.Unknown().empty()) {
            err << "almx holidays: --write-template takes only a file\n";
            return 2;
        }
        return WriteTemplate(writePath, err);
    }
    const bool rule = options.Flag("--rule");
    std::string templatePath;
    const bool givenTemplate = options.Value("--template", templatePath);
    if (std::string unknown = options.Unknown(); !unknown.empty()) {
        err << "almx holidays: unknown option " << unknown << '\n';
        return 2;
    }
    const Arguments& years = options.Positional();
    int firstYear = 0;
    int lastYear = 0;
    if (years.empty() || years.size() > 2 || !ReadYear(years[0], firstYear) ||
        !ReadYear(years.size() == 2 ? years[1] : years[0], lastYear) || lastYear < firstYear) {
        err << "almx holidays: give FIRST_YEAR [LAST_YEAR], " << kMinYear << " to " << kMaxYear
            << ", in order\n";
        return 2;
    }
    if (rule) return PrintRuleHolidays(firstYear, lastYear, out);

    if (!givenTemplate)
        templatePath = DataFile(RunningProgramFolder(), kHolidayTemplateName).string();
    const auto records = ReadHolidayTemplate(templatePath);
    if (!records) {
        err << "holiday.alx を読み込めません: " << templatePath << '\n';
        return 1;
    }
    return PrintShownHolidays(*records, firstYear, lastYear, out);
}

const CommandRegistrar registrar({
    "holidays",
    "[--rule] [--template FILE] FIRST_YEAR [LAST_YEAR] | --write-template FILE",
    "public holidays of the years, one \"YYYY/MM/DD<TAB>name\" a line, as a new document "
    "seeded from the holiday template shows them (default settings); --rule prints the days "
    "IsHoliday calls holidays, dates only; --write-template writes the holiday template",
    Run,
});

}  // namespace

}  // namespace almx::cli
