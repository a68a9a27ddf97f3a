#pragma once
// Outlook's schedule and to-do CSV files: RFC 4180 rows of 22 quoted fields under a Japanese
// header, Shift_JIS with CR LF.

#include <string>
#include <string_view>
#include <vector>

#include "exchange/csv_import.h"
#include "exchange/range_export.h"
#include "text/encoding.h"

namespace almx {

class CAlmxDoc;

namespace outlook {
inline constexpr const char* kScheduleHeader =
    "\"件名\",\"開始日\",\"開始時刻\",\"終了日\",\"終了時刻\",\"終日イベント\",\"通知オン/オフ\","
    "\"アラーム日付\",\"アラーム時刻\",\"会議の開催者\",\"必須出席者\",\"任意出席者\",\"ﾘｿｰｽ\","
    "\"ﾌﾟﾗｲﾍﾞｰﾄ\",\"経費情報\",\"公開する時間帯の種類\",\"支払い条件\",\"場所\",\"内容\","
    "\"秘密度\",\"分類\",\"優先度\"";
inline constexpr const char* kTodoHeader =
    "\"件名\",\"開始日\",\"期限\",\"ｱﾗｰﾑ ｵﾝ/ｵﾌ\",\"ｱﾗｰﾑ日付\",\"ｱﾗｰﾑ時刻\",\"終了日\",\"達成率\","
    "\"予測時間\",\"実働時間\",\"Schedule+ の優先度\",\"ﾌﾟﾗｲﾍﾞｰﾄ\",\"ﾒﾓ\",\"会社名 \",\"経費情報\","
    "\"支払い条件\",\"状況\",\"秘密度\",\"分類\",\"役割\",\"優先度\",\"連絡先\"";

// Commands, dialogs and settings.
inline constexpr const char* kScheduleExportText = "Outlook CSV形式";
inline constexpr const char* kTodoExportText = "Outlook Todo形式";
inline constexpr const char* kScheduleImportText = "Outlook CSV形式の取り込み";
inline constexpr const char* kTodoImportText = "Outlook Todo CSV形式の取り込み";
inline constexpr const char* kImportTitle = "Outlook インポートファイル";
inline constexpr const char* kImportFilter = "CSVﾌｧｲﾙ(*.CSV) |*.CSV|全てのﾌｧｲﾙ(*.*) |*.*||";
inline constexpr const char* kImportSection = "Import";
inline constexpr const char* kImportKey = "Outlook";
}  // namespace outlook

// "%Y/%m/%d" and "%H:%M:00".
std::string OutlookDate(const DateTime& value);
std::string OutlookTime(const DateTime& value);
void AppendOutlookDate(std::string& out, const DateTime& value);
void AppendOutlookTime(std::string& out, const DateTime& value);

// AppendOutlookDate with the texts of recent days kept: a line's dates are mostly its day's and
// the next few, and the civil conversion is the dear part of writing one.
class OutlookDateTexts {
  public:
    void Append(std::string& out, const DateTime& value);

  private:
    struct Entry {
        long day = 0;
        bool used = false;
        unsigned char length = 0;
        char text[14] = {};
    };
    Entry entries_[16];
};

class CAlmxOutlookExport : public CAlmxExport {
  public:
    using CAlmxExport::CAlmxExport;
    std::string FormatLine(const DateTime& day, const CAlmxData& record,
                           int includeHidden) override;
    std::string HeaderLine(int includeHidden) override;
    bool AppendLine(std::string& out, const DateTime& day, const CAlmxData& record,
                    int includeHidden) override;

    bool WritesFileBytes() const override { return true; }

  protected:
    void BeginExport() override;

  private:
    // A record's texts as the file holds them (Shift_JIS, line breaks CR LF): the quoted title,
    // and the place and memo fields with their commas in front. Views that hold until the next
    // call.
    struct FileTexts {
        std::string_view title;
        std::string_view rest;
    };
    // A recurring record's are made once per walk (it is written on many days) and kept one
    // after another in one string, found by open addressing (a node per record would cost a
    // cache miss per line); a single record's are made each time (it is written once).
    FileTexts TextsInFile(const CAlmxData& record, bool recurring);
    void EncodeTexts(const CAlmxData& record, std::string& into, std::size_t& titleLength);
    struct KeptTexts {
        const CAlmxData* record = nullptr;
        std::size_t offset = 0;
        std::size_t titleLength = 0;
        std::size_t length = 0;
    };
    void GrowKeptTexts();
    // The genre's field with its comma in front, as the file holds it.
    std::string_view GenreInFile(int genre);
    // Appends the UTF-8 text as Shift_JIS.
    void AppendEncoded(std::string& out, std::string_view utf8);

    // Records met, in one array by open addressing: no allocation per record and one place in
    // memory to look at, where a node set costs both for each of a large document's records.
    class RecordSet {
      public:
        void Clear();
        // False when the record was in the set already.
        bool Insert(const CAlmxData* record);

      private:
        void Grow();
        std::vector<const CAlmxData*> slots_;
        std::size_t count_ = 0;
        int bits_ = 0;
    };

    // Single schedules already written: one listed on several days is written once.
    RecordSet written_;
    OutlookDateTexts dates_;
    std::vector<KeptTexts> keptSlots_;
    std::size_t keptCount_ = 0;
    int keptBits_ = 0;
    std::string keptBytes_;
    std::string singleBytes_;
    std::vector<std::string> genreTexts_;  // empty until made
    std::string quoted_;
    text::SjisEncoding encoded_;
};

class CAlmxOutlookTodoExport : public CAlmxExport {
  public:
    using CAlmxExport::CAlmxExport;
    std::string FormatLine(const DateTime& day, const CAlmxData& record,
                           int includeHidden) override;
    std::string HeaderLine(int includeHidden) override;
    bool AppendLine(std::string& out, const DateTime& day, const CAlmxData& record,
                    int includeHidden) override;

  private:
    OutlookDateTexts dates_;
};

class CAlmxOutlookImport : public CAlmxImport {
  public:
    using CAlmxImport::CAlmxImport;
    int ParseLine(int row, std::string_view rowText, CAlmxData& record, int option) override;
};

class CAlmxOutlookTodoImport : public CAlmxImport {
  public:
    using CAlmxImport::CAlmxImport;
    int ParseLine(int row, std::string_view rowText, CAlmxData& record, int option) override;
};

// The schedule list's export of selected rows: copies of the records in a store of their own,
// exported over the range with the document's genres. False after the file's message.
bool ExportRecordsToOutlook(const std::vector<const CAlmxData*>& records, CAlmxFieldArray& genres,
                            const DateTime& first, const DateTime& last, const std::string& path,
                            int includeHidden, ExportEnvironment environment,
                            FileWriter* writer = nullptr);

}  // namespace almx
