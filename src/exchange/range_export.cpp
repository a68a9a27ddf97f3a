#include "exchange/range_export.h"

#include <algorithm>
#include <cstdio>

#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/genre.h"
#include "core/record_display.h"
#include "exchange/handheld_csv.h"
#include "exchange/text_file.h"
#include "text/encoding.h"

namespace almx {

namespace {

// Lines are handed on in blocks of about this size.
constexpr std::size_t kFlushBytes = 256 * 1024;
// Room made per (day, record) pair: about what a line of Japanese texts takes.
constexpr std::size_t kFileLineBytes = 320;
constexpr std::size_t kTextLineBytes = 64;
// How far ahead of the line being made its records and their texts are fetched.
constexpr std::size_t kPrefetchRecords = 8;
constexpr std::size_t kPrefetchTexts = 4;

bool InCalendar(const DateTime& day) {
    return day.IsValid() && day.Year() >= kMinYear && day.Year() <= kMaxYear;
}

// Appends Shift_JIS bytes with every "\n" as CR LF (0x0A is never a trail byte).
void AppendWithCrLf(std::string& out, std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t lf = bytes.find('\n', pos);
        if (lf == std::string_view::npos) {
            out.append(bytes.substr(pos));
            break;
        }
        out.append(bytes.substr(pos, lf - pos));
        out += "\r\n";
        pos = lf + 1;
    }
}

// Turns blocks of UTF-8 lines (already with CR LF) into the file's Shift_JIS bytes in a buffer
// kept from block to block, so a long export allocates (and the kernel maps) no fresh memory per
// block.
class BlockEncoder {
  public:
    std::string_view Encode(std::string_view lines) {
        encoded_.bytes.clear();
        encoded_.unrepresentable.clear();
        text::AppendUtf8AsShiftJis(lines, encoded_);
        return encoded_.bytes;
    }

  private:
    text::SjisEncoding encoded_;
};

}  // namespace

CAlmxExport::CAlmxExport(const DayCellSource& source, const DateTime& first, const DateTime& last,
                         ExportEnvironment environment)
    : source_(source), first_(first.Date()), last_(last.Date()), environment_(environment) {}

std::string CAlmxExport::HeaderLine(int) {
    return {};
}

bool CAlmxExport::AppendLine(std::string& out, const DateTime& day, const CAlmxData& record,
                             int includeHidden) {
    const std::string line = FormatLine(day, record, includeHidden);
    if (walkCrLf_) {
        AppendWithCrLf(out, line);
    } else {
        out += line;
    }
    return !line.empty();
}

std::string_view CAlmxExport::GenreName(int genre) const {
    if (!source_.genres) return {};
    const CAlmxField* field = source_.genres->At(genre);
    return field ? std::string_view(field->name) : std::string_view();
}

long CAlmxExport::Walk(int includeHidden, int todayLimit, bool forText, bool crLf,
                       const std::function<bool(std::string_view)>& flush,
                       const std::function<void(std::size_t)>& expect) {
    BeginExport();
    walkTodayLimit_ = todayLimit;
    // FormatLine called outside a walk gives the plain line again.
    struct CrLfScope {
        bool& flag;
        ~CrLfScope() { flag = false; }
    } scope{walkCrLf_};
    walkCrLf_ = crLf;
    if (!InCalendar(first_) || !InCalendar(last_)) return -1;
    const long days = DateDifference(first_, last_) + 1;
    if (days < 1) return 0;

    DayCellSettings settings = DayCellSettings::FromSettings(environment_.settings);
    settings.todayLimit = todayLimit;
    const long pieceDays = pieceDays_;
    DayCellSet cells(static_cast<int>(std::min(days, pieceDays)));
    long pairs = 0;
    std::string buffer;
    buffer.reserve(kFlushBytes + 4096);
    for (long done = 0; done < days;) {
        const int count = static_cast<int>(std::min(days - done, pieceDays));
        if (!cells.Fill(first_.PlusDays(done), count, source_, settings, environment_.clock,
                        &environment_.prompter)) {
            return -1;
        }
        std::size_t entries = 0;
        for (const DayCell& cell : cells.Cells()) entries += cell.entries.size();
        if (expect) expect(entries);
        for (const DayCell& cell : cells.Cells()) {
            const std::vector<const CAlmxData*>& entries = cell.entries;
            for (std::size_t k = 0; k < entries.size(); ++k) {
                const CAlmxData* entry = entries[k];
                // A large document's records lie far apart in memory and are met in date
                // order: fetch those a few entries ahead, and their texts a little later, so
                // the line is not made waiting for memory.
                if (k + kPrefetchRecords < entries.size()) {
                    __builtin_prefetch(entries[k + kPrefetchRecords]);
                }
                if (k + kPrefetchTexts < entries.size()) {
                    const CAlmxData* ahead = entries[k + kPrefetchTexts];
                    __builtin_prefetch(ahead->title.data());
                    __builtin_prefetch(ahead->memo.data());
                    __builtin_prefetch(ahead->place.data());
                }
                const std::size_t before = buffer.size();
                const bool written = AppendLine(buffer, cell.date, *entry, includeHidden);
                ++pairs;
                if (!written && !forText) {
                    buffer.resize(before);
                    continue;
                }
                if (crLf) buffer += '\r';
                buffer += '\n';
                if (buffer.size() >= kFlushBytes) {
                    if (!flush(buffer)) return -1;
                    buffer.clear();
                }
            }
        }
        done += count;
    }
    if (!buffer.empty() && !flush(buffer)) return -1;
    return pairs;
}

bool CAlmxExport::FileText(std::string& out, int includeHidden) {
    const std::size_t before = out.size();
    const std::string header = HeaderLine(includeHidden);
    if (!header.empty()) {
        out += header;
        out += '\n';
    }
    // Every time belongs to its calendar day; the setting itself is not touched.
    auto append = [&out](std::string_view lines) {
        out += lines;
        return true;
    };
    auto expect = [&out](std::size_t pairs) { out.reserve(out.size() + pairs * kFileLineBytes); };
    if (Walk(includeHidden, 0, false, false, append, expect) < 0) {
        out.resize(before);
        return false;
    }
    return true;
}

bool CAlmxExport::FileBytes(std::string& bytes, int includeHidden) {
    const std::size_t before = bytes.size();
    auto append = [&bytes](std::string_view block) {
        bytes += block;
        return true;
    };
    auto expect = [&bytes](std::size_t pairs) {
        bytes.reserve(bytes.size() + pairs * kFileLineBytes);
    };
    if (!WalkBytes(includeHidden, append, expect)) {
        bytes.resize(before);
        return false;
    }
    return true;
}

bool CAlmxExport::FileBlocks(const ByteSink& sink, int includeHidden) {
    return WalkBytes(includeHidden, sink, nullptr);
}

bool CAlmxExport::WalkBytes(int includeHidden, const std::function<bool(std::string_view)>& sink,
                            const std::function<void(std::size_t)>& expect) {
    // Each block of lines is encoded as it comes, so the UTF-8 text of the whole range is
    // never held.
    BlockEncoder encoder;
    auto write = [&encoder, &sink](std::string_view lines) { return sink(encoder.Encode(lines)); };
    const std::string header = HeaderLine(includeHidden);
    if (!header.empty()) {
        std::string line;
        AppendWithCrLf(line, header);
        line += "\r\n";
        if (!write(line)) return false;
    }
    if (!WritesFileBytes()) return Walk(includeHidden, 0, false, true, write, expect) >= 0;
    // The format appends the bytes themselves: its blocks go to the sink as they are.
    struct FileBytesScope {
        bool& flag;
        ~FileBytesScope() { flag = false; }
    } scope{walkFileBytes_};
    walkFileBytes_ = true;
    return Walk(includeHidden, 0, false, true, sink, expect) >= 0;
}

bool CAlmxExport::ExportToFile(const std::string& path, int includeHidden) {
    // The blocks go to the file as they are made: the file's bytes are never held whole.
    const ByteMaker make = [this, includeHidden](const ByteSink& sink) {
        return FileBlocks(sink, includeHidden);
    };
    return WriteShiftJisStream(path, make, *writer_, environment_.prompter,
                               CVeltaFileException(file_messages::kOpen, path).what());
}

int CAlmxExport::ExportToText(std::string& out, int includeHidden) {
    const int todayLimit = environment_.settings.GetInt("System", "TodayLimit", 0);
    const std::size_t before = out.size();
    const long pairs = Walk(
        includeHidden, todayLimit, true, false,
        [&out](std::string_view lines) {
            AppendWithCrLf(out, lines);
            return true;
        },
        [&out](std::size_t pairs) { out.reserve(out.size() + pairs * kTextLineBytes); });
    if (pairs <= 0) {
        out.resize(before);
        return 0;
    }
    return static_cast<int>(std::min<long>(pairs, 0x7FFFFFFF));
}

bool CAlmxExport::ExportToClipboard(int includeHidden, ClipboardSink& clipboard) {
    std::string text;
    if (ExportToText(text, includeHidden) == 0) return false;
    clipboard.SetText(CrLfToLf(text));
    return true;
}

std::string CAlmxTextExport::FormatLine(const DateTime& day, const CAlmxData& record, int options) {
    if (record.Has(IsTodo)) return "Todo：" + record.title;
    std::string line;
    char buffer[32];
    if (options & kWithYear) {
        std::snprintf(buffer, sizeof buffer, "%04d/", day.Year());
        line += buffer;
    }
    std::snprintf(buffer, sizeof buffer, "%02d/%02d", day.Month(), day.Day());
    line += buffer;
    if (options & kWithWeekday) {
        line += '(';
        line += kWeekdayNames[day.DayOfWeek()];
        line += ')';
    }
    line += ' ';
    // Hours before the day boundary show as hour + 24, as on the calendar.
    if (record.Has(StartTimeSet)) {
        line += FormatDisplayTime(record.start, WalkTodayLimit());
        line += ' ';
    }
    if (record.Has(EndTimeSet)) {
        line += "～";
        line += FormatDisplayTime(record.end, WalkTodayLimit());
        line += ' ';
    }
    line += record.title;
    return line;
}

}  // namespace almx
