// The Outlook schedule and to-do imports over any bytes: no crash, and every accepted record
// has valid dates inside the calendar and a genre that exists.
#include <string>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "document/document.h"
#include "exchange/outlook_csv.h"
#include "fuzz_check.h"

namespace {

bool InCalendar(const almx::DateTime& value) {
    return value.IsValid() && value.Year() >= almx::kMinYear && value.Year() <= almx::kMaxYear;
}

void Check(const almx::ImportOutcome& outcome) {
    FUZZ_CHECK(outcome.accepted == static_cast<int>(outcome.records.size()));
    FUZZ_CHECK(outcome.failed >= 0);
    FUZZ_CHECK(outcome.genres.Count() <= static_cast<std::size_t>(almx::kMaxGenreIndex) + 1);
    for (const almx::CAlmxData& record : outcome.records) {
        FUZZ_CHECK(InCalendar(record.start));
        FUZZ_CHECK(record.genre >= 0 &&
                   static_cast<std::size_t>(record.genre) < outcome.genres.Count());
        if (!record.Has(almx::IsTodo)) {
            FUZZ_CHECK(InCalendar(record.end));
            FUZZ_CHECK(!(record.end < record.start));
            FUZZ_CHECK(record.alarmMinutes >= -1);
        } else {
            FUZZ_CHECK(record.todoLeadDays >= -1);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static almx::MemorySettingsStore settings;
    static almx::ScriptedPrompter prompter;
    static almx::ManualClock clock(almx::DateTime::FromParts(2025, 5, 3, 9, 0));
    almx::DocumentContext context;
    context.settings = &settings;
    context.prompter = &prompter;
    context.clock = &clock;
    almx::CAlmxDoc doc(context);
    const almx::CAlmxFieldArray genres = almx::CAlmxFieldArray::General();
    Check(almx::CAlmxOutlookImport(doc, prompter).ImportBytes(bytes, genres, {}, 0));
    Check(almx::CAlmxOutlookTodoImport(doc, prompter).ImportBytes(bytes, genres, {}, 0));
    return 0;
}
