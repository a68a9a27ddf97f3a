#include "exchange/handheld_csv.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "base/prompter.h"
#include "core/record_display.h"
#include "exchange/text_file.h"
#include "text/encoding.h"

namespace almx {

namespace {

// Raw texts, but one physical line per record: a line break becomes a blank.
std::string OneLine(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += ' ';
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string Format(const char* format, int a, int b, int c) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, a, b, c);
    return buffer;
}

std::string Date(const DateTime& value, const char* format) {
    return Format(format, value.Year(), value.Month(), value.Day());
}

// A recurring record ends its first occurrence, not on its last possible day.
DateTime EndOf(const CAlmxData& record) {
    return record.IsRecurring() ? FirstOccurrenceEnd(record, false) : record.end;
}

}  // namespace

std::string GenioLine(const CAlmxData& r) {
    std::string line;
    if (r.Has(IsTodo)) {
        line = "\"0000/00/00\",\"FF:FF:FF\",\"0000/00/00\",\"FF:FF:FF\",\"\",\"";
        line += OneLine(r.title);
        line += r.Has(TodoDone) ? "\",\"2\",\"0\",\"1\"" : "\",\"1\",\"0\",\"1\"";
        return line;
    }
    const DateTime end = EndOf(r);
    line = '"' + Date(r.start, "%04d/%02d/%02d") + "\",\"";
    line += r.Has(StartTimeSet) ? Format("%02d:%02d:00", r.start.Hour(), r.start.Minute(), 0)
                                : "FF:FF:FF";
    line += "\",\"" + Date(end, "%04d/%02d/%02d") + "\",\"";
    line += r.Has(EndTimeSet) ? Format("%02d:%02d:00", end.Hour(), end.Minute(), 0) : "FF:FF:FF";
    line += "\",\"\",\"";
    line += OneLine(r.title);
    line += "\",\"0\",\"" + std::to_string(r.alarmMinutes) + "\",\"0\"";
    return line;
}

std::string ZaurusLine(const CAlmxData& r) {
    const DateTime end = EndOf(r);
    const std::string startDate = Date(r.start, "%04d%02d%02d");
    const std::string endDate = Date(end, "%04d%02d%02d");
    std::string line = "\"D\",\" \",\"" + startDate;
    line +=
        r.Has(StartTimeSet) ? Format("%02d%02d  ", r.start.Hour(), r.start.Minute(), 0) : "0000  ";
    line += "\",";
    if (endDate != startDate || r.Has(EndTimeSet)) {
        line += '"' + endDate;
        line += r.Has(EndTimeSet) ? Format("%02d%02d  ", end.Hour(), end.Minute(), 0) : "0000  ";
        line += '"';
    }
    line += ',';
    const bool alarm = r.Has(StartTimeSet) && r.alarmMinutes != -1;
    if (alarm) {
        const DateTime at = r.start.PlusMinutes(-static_cast<long long>(r.alarmMinutes));
        line +=
            '"' + Date(at, "%04d%02d%02d") + Format("%02d%02d  ", at.Hour(), at.Minute(), 0) + '"';
    }
    line += alarm ? ",\"*\",\"" : ",\" \",\"";
    line += OneLine(r.title);
    line += '"';
    return line;
}

std::string GenioText(const RecordList& records) {
    std::string text;
    for (const CAlmxData& record : records) {
        text += GenioLine(record);
        text += '\n';
    }
    return text;
}

std::string ZaurusText(const RecordList& records) {
    std::string text =
        "\"i\",\"SCRT\",\"TIM1\",\"TIM2\",\"ALRM\",\"ALON\",\"MEM1\"\n"
        "\"T\",\"シークレット\",\"開始時刻\",\"終了時刻\",\"アラーム時刻\",\"アラーム設定\","
        "\"内容\"\n";
    for (const CAlmxData& record : records) {
        if (record.Has(IsTodo)) continue;
        text += ZaurusLine(record);
        text += '\n';
    }
    return text;
}

bool WriteShiftJisFile(const std::string& path, const std::string& text, FileWriter& writer,
                       Prompter& prompter, std::string_view cannotOpen) {
    const text::SjisEncoding encoded = text::Utf8ToShiftJis(LfToCrLf(text));
    return WriteShiftJisBytes(path, encoded.bytes, writer, prompter, cannotOpen);
}

bool WriteShiftJisBytes(const std::string& path, std::string_view bytes, FileWriter& writer,
                        Prompter& prompter, std::string_view cannotOpen) {
    return WriteShiftJisStream(
        path, [bytes](const ByteSink& sink) { return sink(bytes); }, writer, prompter, cannotOpen);
}

bool WriteShiftJisStream(const std::string& path, const ByteMaker& make, FileWriter& writer,
                         Prompter& prompter, std::string_view cannotOpen) {
    bool made = true;
    const ByteMaker watched = [&make, &made](const ByteSink& sink) {
        made = make(sink);
        return made;
    };
    if (SaveReplacingStreamed(path, watched, writer)) return true;
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path folder = fs::path(path).parent_path();
    if (folder.empty()) folder = ".";
    const bool creatable = fs::is_directory(folder, error) && ::access(folder.c_str(), W_OK) == 0 &&
                           (!fs::exists(path, error) || fs::is_regular_file(path, error));
    if (made && !creatable) {
        prompter.ShowMessage(cannotOpen, MessageKind::Error);
    } else {
        prompter.ShowMessage(CVeltaFileException(file_messages::kWrite, path).what(),
                             MessageKind::Error);
    }
    return false;
}

}  // namespace almx
