// Diary file names: a name taken as a date names that date's file (any case of ".TXT", or the
// bare stem), a name the scan lists has eight digits in range, and a real date's own name is
// both listed and taken.
#include <string>

#include "base/date_time.h"
#include "fuzz_check.h"
#include "reminders/diary_store.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string name(reinterpret_cast<const char*>(data), size);
    const auto date = almx::DiaryStore::ParseName(name);
    const bool listed = almx::DiaryStore::IsIndexName(name);
    const std::string stem = name.substr(0, name.find('.'));
    if (date) {
        FUZZ_CHECK(date->IsValid());
        FUZZ_CHECK(almx::DiaryStore::FileName(*date).substr(0, 8) == stem);
        FUZZ_CHECK(almx::DiaryStore::ParseName(almx::DiaryStore::FileName(*date)) == date);
    }
    if (listed) {
        FUZZ_CHECK(stem.size() == 8);
        for (char c : stem) FUZZ_CHECK(c >= '0' && c <= '9');
        const std::string tail = name.substr(name.size() - 4);
        FUZZ_CHECK(tail == ".txt" || tail == ".TXT" || tail == ".Txt" || tail == ".tXt" ||
                   tail == ".txT" || tail == ".TXt" || tail == ".tXT" || tail == ".TxT");
    }
    if (stem.size() == 8 && listed && !date) {
        // Listed but no date: the day does not exist in its month.
        const int year = std::stoi(stem.substr(0, 4));
        const int month = std::stoi(stem.substr(4, 2));
        const int day = std::stoi(stem.substr(6, 2));
        FUZZ_CHECK(!almx::DateExists(year, month, day));
    }
    return 0;
}
