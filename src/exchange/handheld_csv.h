#pragma once
// The GENIO and Zaurus CSV files: every record (GENIO) or every schedule (Zaurus) of the
// document in stored order, texts written raw.

#include <string>
#include <string_view>

#include "base/file_io.h"
#include "core/record_list.h"

namespace almx {

class Prompter;

namespace handheld {
inline constexpr const char* kGenioCommand = "GENIO形式でCSV出力";
inline constexpr const char* kZaurusCommand = "ザウルス形式でCSV出力";
inline constexpr const char* kGenioTitle = "GENIO出力ファイル";
inline constexpr const char* kZaurusTitle = "ザウルス形式出力ファイル";
inline constexpr const char* kFilter = "CSVﾌｧｲﾙ(*.CSV) |*.CSV||";
inline constexpr const char* kSection = "Export";
inline constexpr const char* kGenioKey = "Genio";
inline constexpr const char* kZaurusKey = "Zaurus";
inline constexpr const char* kGenioDefault = "genio.csv";
inline constexpr const char* kZaurusDefault = "zaurus.csv";
inline constexpr const char* kCannotOpen = "ファイルが開けません";
}  // namespace handheld

// One line each, without the line end.
std::string GenioLine(const CAlmxData& record);
std::string ZaurusLine(const CAlmxData& record);

// The whole files, lines ending in "\n".
std::string GenioText(const RecordList& records);
std::string ZaurusText(const RecordList& records);

// Writes UTF-8 text as Shift_JIS with CR LF through a temporary file; an existing file stays
// as it was on failure. False after showing cannotOpen (the file could not be made there) or
// the write failure message with the path.
bool WriteShiftJisFile(const std::string& path, const std::string& text, FileWriter& writer,
                       Prompter& prompter, std::string_view cannotOpen);
// The same for bytes already encoded.
bool WriteShiftJisBytes(const std::string& path, std::string_view bytes, FileWriter& writer,
                        Prompter& prompter, std::string_view cannotOpen);
// The same for bytes made block by block as they are written (SaveReplacingStreamed); a
// maker that fails shows the write failure message.
bool WriteShiftJisStream(const std::string& path, const ByteMaker& make, FileWriter& writer,
                         Prompter& prompter, std::string_view cannotOpen);

}  // namespace almx
