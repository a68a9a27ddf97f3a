// Memo rows: any title and text the schedule file can hold (valid UTF-8, every character in
// Shift_JIS, none of the codec's escape bytes) come back from writing and reading the file as
// they were, with every line break in its one stable form ("\n"). A few characters share their
// Shift_JIS code with another one ("¬" and "￢"): they come back as the one the code reads as.
#include <string>

#include "core/record_array.h"
#include "document/schedule_file_reader.h"
#include "document/schedule_file_writer.h"
#include "fuzz_check.h"
#include "text/encoding.h"

namespace {

// CR LF and a bare CR read back as "\n"; characters as their Shift_JIS codes read back.
std::string StableBreaks(std::string_view original) {
    const std::string text = almx::text::FromShiftJis(almx::text::ToShiftJis(original));
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool Representable(std::string_view text) {
    return almx::text::IsValidUtf8(text) && !almx::text::FirstUnrepresentable(text) &&
           !HoldsEscapeBytes(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The title, a NUL, then the text; a second NUL makes a second memo.
    almx::CAlmxArray doc;
    std::size_t from = 0;
    while (from <= bytes.size() && doc.memoPages.size() < 4) {
        std::size_t split = bytes.find('\0', from);
        if (split == std::string_view::npos) split = bytes.size();
        const std::string_view title = bytes.substr(from, split - from);
        std::size_t end = split < bytes.size() ? bytes.find('\0', split + 1) : split;
        if (end == std::string_view::npos) end = bytes.size();
        const std::string_view body =
            split < bytes.size() ? bytes.substr(split + 1, end - split - 1) : std::string_view();
        if (!Representable(title) || !Representable(body)) return 0;
        doc.memoPages.push_back({std::string(title), std::string(body)});
        from = end + 1;
    }
    doc.extraNumber = static_cast<int>(size) - 7;

    const almx::ScheduleFileBytes written = almx::WriteScheduleFile(doc);
    FUZZ_CHECK(written.unrepresentable == 0);
    almx::CAlmxArray read;
    almx::RowReadOptions options;
    almx::ScanScheduleFile(
        written.bytes, [&](const almx::TCard& row) { almx::ReadScheduleRow(row, read, options); });
    FUZZ_CHECK(read.memoPages.size() == doc.memoPages.size());
    for (std::size_t i = 0; i < doc.memoPages.size(); ++i) {
        FUZZ_CHECK(read.memoPages[i].title == StableBreaks(doc.memoPages[i].title));
        FUZZ_CHECK(read.memoPages[i].text == StableBreaks(doc.memoPages[i].text));
    }
    FUZZ_CHECK(read.extraNumber == doc.extraNumber);
    return 0;
}
