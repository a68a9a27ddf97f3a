// A card table file of any bytes: every row has the header's column count, and what it writes
// reads back to the same table.
#include <string>

#include "exchange/card_table.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    almx::CardTable table;
    table.ReadBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    for (std::size_t i = 0; i < table.RowCount(); ++i) {
        FUZZ_CHECK(table.Row(i).Count() == table.ColumnCount());
    }
    if (HoldsEscapeBytes(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
    std::string written = table.ToBytes();
    almx::CardTable again;
    again.ReadBytes(written);
    FUZZ_CHECK(again.ToBytes() == written);
    return 0;
}
