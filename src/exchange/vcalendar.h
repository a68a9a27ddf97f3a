#pragma once
// vCalendar 1.0 and iCalendar 2.0 (RFC 5545): the property model shared by both formats, the
// mapping between a component and a record, and the text of both files. Texts are UTF-8 in
// memory; iCalendar files carry UTF-8, vCalendar files Shift_JIS in quoted-printable form.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/date_time.h"
#include "core/record.h"

namespace almx {

namespace vcal_messages {
inline constexpr const char* kImportFailed = "インポートに失敗しました";
inline constexpr const char* kNoDataOnDay = "この日にデータがありません";
inline constexpr const char* kSaveFailed = "vCalender形式での保存に失敗しました";
inline constexpr const char* kProdId = "-//Velta Ltd//Almanix EXP//EN";
inline constexpr const char* kTimeZone = "Asia/Tokyo";
}  // namespace vcal_messages

// One property line: NAME;PARAMETERS:VALUE.
struct CVData {
    std::string name;
    std::string value;
    std::string parameters;  // between the first ";" and the ":", kept as one text
};

// Ordered properties; names are matched without regard to letter case.
class CVDataArray {
  public:
    const CVData* Find(std::string_view name) const;
    CVData* Find(std::string_view name);
    // The first property's value; empty when there is none.
    const std::string& Value(std::string_view name) const;
    // Replaces the first property's value, or appends a property.
    void Set(std::string_view name, std::string_view value);
    void Add(CVData property);
    void Clear() { items_.clear(); }
    std::size_t Size() const { return items_.size(); }
    const CVData& At(std::size_t i) const { return items_[i]; }
    const std::vector<CVData>& Items() const { return items_; }
    void SetGrowStep(std::size_t step) { growStep_ = step; }
    std::size_t Capacity() const { return items_.capacity(); }

  private:
    std::vector<CVData> items_;
    std::size_t growStep_ = 0;
};

// The numbers behind the UIDs' digits: the sequence of std::mt19937_64 from the same seed, so
// that files stay as they were, with the state refilled without a branch on each word's low
// bit (which mispredicts every other word).
class UidRandom {
  public:
    explicit UidRandom(std::uint64_t seed);
    std::uint64_t operator()() {
        if (next_ == kSize) Refill();
        std::uint64_t x = state_[next_++];
        x ^= (x >> 29) & 0x5555555555555555ULL;
        x ^= (x << 17) & 0x71D67FFFEDA60000ULL;
        x ^= (x << 37) & 0xFFF7EEE000000000ULL;
        return x ^ (x >> 43);
    }

  private:
    static constexpr std::size_t kSize = 312;
    void Refill();

    std::array<std::uint64_t, kSize> state_;
    std::size_t next_ = kSize;
};

// What makes an export reproducible: "now" in Japan time and the seed of the UIDs.
struct CalendarStamp {
    DateTime now;
    std::uint64_t seed = 0;
};

// One VEVENT or VTODO with its decoded fields.
class CVCalender : public CVDataArray {
  public:
    explicit CVCalender(const DateTime& now = DateTime());

    void MakeTodo();
    bool IsTodo() const;

    // Fills the component from a record for iCalendar.
    void FromRecord(const CAlmxData& record);
    // Fills the component for vCalendar from the record selected on day.
    void FromRecordForVcs(const CAlmxData& record, const DateTime& day, int todayLimit);
    // 1 accepted, 0 rejected; why in Rejection().
    int ToRecord(CAlmxData& record) const;
    // The component's lines, each ending in CR LF, for version 1 (vCalendar) or 2.
    std::string ToText(int version, const std::string& uid, const DateTime& now) const;

    const std::string& Rejection() const { return rejection_; }

    // A component as a reader begins it: its BEGIN line ("VEVENT" or "VTODO") and no other.
    static CVCalender Begun(std::string_view kind);

    DateTime start;
    DateTime end = DateTime::Invalid();
    DateTime alarm = DateTime::Invalid();
    std::string summary;
    std::string description;
    std::string location;
    std::string rrule;
    int startHasTime = 1;
    int endHasTime = 1;
    // Additions for a lossless round trip.
    bool hasEnd = true;             // an event with a DTEND
    bool noDeadline = false;        // a to-do without DUE
    int alarmMinutes = -1;          // VALARM lead time
    int timeFlags = -1;             // X-ALMX-TIMES: bit 0 start, bit 1 end; -1 absent
    int shiftRule = 0;              // X-ALMX-SHIFT
    std::vector<DateTime> exdates;  // Japan time; dates only when !startHasTime
    DateTime recurrenceId = DateTime::Invalid();
    std::string uid;
    bool unsupportedRule = false;  // RDATE or EXRULE present
    bool ownProducer = false;      // written by this program (older forms)

  private:
    struct BareTag {};
    explicit CVCalender(BareTag) {}

    mutable std::string rejection_;
};

class CVCalenderList {
  public:
    int version = 2;  // 1 vCalendar, 2 iCalendar; 0 is written as 1
    std::vector<CVCalender> components;
};

// TEXT value escaping of RFC 5545 (backslash, semicolon, comma, line break) and back.
std::string EscapeText(std::string_view text);
std::string UnescapeText(std::string_view text);
// One logical line folded to at most 75 octets per line, never inside a UTF-8 sequence; each
// physical line ends in CR LF.
std::string FoldLine(std::string_view line);
// Physical lines joined where a line begins with a blank or a tab; the line ends removed.
std::vector<std::string> UnfoldLines(std::string_view bytes);

// The RRULE text of a recurring record, empty for a single one; exdates gets the occurrence
// days the exceptions remove, first the rule's first occurrence on or after start.
struct RuleText {
    std::string rrule;
    DateTime first;  // date of the first occurrence (start's date for a single record)
    std::vector<DateTime> exdates;
};
RuleText RecordRule(const CAlmxData& record);
// A vCalendar 1.0 rule as RRULE text; empty when it is none.
std::string VcsRuleToRRule(std::string_view rule);
// Applies an RRULE to a record whose start and end are set; false (with why) rejects it.
bool ApplyRule(std::string_view rrule, CAlmxData& record, bool ownProducer, std::string& why);

// The records listed on the days from..to (each once, in document order): schedules that
// occur there and to-dos due there.
std::vector<const CAlmxData*> RecordsInRange(const std::vector<const CAlmxData*>& records,
                                             const DateTime& from, const DateTime& to,
                                             int todayLimit);
// A file name from a title: "/" and control characters replaced, never empty.
std::string CalendarFileName(const std::string& title, const char* extension);
// Writes the bytes in binary mode; false after the file message in why.
bool WriteCalendarFile(const std::string& path, std::string_view bytes, std::string& why);

// The iCalendar file of the records; DTSTAMP and UIDs from the stamp.
std::string ICalendarText(const std::vector<const CAlmxData*>& records, const CalendarStamp& stamp);
// The single-component vCalendar file (Shift_JIS) of a record selected on day.
std::string VCalendarText(const CAlmxData& record, const DateTime& day, int todayLimit,
                          const CalendarStamp& stamp);

struct CalendarImport {
    std::vector<CAlmxData> records;
    int accepted = 0;
    int failed = 0;
    bool hadComponents = false;  // any VEVENT or VTODO
    std::size_t replaced = 0;    // characters Shift_JIS cannot hold
};
// The VEVENT and VTODO components of an iCalendar or vCalendar file with their fields decoded,
// before any mapping into records; one without a usable DTSTART keeps an invalid start. The
// components keep their BEGIN line; the other properties live only in the fields.
// replaced counts the characters Shift_JIS cannot hold.
CVCalenderList ParseCalendar(std::string_view bytes, std::size_t& replaced);
// Reads an iCalendar or vCalendar file's bytes (every component on its own); now stands in
// for a to-do without deadline.
CalendarImport ReadCalendar(std::string_view bytes, const DateTime& now);
// The message an import ends with.
std::string CalendarImportMessage(const CalendarImport& result);

}  // namespace almx
