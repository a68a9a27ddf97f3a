// The CSV line codec: any line splits without harm, and a joined row splits back to itself.
#include <string>

#include "base/csv_card.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    std::string line(reinterpret_cast<const char*>(data), size);
    almx::TCard card;
    card.Parse(line);
    FUZZ_CHECK(card.Count() <= almx::TCard::kMaxFields);

    // The views the file reader splits record lines into are the same cells.
    almx::CsvCellViews views;
    views.Split(line);
    FUZZ_CHECK(views.Count() == card.Count());
    for (int i = 0; i < card.Count(); ++i) {
        FUZZ_CHECK(views.At(i) == card.At(i));
        FUZZ_CHECK(views.IsQuoted(i) == card.IsQuoted(i));
    }

    // Joined fields come back unchanged. A lone CR before LF is the one form the codec
    // normalises: "\n" alone is written as a line break and returns as CR LF.
    if (HoldsEscapeBytes(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
    if (card.Count() == 0) return 0;  // no fields joins to an empty line: one empty field

    almx::TCard back;
    back.Parse(card.ToCsvLine());
    FUZZ_CHECK(back.Count() == card.Count());
    for (int i = 0; i < card.Count(); ++i) {
        std::string expected;
        const std::string& field = card.At(i);
        for (std::size_t k = 0; k < field.size(); ++k) {
            if (field[k] == '\n' && (k == 0 || field[k - 1] != '\r')) expected += '\r';
            expected += field[k];
        }
        FUZZ_CHECK(back.At(i) == expected);
        // A bare field that needs quotes to survive is written quoted.
        FUZZ_CHECK(back.IsQuoted(i) || !card.IsQuoted(i));
    }
    return 0;
}
