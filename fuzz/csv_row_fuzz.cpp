// Rows of other programs' CSV files: any bytes scan and split without harm, and fields joined
// into a row split back to themselves (as a field is written: line breaks as "\n", no bytes
// 0x01 to 0x04).
#include <string>
#include <vector>

#include "exchange/csv_row.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const int state = almx::ScanCsvLine(bytes, almx::kBetweenFields);
    FUZZ_CHECK(state >= almx::kBetweenFields && state <= almx::kInQuotedField);
    const std::vector<std::string> split = almx::SplitCsvRow(bytes);
    FUZZ_CHECK(!split.empty());

    // The input as fields separated by NUL bytes.
    std::vector<std::string> fields(1);
    for (char c : bytes) {
        if (c == '\0') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    const std::string row = almx::JoinCsvRow(fields);
    for (char c : row) FUZZ_CHECK(!(c >= '\x01' && c <= '\x04'));
    const std::vector<std::string> back = almx::SplitCsvRow(row);
    FUZZ_CHECK(back.size() == fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        FUZZ_CHECK(back[i] == almx::NormalizeCsvField(fields[i]));
    }
    // A joined row never leaves a quoted field open, whatever its line breaks.
    int scan = almx::kBetweenFields;
    std::size_t pos = 0;
    while (pos <= row.size()) {
        std::size_t end = row.find('\n', pos);
        if (end == std::string::npos) end = row.size();
        scan = almx::ScanCsvLine(std::string_view(row).substr(pos, end - pos), scan);
        pos = end + 1;
    }
    FUZZ_CHECK(scan != almx::kInQuotedField);
    return 0;
}
