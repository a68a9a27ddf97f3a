#include "exchange/card_table.h"

#include "base/csv_scan.h"
#include "exchange/text_file.h"
#include "text/encoding.h"

namespace almx {

bool CardTable::Read(const std::string& path) {
    try {
        ReadBytes(ReadWholeFile(path));
        return true;
    } catch (const CVeltaFileException&) {
        Clear();
        return false;
    }
}

void CardTable::ReadBytes(std::string_view sjis) {
    Clear();
    CsvScan scan = ScanCsvBytes(
        sjis, [](const TCard&) { return true; },
        [this](const TCard& row) { rows_.push_back(row); });
    header_ = std::move(scan.header);
    invalidSequences_ = scan.invalidSequences;
}

std::string CardTable::ToBytes() const {
    std::string utf8;
    if (header_.Count() > 0 || !rows_.empty()) header_.AppendCsvLine(utf8);
    for (const TCard& row : rows_) row.AppendCsvLine(utf8);
    text::SjisEncoding encoded = text::Utf8ToShiftJis(LfToCrLf(utf8));
    unrepresentable_ = encoded.unrepresentable.size();
    return std::move(encoded.bytes);
}

bool CardTable::Write(const std::string& path) const {
    try {
        TextFile file(path, "wb");
        file.Write(ToBytes());
        file.Close();
        return true;
    } catch (const CVeltaFileException&) {
        return false;
    }
}

void CardTable::RemoveAt(std::size_t index) {
    if (index < rows_.size()) rows_.erase(rows_.begin() + static_cast<long>(index));
}

void CardTable::Clear() {
    header_ = TCard();
    rows_.clear();
    invalidSequences_ = 0;
}

}  // namespace almx
