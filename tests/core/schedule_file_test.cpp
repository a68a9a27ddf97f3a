#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/csv_card.h"
#include "core/record_array.h"
#include "core/record_line.h"
#include "document/password_scramble.h"
#include "document/schedule_file_reader.h"
#include "document/schedule_file_writer.h"
#include "document_fixture.h"
#include "rich_document.h"
#include "text/encoding.h"

namespace almx {
namespace {

using testing::kHeaderLine;
using testing::RichDocument;
using testing::SjisFile;

CAlmxArray ReadAll(std::string_view bytes, ScheduleFileScan* scanOut = nullptr) {
    CAlmxArray doc;
    RowReadOptions options;
    ScheduleFileScan scan =
        ScanScheduleFile(bytes, [&](const TCard& row) { ReadScheduleRow(row, doc, options); });
    if (scanOut) *scanOut = scan;
    return doc;
}

TEST(ScheduleFile, WritesTheHeaderRowsInKindOrderThenRecordsAllQuotedWithCrLf) {
    CAlmxArray doc;
    doc.password = "ab";
    doc.dayProperties["2008/01/05"] = {0xFFFFFF, "pic.png"};
    doc.diaryFolder = "/d";
    doc.extraNumber = 7;
    doc.extraText = "x";
    doc.genres.Append(CAlmxField("一般"));
    doc.genres.Append(CAlmxField("仕事", 0x0000FF, 0));
    doc.memoPages.push_back({"メモ", "一\n二"});
    CAlmxData r;
    r.start = DateTime::FromDate(2008, 1, 5);
    r.end = r.start;
    r.title = "表";
    doc.records.push_back(r);

    std::string expected = std::string(kHeaderLine) + "\"2\",\"" + ScramblePassword("ab") +
                           "\"\r\n"
                           "\"3\",\"2008/01/05\",\"FFFFFF\",\"pic.png\"\r\n"
                           "\"4\",\"/d\",\"\",\"440\",\"0\",\"0\",\"7\",\"x\"\r\n"
                           "\"5\",\"一般\",\"1\",\"000000\",\"\"\r\n"
                           "\"5\",\"仕事\",\"0\",\"0000FF\",\"\"\r\n"
                           "\"6\",\"メモ\",\"一\x01\x02二\"\r\n";
    std::string record = RecordLine(r);
    record.insert(record.size() - 1, "\r");
    expected += record;
    ScheduleFileBytes written = WriteScheduleFile(doc);
    EXPECT_EQ(written.bytes, text::ToShiftJis(expected));
    EXPECT_EQ(written.unrepresentable, 0u);
    // 表 is 0x95 0x5C in Shift_JIS: its trail byte is a backslash and must stay.
    EXPECT_NE(written.bytes.find("\"\x95\x5C\""), std::string::npos);
    EXPECT_EQ(written.bytes.find("\n\n"), std::string::npos);
}

TEST(ScheduleFile, WithoutPasswordThereIsNoKindTwoRow) {
    CAlmxArray doc;
    std::string bytes = WriteScheduleFile(doc).bytes;
    EXPECT_EQ(text::FromShiftJis(bytes),
              std::string(kHeaderLine) + "\"4\",\"\",\"\",\"440\",\"0\",\"0\",\"0\",\"\"\r\n");
}

TEST(ScheduleFile, EveryRowKindAndFieldComesBackAndWritesTheSameBytes) {
    CAlmxArray doc = RichDocument();
    std::string first = WriteScheduleFile(doc).bytes;
    ScheduleFileScan scan;
    CAlmxArray back = ReadAll(first, &scan);
    EXPECT_EQ(scan.layout, ScheduleLayout::Current);
    EXPECT_TRUE(scan.complete);
    EXPECT_EQ(scan.invalidSequences, 0u);
    ASSERT_EQ(back.records.size(), doc.records.size());
    for (std::size_t i = 0; i < doc.records.size(); ++i) {
        EXPECT_TRUE(back.records[i] == doc.records[i])
            << "record " << i << " " << doc.records[i].title;
    }
    EXPECT_EQ(back.dayProperties, doc.dayProperties);
    EXPECT_EQ(back.genres, doc.genres);
    EXPECT_EQ(back.memoPages, doc.memoPages);
    EXPECT_EQ(back.password, doc.password);
    EXPECT_EQ(back.diaryFolder, doc.diaryFolder);
    EXPECT_EQ(back.version, 440);
    EXPECT_EQ(back.defaultScheduleGenre, 1);
    EXPECT_EQ(back.defaultTodoGenre, 2);
    EXPECT_EQ(back.extraNumber, 7);
    EXPECT_EQ(back.extraText, "付記");
    EXPECT_EQ(WriteScheduleFile(back).bytes, first);
}

// Records with every flag, odd numbers and texts full of the codec's special sequences.
CAlmxData RandomRecord(std::mt19937& random) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    static const char* const kPieces[] = {"a",   "Z",  "\"", ",",  "\r", "\n", "\r\n",     "\",",
                                          ",\"", "あ", "ｱ",  "～", " ",  "表", "\x01\x02", "0"};
    auto text = [&] {
        std::string out;
        for (int n = pick(0, 12); n > 0; --n) out += kPieces[pick(0, 15)];
        return out;
    };
    CAlmxData r;
    r.start = DateTime::FromDays(pick(-700000, 2900000) + pick(0, 86399) / 86400.0);
    r.end = DateTime::FromDays(pick(-700000, 2900000) + pick(0, 86399) / 86400.0);
    r.flags = static_cast<std::uint8_t>(pick(0, 127));
    r.title = text();
    r.place = text();
    r.linkFile = text();
    r.memo = text();
    r.todoImportance = static_cast<std::uint16_t>(pick(0, 65535));
    r.colour = static_cast<std::uint32_t>(pick(0, 0x7FFFFFFF));
    r.alarmMinutes = pick(-5, 100000);
    r.todoLeadDays = pick(-2, 999);
    r.genre = pick(-3, 2000000000);
    r.timeDisplay = pick(0, 3);
    r.textStyle = pick(0, 3);
    r.alarmMode = pick(-1, 7);
    r.repeatType = pick(0, 6);
    r.repeatFirstDay = pick(-1, 31);
    r.repeatLastDay = pick(-1, 31);
    r.repeatInterval = pick(0, 99);
    r.positionMode = pick(0, 1);
    for (auto& w : r.validWeeks) w = static_cast<std::uint8_t>(pick(0, 1));
    for (auto& w : r.validWeekdays) w = static_cast<std::uint8_t>(pick(0, 1));
    for (auto& m : r.validMonths) m = static_cast<std::uint8_t>(pick(0, 1));
    r.shiftRule = pick(0, 30);
    for (int n = pick(0, 3); n > 0; --n) {
        const DateTime first = DateTime::FromDate(pick(1583, 9998), pick(1, 12), pick(1, 28));
        r.exceptions.push_back(CDaySpan::FromDates(first, first.PlusDays(pick(0, 3))));
    }
    return r;
}

// The record line is built straight into the file buffer: it must be exactly what the CSV
// codec joins from the same 26 cells, and carry the file's line end.
TEST(ScheduleFile, RecordLinesAreTheCodecsJoinOfTheirCells) {
    std::mt19937 random(11);
    RecordList records = RichDocument().records;
    for (int i = 0; i < 3000; ++i) records.push_back(RandomRecord(random));
    for (const CAlmxData& r : records) {
        const std::string line = RecordLine(r);
        const TCard cells = RecordCard(r);
        ASSERT_EQ(cells.Count(), kRecordCells) << line;
        ASSERT_EQ(cells.ToCsvLine(), line) << r.title;
        std::string written;
        AppendRecordLine(r, written, "\r\n");
        ASSERT_EQ(written, line.substr(0, line.size() - 1) + "\r\n");
    }
}

TEST(ScheduleFile, RowsAreCutOrPaddedToTheHeaderWidth) {
    // A 25-cell header: lines of the older layout without the memo cell.
    std::string header25 = std::string(kHeaderLine);
    const std::string memoCell = ",\"メモ\"";
    header25.erase(header25.rfind(memoCell), memoCell.size());
    std::string file = header25 +
                       "\"0\",\"2008/01/05\",\"00:00\",\"2008/01/05\",\"00:00\",\"古い\",\"0\","
                       "\"0\",\"0\",\"0\",\"000000\",\"\",\"0\",\"10\",\"0\",\"0\",\"0\",\"1\","
                       "\"1\",\"1\",\"0\",\"\",\"0\",\"\",\"場所\",\"捨てられるメモ\"\n";
    CAlmxArray doc = ReadAll(SjisFile(file));
    ASSERT_EQ(doc.records.size(), 1u);
    EXPECT_EQ(doc.records[0].alarmMode, 1);
    EXPECT_EQ(doc.records[0].memo, "");
    EXPECT_EQ(doc.records[0].place, "場所");

    // A short row in the current layout reads its missing cells as empty.
    CAlmxArray shortRow = ReadAll(SjisFile(std::string(kHeaderLine) + "\"6\",\"題\"\n"));
    ASSERT_EQ(shortRow.memoPages.size(), 1u);
    EXPECT_EQ(shortRow.memoPages[0].title, "題");
    EXPECT_EQ(shortRow.memoPages[0].text, "");
}

TEST(ScheduleFile, LayoutsAreToldApartByTheHeader) {
    ScheduleFileScan scan;
    ReadAll(SjisFile("\"年\",\"月\",\"日\"\n\"2008\",\"1\",\"5\"\n"), &scan);
    EXPECT_EQ(scan.layout, ScheduleLayout::Oldest);
    std::string nineteen = "\"区分\"";
    for (int i = 1; i < 19; ++i) nineteen += ",\"c\"";
    ReadAll(SjisFile(nineteen + "\n"), &scan);
    EXPECT_EQ(scan.layout, ScheduleLayout::NineteenCells);
    ReadAll(SjisFile("\"Subject\",\"Start Date\"\n"), &scan);
    EXPECT_EQ(scan.layout, ScheduleLayout::Foreign);
    ReadAll("", &scan);
    EXPECT_EQ(scan.layout, ScheduleLayout::Foreign);
    // The header in UTF-8 is no header of ours.
    ReadAll(std::string(kHeaderLine), &scan);
    EXPECT_EQ(scan.layout, ScheduleLayout::Foreign);
}

TEST(ScheduleFile, ACutInsideAQuotedCellIsNoticedAndEarlierRowsKept) {
    CAlmxArray doc = RichDocument();
    std::string bytes = WriteScheduleFile(doc).bytes;
    std::string lastTitle = text::ToShiftJis("いつか読む本");
    std::size_t cut = bytes.rfind(lastTitle);
    ASSERT_NE(cut, std::string::npos);
    ScheduleFileScan scan;
    CAlmxArray back = ReadAll(std::string_view(bytes).substr(0, cut + 2), &scan);
    EXPECT_FALSE(scan.complete);
    // The cut row keeps the cells split before the cut, as the card table pads any row.
    ASSERT_EQ(back.records.size(), doc.records.size());
    EXPECT_EQ(back.records.back().title, "");
    EXPECT_EQ(back.records.back().start, doc.records.back().start);
    for (std::size_t i = 0; i + 1 < doc.records.size(); ++i) {
        EXPECT_TRUE(back.records[i] == doc.records[i]) << i;
    }
    EXPECT_EQ(back.genres, doc.genres);

    // A cut in a memo page's text leaves the rows after it unread.
    std::size_t pageCut = bytes.find(text::ToShiftJis("パン"));
    ASSERT_NE(pageCut, std::string::npos);
    back = ReadAll(std::string_view(bytes).substr(0, pageCut), &scan);
    EXPECT_FALSE(scan.complete);
    EXPECT_TRUE(back.records.empty());

    ReadAll(bytes, &scan);
    EXPECT_TRUE(scan.complete);
    // A complete last line without its line end is complete too.
    ReadAll(std::string_view(bytes).substr(0, bytes.size() - 2), &scan);
    EXPECT_TRUE(scan.complete);
}

TEST(ScheduleFile, DayPropertyKeysAreKeptAsWrittenAndColoursReadAsHex) {
    CAlmxArray doc =
        ReadAll(SjisFile(std::string(kHeaderLine) + "\"3\",\"2008/1/5\",\"00ff80\",\"\"\n"
                                                    "\"3\",\"2008/01/05\",\"FFFFFF\",\"a.png\"\n"
                                                    "\"5\",\"隠し\",\"0\",\"0000FF\",\"注\"\n"));
    ASSERT_EQ(doc.dayProperties.size(), 2u);
    EXPECT_EQ(doc.dayProperties["2008/1/5"].colour, 0x00FF80u);
    EXPECT_EQ(doc.dayProperties["2008/01/05"].text, "a.png");
    ASSERT_EQ(doc.genres.Count(), 1u);
    EXPECT_EQ(doc.genres.At(0)->shown, 0);
    EXPECT_EQ(doc.genres.At(0)->note, "注");
}

TEST(ScheduleFile, RejectedRecordLinesAreSkippedAndOtherKindsAreRecords) {
    CAlmxArray doc = ReadAll(SjisFile(
        std::string(kHeaderLine) +
        "\"0\",\"2008/13/45\",\"\",\"\",\"\",\"壊れた日付\"\n"
        "\"7\",\"2008/01/05\",\"00:00\",\"2008/01/05\",\"00:00\",\"種類7\"\n"
        "\n"
        "\"1\",\"\",\"\",\"\",\"\",\"期限なし\",\"0\",\"0\",\"0\",\"0\",\"000000\",\"\",\"0\","
        "\"-1\",\"0\",\"0\",\"1\"\n"));
    ASSERT_EQ(doc.records.size(), 2u);
    EXPECT_EQ(doc.records[0].title, "種類7");
    EXPECT_FALSE(doc.records[0].Has(IsTodo));
    EXPECT_TRUE(doc.records[1].Has(IsTodo));
    EXPECT_TRUE(doc.records[1].Has(TodoNoDeadline));
}

TEST(PasswordScramble, RotatesDigitsAndLettersAndRoundTrips) {
    const std::string plain = "Secret42zZ9-_!";
    std::string stored = ScramblePassword(plain);
    ASSERT_EQ(stored.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
        char p = plain[i];
        char s = stored[i];
        bool digit = p >= '0' && p <= '9';
        bool upper = p >= 'A' && p <= 'Z';
        bool lower = p >= 'a' && p <= 'z';
        if (digit) {
            EXPECT_TRUE(s >= '0' && s <= '9' && s != p) << i;
        } else if (upper) {
            EXPECT_TRUE(s >= 'A' && s <= 'Z' && s != p) << i;
        } else if (lower) {
            EXPECT_TRUE(s >= 'a' && s <= 'z' && s != p) << i;
        } else {
            EXPECT_EQ(s, p) << i;
        }
    }
    EXPECT_EQ(UnscramblePassword(stored), plain);
    // The same character moves by a different amount further on.
    EXPECT_NE(ScramblePassword("aaaaaaaa"), std::string(8, ScramblePassword("a")[0]));
    // Position 8 uses the first amount again.
    EXPECT_EQ(ScramblePassword("aaaaaaaaa")[8], ScramblePassword("a")[0]);
}

TEST(PasswordScramble, DoubleByteCharactersAreKeptWhole) {
    // ア is 0x83 0x41: its trail byte is an 'A' that must not be rotated.
    const std::string plain = "アA1漢z";
    std::string stored = ScramblePassword(plain);
    EXPECT_EQ(stored.substr(0, 3), "ア");
    EXPECT_NE(stored, plain);
    EXPECT_EQ(UnscramblePassword(stored), plain);
}

// A record line as another writer leaves it when a raw line feed falls inside its memo.
std::string BrokenRecordFile(std::string_view memoTail) {
    CAlmxData record;
    record.title = "会議";
    record.start = record.end = DateTime::FromDate(2008, 1, 5);
    record.memo = "一行目";
    std::string line = RecordLine(record);  // ends in the memo's closing quote and "\n"
    line.insert(line.size() - 2, std::string("\n") + std::string(memoTail));
    return SjisFile(std::string(kHeaderLine) + line);
}

TEST(ScheduleFile, AStrayContinuationLineIsNoPasswordAndIsCounted) {
    ScheduleFileScan scan;
    CAlmxArray back = ReadAll(BrokenRecordFile("2,abc"), &scan);
    EXPECT_EQ(back.password, "");
    EXPECT_TRUE(back.records.empty());
    EXPECT_EQ(scan.malformedRows, 2u);  // the open half and the stray half
    EXPECT_TRUE(scan.complete);         // read to its end: nothing was cut

    // Nor document values, genres, day properties or memo pages.
    for (const char* tail :
         {"4,/tmp,,1,0,0,0,x", "5,g,1,0000FF,n", "3,2008/01/05,FFFFFF,p", "6,t,u", "\"2\",\"abc"}) {
        back = ReadAll(BrokenRecordFile(tail), &scan);
        EXPECT_EQ(back.password, "") << tail;
        EXPECT_EQ(back.diaryFolder, "") << tail;
        EXPECT_TRUE(back.genres.Empty()) << tail;
        EXPECT_TRUE(back.dayProperties.empty()) << tail;
        EXPECT_TRUE(back.memoPages.empty()) << tail;
        EXPECT_EQ(scan.malformedRows, 2u) << tail;
    }
}

TEST(ScheduleFile, EachKindNeedsItsOwnShape) {
    const std::string good =
        "\"2\",\"ab\"\n\"3\",\"2008/01/05\",\"FFFFFF\",\"\"\n\"4\",\"/d\",\"\",\"440\",\"0\","
        "\"0\",\"0\",\"\"\n\"5\",\"一般\",\"1\",\"000000\",\"\"\n\"6\",\"t\",\"u\"\n";
    ScheduleFileScan scan;
    CAlmxArray back = ReadAll(SjisFile(std::string(kHeaderLine) + good + "\n"), &scan);
    EXPECT_EQ(scan.malformedRows, 0u);  // an empty line is passed over
    EXPECT_EQ(back.password, UnscramblePassword("ab"));
    EXPECT_EQ(back.dayProperties.size(), 1u);
    EXPECT_EQ(back.diaryFolder, "/d");
    EXPECT_EQ(back.genres.Count(), 1u);
    EXPECT_EQ(back.memoPages.size(), 1u);

    const char* bad[] = {
        "\"2\",\"ab\",\"\"\n",                          // a cell too many
        "\"3\",\"2008/01/05\",\"FFFFFF\",\"\",\"\"\n",  // two cells too many
        "\"5\",\"一般\",1,\"000000\",\"\"\n",           // a cell not quoted
        "\"2x\",\"ab\"\n",                              // a kind with something after it
        "\" 6\",\"t\",\"u\"\n",                         // a kind with something before it
        "\"4\",\"/x\",\"\",\"440\",\"0\",\"0\",\"0\",\"\",\"\"\n",  // a cell too many
    };
    for (const char* row : bad) {
        back = ReadAll(SjisFile(std::string(kHeaderLine) + row), &scan);
        EXPECT_EQ(scan.malformedRows, 1u) << row;
        EXPECT_EQ(back.password, "") << row;
        EXPECT_TRUE(back.dayProperties.empty()) << row;
        EXPECT_TRUE(back.genres.Empty()) << row;
        EXPECT_TRUE(back.memoPages.empty()) << row;
        EXPECT_TRUE(back.records.empty()) << row;
    }
}

class ScheduleFileAt : public testing::DocumentTest {};

// A file of several read blocks, with lines broken by a raw line feed and bytes that are no
// Shift_JIS, reads as the same bytes held whole do.
TEST_F(ScheduleFileAt, ReadsAFileOfManyBlocksAsTheWholeBytes) {
    CAlmxArray doc = RichDocument();
    const std::vector<CAlmxData> originals(doc.records.begin(), doc.records.end());
    for (int copy = 0; doc.records.size() < 8000; ++copy) {
        for (const CAlmxData& record : originals) {
            CAlmxData changed = record;
            changed.title += std::to_string(copy);
            doc.records.push_back(changed);
        }
    }
    std::string bytes = WriteScheduleFile(doc).bytes;
    ASSERT_GT(bytes.size(), 3u * 256 * 1024);
    // A raw line feed inside the date of a record line in the middle.
    const std::size_t middleLine = bytes.find("\r\n\"0\",\"", bytes.size() / 2);
    ASSERT_NE(middleLine, std::string::npos);
    bytes.insert(middleLine + 10, "\n");
    bytes.insert(bytes.size() / 3, "\xFD");
    const std::string path = PathOf("many.alx");
    testing::WriteBytes(path, bytes);

    ScheduleFileScan whole;
    const CAlmxArray expected = ReadAll(bytes, &whole);
    CAlmxArray read;
    RowReadOptions options;
    const ScheduleFileRead fromFile =
        ReadScheduleFileAt(path, [&](const TCard& row) { ReadScheduleRow(row, read, options); });
    EXPECT_EQ(fromFile.status, ReadStatus::Complete);
    EXPECT_EQ(fromFile.scan.rows, whole.rows);
    EXPECT_EQ(fromFile.scan.malformedRows, whole.malformedRows);
    EXPECT_GT(whole.malformedRows, 0u);
    EXPECT_EQ(fromFile.scan.invalidSequences, whole.invalidSequences);
    EXPECT_GT(whole.invalidSequences, 0u);
    EXPECT_EQ(fromFile.scan.complete, whole.complete);
    EXPECT_EQ(fromFile.scan.header.ToCsvLine(), whole.header.ToCsvLine());
    EXPECT_TRUE(read.records == expected.records);
    EXPECT_EQ(read.genres, expected.genres);

    EXPECT_EQ(ReadScheduleFileAt(PathOf("missing.alx"), [](const TCard&) {}).status,
              ReadStatus::CannotOpen);
    EXPECT_EQ(ReadScheduleFileAt(dir.string(), [](const TCard&) {}).status, ReadStatus::CannotOpen);
}

// Open and import read rows straight into the document, record lines from views of the line;
// whatever the bytes, they must give what splitting each row and ReadScheduleRow give.
TEST(ScheduleFile, ReadingIntoTheDocumentGivesWhatTheRowsGive) {
    auto compare = [](const std::string& bytes) {
        ScheduleFileScan rowsScan;
        CAlmxArray byRows;
        std::vector<int> rowKinds;
        RowReadOptions options;
        rowsScan = ScanScheduleFile(bytes, [&](const TCard& row) {
            rowKinds.push_back(ReadScheduleRow(row, byRows, options));
        });
        CAlmxArray direct;
        std::vector<int> directKinds;
        const ScheduleFileScan directScan = ScanScheduleFileInto(
            bytes, direct, options, [&](int kind) { directKinds.push_back(kind); });
        SCOPED_TRACE(::testing::PrintToString(bytes));
        EXPECT_EQ(directScan.rows, rowsScan.rows);
        EXPECT_EQ(directScan.malformedRows, rowsScan.malformedRows);
        EXPECT_EQ(directScan.complete, rowsScan.complete);
        EXPECT_EQ(directScan.invalidSequences, rowsScan.invalidSequences);
        EXPECT_EQ(directScan.layout, rowsScan.layout);
        EXPECT_EQ(directKinds, rowKinds);
        EXPECT_TRUE(direct.records == byRows.records);
        EXPECT_EQ(direct.password, byRows.password);
        EXPECT_EQ(WriteScheduleFile(direct).bytes, WriteScheduleFile(byRows).bytes);
        return directScan.rows;
    };

    const std::string header = kHeaderLine;
    const std::string rich = WriteScheduleFile(RichDocument()).bytes;
    std::vector<std::string> files = {
        rich,
        rich.substr(0, rich.size() - 7),  // cut inside the last record line
        BrokenRecordFile("2,abc"),
        BrokenRecordFile("\"2\",\"abc"),
        // Kinds by their first cell: exact, padded, followed, unquoted, out of range, empty.
        SjisFile(header +
                 "\"2\",\"ab\"\n\" 3\",\"x\"\n\"2x\",\"ab\"\n6,\"t\",\"u\"\n\"7\",\"2008/01/05\","
                 "\"00:00\",\"2008/01/05\",\"00:00\",\"種類7\"\n\"\",\"2008/01/05\"\n"
                 "\"-1\",\"2008/01/05\",\"\",\"2008/01/06\"\n\"12\",\"2008/01/05\",\"10:00\","
                 "\"2008/01/05\",\"11:00\",\"t\"\n\n\"0\",\"2008/13/45\"\n"),
        // Escape pairs in number and date cells, CR in texts, a 25-cell header.
        SjisFile(header + "\"0\",\"2008/01/05\x01\x02\",\"10:00\",\"2008/01/05\",\"11:00\","
                          "\"a\x03\x04b\rc\",\"1\x01\x02\",\"1\",\"0\",\"0\",\"FF\x04\x03\","
                          "\"\",\"0\",\"\x01\x02"
                          "10\",\"2\",\"33\",\"3\",\"1\",\"31\",\"1\","
                          "\"1W\x01\x02\",\"1\",\"14\",\"2008/02/01\x04\x03\",\"\x01\x02\","
                          "\"m\r\x01\x02\"\n"),
        SjisFile(header.substr(0, header.rfind(",\"")) +
                 "\n\"0\",\"2008/01/05\",\"\",\"2008/01/05\","
                 "\"\",\"t\",\"0\",\"0\",\"0\",\"0\",\"0\",\"\",\"0\",\"10\"\n"),
    };
    std::size_t rows = 0;
    for (const std::string& file : files) rows += compare(file);
    EXPECT_GT(rows, 20u);

    // Lines of the rich document with bytes changed to those the splitter and the parser
    // decide on.
    const char kBytes[] = {'"', ',', '\n', '\r', '\x01', '\x02', '\x03', '\x04',
                           '2', '-', ' ',  'x',  '\x82', '\xA0', '0',    '/'};
    std::mt19937 random(17);
    const std::size_t body = rich.find('\n') + 1;
    for (int round = 0; round < 1500; ++round) {
        std::string bytes = rich;
        for (int n = std::uniform_int_distribution<int>(1, 4)(random); n > 0; --n) {
            const std::size_t at =
                std::uniform_int_distribution<std::size_t>(body, bytes.size() - 1)(random);
            bytes[at] =
                kBytes[std::uniform_int_distribution<std::size_t>(0, sizeof kBytes - 1)(random)];
        }
        compare(bytes);
        if (::testing::Test::HasFailure()) break;
    }
}

}  // namespace
}  // namespace almx
