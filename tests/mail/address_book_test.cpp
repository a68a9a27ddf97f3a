#include "mail/address_book.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "base/prompter.h"
#include "mail/mail_settings.h"
#include "mail/mail_temp_dir.h"
#include "text/encoding.h"

namespace almx {
namespace {

using testing::MailTempDir;

const char* const kHeaderLine =
    "\"氏名\",\"メールアドレス\",\"郵便番号\",\"住所\",\"電話番号\",\"メモ\",\"カテゴリ\"\r\n";

std::string U16(unsigned v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

std::string ArchiveText(const std::string& sjis) {
    if (sjis.size() < 255) return std::string(1, static_cast<char>(sjis.size())) + sjis;
    return "\xFF" + U16(static_cast<unsigned>(sjis.size())) + sjis;
}

// The older book as the framework's archive writes it.
std::string LegacyBytes(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string out = U16(static_cast<unsigned>(entries.size()));
    bool first = true;
    for (const auto& [name, address] : entries) {
        out += first ? U16(0xFFFF) + U16(1) + U16(8) + "CAddress" : U16(0x8001);
        first = false;
        out += U16(100);
        out += ArchiveText(text::ToShiftJis(name)) + ArchiveText(text::ToShiftJis(address));
    }
    return out;
}

TEST(AddressBook, FindIsExactAndTakesTheFirst) {
    AddressBook book;
    book.LoadCsvBytes(text::ToShiftJis(std::string(kHeaderLine) + "\"山田\",\"a@example.jp\"\r\n"
                                                                  "\"yamada\",\"b@example.jp\"\r\n"
                                                                  "\"山田\",\"c@example.jp\"\r\n"
                                                                  "\"\",\"d@example.jp\"\r\n"));
    ASSERT_EQ(book.Size(), 4u);
    EXPECT_EQ(book.Find("山田"), 0u);
    EXPECT_EQ(book.Find("yamada"), 1u);
    EXPECT_EQ(book.Find("YAMADA"), std::nullopt);
    EXPECT_EQ(book.Find("山田 "), std::nullopt);
    EXPECT_EQ(book.Find(""), std::nullopt);  // never the entry without a name
    EXPECT_EQ(book.Find("山田,yamada"), std::nullopt);
}

TEST(AddressBook, ReadsAUtf8Csv) {
    AddressBook book;
    book.LoadCsvBytes(std::string("\xEF\xBB\xBF") + kHeaderLine + "\"鈴木\",\"s@example.jp\"\r\n");
    EXPECT_EQ(book.Find("鈴木"), 0u);
    EXPECT_EQ(book.Addresses(0), "s@example.jp");
}

TEST(AddressBook, ExpandsTheLinesOfTheCell) {
    AddressBook book;
    // The cell's line breaks are the codec's escape pair, as the files hold them.
    book.LoadCsvBytes(text::ToShiftJis(std::string(kHeaderLine) +
                                       "\"班\",\"a@x.jp\x01\x02\x01\x02 b@x.jp \x01\x02\"\r\n"
                                       "\"空\",\"\"\r\n"));
    ScriptedPrompter prompter;
    std::vector<std::string> list{"first@x.jp"};
    EXPECT_EQ(book.Expand(0, list, prompter), 2u);
    EXPECT_EQ(list, (std::vector<std::string>{"first@x.jp", "a@x.jp", "b@x.jp"}));
    EXPECT_EQ(book.Expand(1, list, prompter), 0u);
    EXPECT_EQ(book.Expand(9, list, prompter), 0u);
    EXPECT_TRUE(prompter.Shown().empty());
}

TEST(AddressBook, ExpandsAnAddressFile) {
    MailTempDir dir;
    const std::string longLine = std::string(300, 'l') + "@x.jp";
    dir.Write("sjis.txt", text::ToShiftJis("a@x.jp\r\n\r\n" + longLine + "\r\n# 名前\n"));
    dir.Write("utf8.txt", "b@x.jp\nc@x.jp");
    dir.Write("big.txt", std::string(mail_limits::kMaxTextFile + 10, 'a'));
    std::filesystem::create_directory(dir.File("folder"));
    AddressBook book;
    book.LoadCsvBytes(std::string(kHeaderLine) + "\"s\",\"" + dir.File("sjis.txt") +
                      "\x01\x02\"\r\n"
                      "\"u\",\"" +
                      dir.File("utf8.txt") +
                      "\"\r\n"
                      "\"big\",\"" +
                      dir.File("big.txt") +
                      "\"\r\n"
                      "\"gone\",\"" +
                      dir.File("gone.txt") +
                      "\"\r\n"
                      "\"dir\",\"" +
                      dir.File("folder") +
                      "\"\r\n"
                      "\"win\",\"C:\\book\\list.txt\"\r\n"
                      "\"share\",\"\\\\\"\r\n");
    ScriptedPrompter prompter;
    std::vector<std::string> list;
    EXPECT_EQ(book.Expand(0, list, prompter), 3u);
    EXPECT_EQ(list, (std::vector<std::string>{"a@x.jp", longLine, "# 名前"}));
    list.clear();
    EXPECT_EQ(book.Expand(1, list, prompter), 2u);
    EXPECT_TRUE(prompter.Shown().empty());

    list.clear();
    for (std::size_t i = 2; i <= 5; ++i) EXPECT_EQ(book.Expand(i, list, prompter), 0u);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(prompter.Shown(),
              (std::vector<std::string>{
                  "アドレスファイルが大きすぎます（1MBまで） - " + dir.File("big.txt"),
                  "アドレスファイルがみつかりません - " + dir.File("gone.txt"),
                  "アドレスファイルがみつかりません - " + dir.File("folder"),
                  "アドレスファイルがみつかりません - C:\\book\\list.txt"}));
    // A cell ending in a backslash is an address list, not a file.
    EXPECT_EQ(book.Expand(6, list, prompter), 1u);
}

TEST(AddressBook, FileCellRules) {
    EXPECT_TRUE(NamesAddressFile("/home/u/list.txt"));
    EXPECT_TRUE(NamesAddressFile("~/list.txt\r\n"));
    EXPECT_TRUE(NamesAddressFile("C:\\list.txt"));
    EXPECT_FALSE(NamesAddressFile("C:\\folder\\"));
    EXPECT_FALSE(NamesAddressFile("a@x.jp"));
    EXPECT_FALSE(NamesAddressFile("/a.txt\nb@x.jp"));
    EXPECT_FALSE(NamesAddressFile(""));
}

TEST(AddressBook, CsvPathFromTheSetting) {
    EXPECT_EQ(AddressBook::CsvPath("", "/c"), "/c/qpostadr.csv");
    EXPECT_EQ(AddressBook::CsvPath("C:\\Program Files\\qpostadr.csv", "/c"), "/c/qpostadr.csv");
    EXPECT_EQ(AddressBook::CsvPath("/data/book.csv", "/c"), "/data/book.csv");
    EXPECT_EQ(AddressBook::CsvPath("book.csv", "/c"), "/c/book.csv");
    const char* home = std::getenv("HOME");
    EXPECT_EQ(AddressBook::CsvPath("~/b.csv", "/c"), std::string(home ? home : "") + "/b.csv");
}

TEST(LegacyAddressBook, ReadsEveryEntry) {
    const std::string longName(300, 'n');
    const LegacyAddressRead read = ReadLegacyAddressBook(
        LegacyBytes({{"山田", "a@x.jp"}, {longName, "b@x.jp\r\nc@x.jp"}, {"", ""}}));
    EXPECT_TRUE(read.complete);
    ASSERT_EQ(read.entries.size(), 3u);
    EXPECT_EQ(read.entries[0].name, "山田");
    EXPECT_EQ(read.entries[1].name, longName);
    EXPECT_EQ(read.entries[1].address, "b@x.jp\r\nc@x.jp");
    EXPECT_EQ(read.entries[2].address, "");
}

TEST(LegacyAddressBook, EveryCutAndLieIsCaught) {
    const std::string good = LegacyBytes({{"山田", "a@x.jp"}, {std::string(300, 'n'), "b"}});
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        const LegacyAddressRead read = ReadLegacyAddressBook(good.substr(0, cut));
        EXPECT_FALSE(read.complete) << cut;
        EXPECT_LE(read.entries.size(), 1u) << cut;
    }
    // A count far beyond the bytes, a 32-bit length beyond them, a wrong class, UTF-16 texts.
    EXPECT_FALSE(ReadLegacyAddressBook(U16(0xFFFF) + "\xFF\xFF\xFF\x7F").complete);
    std::string hugeText = U16(1) + U16(0xFFFF) + U16(1) + U16(8) + "CAddress" + U16(100) + "\xFF" +
                           U16(0xFFFF) + "\xFF\xFF\xFF\xFF" + "ab";
    EXPECT_FALSE(ReadLegacyAddressBook(hugeText).complete);
    std::string otherClass = good;
    otherClass[9] = 'X';
    EXPECT_FALSE(ReadLegacyAddressBook(otherClass).complete);
    std::string unicode = U16(1) + U16(0xFFFF) + U16(1) + U16(8) + "CAddress" + U16(100) + "\xFF" +
                          U16(0xFFFE) + "\x02" + "a\0b\0";
    EXPECT_FALSE(ReadLegacyAddressBook(unicode).complete);
}

TEST(AddressBook, ConvertsTheOlderBookOnlyWhenNoCsvExists) {
    MailTempDir dir;
    const std::string csv = dir.File("qpostadr.csv");
    const std::string dat = dir.File("qpostadr.dat");
    dir.Write("qpostadr.dat", LegacyBytes({{"山田", "a@x.jp"}}));

    AddressBook book;
    EXPECT_EQ(book.Load(csv, dat), AddressBookSource::Converted);
    ASSERT_EQ(book.Find("山田"), 0u);
    const std::string written = dir.Read("qpostadr.csv");
    EXPECT_EQ(written, text::ToShiftJis(std::string(kHeaderLine) +
                                        "\"山田\",\"a@x.jp\",\"\",\"\",\"\",\"\",\"\"\r\n"));

    // The mail settings' folder holds both unless "AdrCategory"/"System" names another CSV.
    dir.Write(MailSettings::kFileName, "[AdrCategory]\r\nSystem=other.csv\r\n");
    MailSettings mail(dir.Path());
    mail.Reload();
    AddressBook viaSettings;
    EXPECT_EQ(viaSettings.Load(mail), AddressBookSource::Converted);
    EXPECT_EQ(viaSettings.Find("山田"), 0u);
    EXPECT_TRUE(std::filesystem::exists(dir.File("other.csv")));

    // Now the CSV is the book: the .dat is not read again.
    dir.Write("qpostadr.dat", LegacyBytes({{"別人", "z@x.jp"}}));
    AddressBook again;
    EXPECT_EQ(again.Load(csv, dat), AddressBookSource::Csv);
    EXPECT_EQ(again.Find("別人"), std::nullopt);
    EXPECT_EQ(again.Find("山田"), 0u);
}

TEST(AddressBook, NeverReplacesAnUnreadableCsvNorWritesADamagedConversion) {
    MailTempDir dir;
    std::filesystem::create_directory(dir.File("qpostadr.csv"));  // there, but no file to read
    dir.Write("qpostadr.dat", LegacyBytes({{"山田", "a@x.jp"}}));
    AddressBook book;
    EXPECT_EQ(book.Load(dir.File("qpostadr.csv"), dir.File("qpostadr.dat")),
              AddressBookSource::CsvUnreadable);
    EXPECT_EQ(book.Size(), 0u);
    EXPECT_EQ(book.Table().ColumnCount(), 7);

    const std::string damaged = LegacyBytes({{"山田", "a@x.jp"}, {"鈴木", "b@x.jp"}});
    dir.Write("old.dat", damaged.substr(0, damaged.size() - 2));
    EXPECT_EQ(book.Load(dir.File("new.csv"), dir.File("old.dat")), AddressBookSource::LegacyOnly);
    EXPECT_EQ(book.Find("山田"), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir.File("new.csv")));

    dir.Write("empty.dat", "");
    EXPECT_EQ(book.Load(dir.File("new.csv"), dir.File("empty.dat")), AddressBookSource::Empty);
    EXPECT_EQ(book.Size(), 0u);
}

}  // namespace
}  // namespace almx
