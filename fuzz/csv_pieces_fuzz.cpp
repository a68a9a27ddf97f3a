// Bytes read in pieces split into the same lines as the bytes held whole: the first byte of the
// input chooses where the pieces break, the rest are the bytes.
#include <string>
#include <utility>
#include <vector>

#include "base/csv_scan.h"
#include "fuzz_check.h"

namespace {

using Lines = std::vector<std::pair<std::string, bool>>;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t step = data[0] % 17 + 1;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    Lines whole;
    const std::size_t invalid = almx::ForEachCsvLine(
        bytes, [&](std::string_view line, bool last) { whole.emplace_back(line, last); });
    Lines pieces;
    almx::CsvLineSplitter splitter(
        [&](std::string_view line, bool last) { pieces.emplace_back(line, last); });
    // Pieces of growing length: breaks fall at every kind of place.
    std::size_t length = step;
    for (std::size_t at = 0; at < bytes.size(); at += length, length = length % 23 + step) {
        splitter.Feed(bytes.substr(at, length));
    }
    FUZZ_CHECK(splitter.Finish() == invalid);
    FUZZ_CHECK(pieces == whole);
    return 0;
}
