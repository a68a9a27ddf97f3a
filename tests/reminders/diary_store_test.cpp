#include "reminders/diary_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/prompter.h"
#include "core/text_entry_check.h"
#include "links/file_launcher.h"

namespace fs = std::filesystem;

namespace almx {
namespace {

class RecordingTrash : public FileTrash {
  public:
    bool MoveToTrash(const std::string& path) override {
        trashed.push_back(path);
        if (refuse) return false;
        std::error_code error;
        return fs::remove(path, error);
    }
    std::vector<std::string> trashed;
    bool refuse = false;
};

class RecordingLauncher : public FileLauncher {
  public:
    int Open(const std::string& target, const std::string&) override {
        opened.push_back(target);
        return launch::kSuccess;
    }
    std::vector<std::string> opened;
};

class HalfWriter : public FileWriter {
  public:
    bool Write(int fd, std::string_view bytes) override {
        FileWriter::Write(fd, bytes.substr(0, bytes.size() / 2));
        return false;
    }
};

class DiaryStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/almx-diary-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        folder_ = root_ + "/diary";
        store_.SetDefaultFolder(root_ + "/default");
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(root_, error);
    }
    std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }
    void Write(const std::string& name, std::string_view bytes) {
        fs::create_directories(folder_);
        std::ofstream(folder_ + "/" + name, std::ios::binary) << bytes;
    }
    std::vector<std::string> Files() {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& e : fs::directory_iterator(folder_, error))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string root_, folder_;
    ScriptedPrompter prompter_;
    RecordingTrash trash_;
    RecordingLauncher launcher_;
    DiaryStore store_{prompter_, &trash_, &launcher_};
    const DateTime jan5_ = DateTime::FromDate(2024, 1, 5);
};

TEST(DiaryNames, ParseNameTakesOnlyRealDatesAndTheScanListsTheLooseOnes) {
    EXPECT_EQ(DiaryStore::ParseName("20240105.TXT"), DateTime::FromDate(2024, 1, 5));
    EXPECT_EQ(DiaryStore::ParseName("20240105.txt"), DateTime::FromDate(2024, 1, 5));
    EXPECT_EQ(DiaryStore::ParseName("15830101"), DateTime::FromDate(1583, 1, 1));
    EXPECT_EQ(DiaryStore::ParseName("99981231.TXT"), DateTime::FromDate(9998, 12, 31));
    for (const char* bad : {"20240230.TXT", "2024015.TXT", "diary.txt", "15821231.TXT",
                            "99990101.TXT", "20241301.TXT", "20240100.TXT", "2024a105.TXT",
                            "2024 105.TXT", "", ".TXT", "202401051.TXT"})
        EXPECT_FALSE(DiaryStore::ParseName(bad)) << bad;

    EXPECT_TRUE(DiaryStore::IsIndexName("20240230.TXT"));  // listed, but no date
    EXPECT_TRUE(DiaryStore::IsIndexName("20240105.tXt"));
    EXPECT_FALSE(DiaryStore::IsIndexName("20240105.doc"));
    EXPECT_FALSE(DiaryStore::IsIndexName("2024015.TXT"));
    EXPECT_FALSE(DiaryStore::IsIndexName("20240132.TXT"));
}

TEST(DiaryNames, FileNameAndTheDateLineOfANewDay) {
    EXPECT_EQ(DiaryStore::FileName(DateTime::FromDate(2024, 1, 5)), "20240105.TXT");
    EXPECT_EQ(DiaryStore::FileName(DateTime::FromDate(1583, 12, 31)), "15831231.TXT");
    // 2024-01-05 is a Friday; a space before the line end, then an empty line.
    EXPECT_EQ(DiaryStore::DefaultText(DateTime::FromDate(2024, 1, 5)), "1月 5日(金) \n\n");
    EXPECT_EQ(DiaryStore::DefaultText(DateTime::FromDate(2024, 12, 29)), "12月 29日(日) \n\n");
}

TEST_F(DiaryStoreTest, ASavedDayIsShiftJisWithCrLfAndNothingElse) {
    store_.SetFolder(folder_);
    DiaryDay day = store_.Load(jan5_);
    EXPECT_FALSE(day.fromFile);
    EXPECT_EQ(day.text, "1月 5日(金) \n\n");
    EXPECT_FALSE(fs::exists(folder_)) << "reading a day never creates the folder";
    EXPECT_FALSE(store_.HasDiary(jan5_));

    EXPECT_EQ(store_.Save(jan5_, "1月 5日(金) \n\n晴れ。", day), DiarySave::Saved);
    EXPECT_EQ(Read(folder_ + "/20240105.TXT"),
              "1\x8c\x8e 5\x93\xfa(\x8b\xe0) \r\n\r\n\x90\xb0\x82\xea\x81\x42");
    EXPECT_TRUE(store_.HasDiary(jan5_));
    EXPECT_EQ(store_.Index(), std::vector<std::string>{"20240105.TXT"});

    struct stat st {};
    ASSERT_EQ(::stat(folder_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat((folder_ + "/20240105.TXT").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    const DiaryDay back = store_.Load(jan5_);
    EXPECT_TRUE(back.fromFile);
    EXPECT_FALSE(back.readOnly);
    EXPECT_EQ(back.text, "1月 5日(金) \n\n晴れ。");
    EXPECT_TRUE(prompter_.Shown().empty());
}

TEST_F(DiaryStoreTest, AnEmptyTextSendsTheFileToTheTrashAndAFailedTrashKeepsIt) {
    store_.SetFolder(folder_);
    DiaryDay day = store_.Load(jan5_);
    ASSERT_EQ(store_.Save(jan5_, "text", day), DiarySave::Saved);

    trash_.refuse = true;
    EXPECT_EQ(store_.Save(jan5_, "", day), DiarySave::Failed);
    EXPECT_TRUE(prompter_.Saw(diary_msg::kTrashFailed));
    EXPECT_TRUE(fs::exists(folder_ + "/20240105.TXT"));
    EXPECT_TRUE(store_.HasDiary(jan5_));

    trash_.refuse = false;
    EXPECT_EQ(store_.Save(jan5_, "", day), DiarySave::Removed);
    EXPECT_EQ(trash_.trashed.back(), folder_ + "/20240105.TXT");
    EXPECT_FALSE(fs::exists(folder_ + "/20240105.TXT"));
    EXPECT_FALSE(store_.HasDiary(jan5_));

    // A day that never had a file: nothing to trash, no error.
    DiaryDay other = store_.Load(jan5_.PlusDays(1));
    EXPECT_EQ(store_.Save(jan5_.PlusDays(1), "", other), DiarySave::Removed);
    EXPECT_EQ(trash_.trashed.size(), 2u);
}

TEST_F(DiaryStoreTest, ALowerCaseNameIsLoadedSavedAndRemovedAsItself) {
    Write("20240105.txt", "old\r\n");
    Write("20240106.TxT", "x");
    Write("20240230.TXT", "no such day");
    Write("2024015.TXT", "short");
    Write("diary.txt", "other");
    Write("20240107.TXT.bak", "backup");
    store_.SetFolder(folder_);
    EXPECT_EQ(store_.Index(),
              (std::vector<std::string>{"20240105.txt", "20240106.TxT", "20240230.TXT"}));
    EXPECT_TRUE(store_.HasDiary(jan5_));
    EXPECT_TRUE(store_.HasDiary(DateTime::FromDate(2024, 1, 6)));
    EXPECT_FALSE(store_.HasDiary(DateTime::FromDate(2024, 3, 1)));

    EXPECT_EQ(store_.GetPath(jan5_), folder_ + "/20240105.txt");
    DiaryDay day = store_.Load(jan5_);
    EXPECT_EQ(day.text, "old\n");
    ASSERT_EQ(store_.Save(jan5_, "new\n", day), DiarySave::Saved);
    EXPECT_EQ(Read(folder_ + "/20240105.txt"), "new\r\n");
    EXPECT_FALSE(fs::exists(folder_ + "/20240105.TXT")) << "never doubled";

    prompter_.Then(Answer::Yes);
    EXPECT_TRUE(store_.Remove(jan5_));
    EXPECT_EQ(trash_.trashed, std::vector<std::string>{folder_ + "/20240105.txt"});
    EXPECT_FALSE(store_.HasDiary(jan5_));
    EXPECT_EQ(store_.Index(), (std::vector<std::string>{"20240106.TxT", "20240230.TXT"}));

    prompter_.Then(Answer::No);
    EXPECT_FALSE(store_.Remove(DateTime::FromDate(2024, 1, 6)));
    EXPECT_TRUE(fs::exists(folder_ + "/20240106.TxT"));
    EXPECT_TRUE(prompter_.Saw(diary_msg::kAskRemove));
}

TEST_F(DiaryStoreTest, AWriteFailingPartWayLeavesTheOldDayWholeAndSaysSo) {
    Write("20240105.TXT", "old day\r\n");
    store_.SetFolder(folder_);
    DiaryDay day = store_.Load(jan5_);
    HalfWriter half;
    store_.SetFileWriter(&half);
    EXPECT_EQ(store_.Save(jan5_, "a much longer new text\n", day), DiarySave::Failed);
    EXPECT_EQ(Read(folder_ + "/20240105.TXT"), "old day\r\n");
    EXPECT_EQ(Files(), std::vector<std::string>{"20240105.TXT"}) << "no temporary left";
    EXPECT_TRUE(prompter_.Saw(diary_msg::kSaveFailed));
    // The day keeps its state, so the text can be saved once writing works again.
    EXPECT_EQ(day.text, "old day\n");
    store_.SetFileWriter(nullptr);
    EXPECT_EQ(store_.Save(jan5_, "a much longer new text\n", day), DiarySave::Saved);
    EXPECT_EQ(Read(folder_ + "/20240105.TXT"), "a much longer new text\r\n");
}

TEST_F(DiaryStoreTest, AFolderThatCannotBeCreatedWritesNothingAnywhere) {
    fs::create_directories(root_);
    std::ofstream(root_ + "/plainfile") << "x";
    store_.SetFolder(root_ + "/plainfile/diary");
    DiaryDay day = store_.Load(jan5_);
    const fs::path cwdFile = fs::current_path() / "20240105.TXT";
    EXPECT_EQ(store_.Save(jan5_, "text", day), DiarySave::Failed);
    EXPECT_TRUE(prompter_.Saw(diary_msg::kFolderNotCreated));
    EXPECT_FALSE(fs::exists(cwdFile));
    EXPECT_FALSE(store_.OpenInEditor(jan5_));
    EXPECT_TRUE(launcher_.opened.empty());
    EXPECT_FALSE(fs::exists(cwdFile));
}

TEST_F(DiaryStoreTest, Utf8AndUtf16FilesComeBackInTheirOwnForm) {
    Write("20240105.TXT", "日本語のメモ\nsecond ①\n");  // UTF-8 from a Linux editor, LF
    Write("20240106.TXT", std::string("\xFF\xFE"
                                      "A\0\x0d\0\x0a\0\xE5\x65",
                                      10));  // "A\r\n日"
    store_.SetFolder(folder_);

    DiaryDay utf8 = store_.Load(jan5_);
    EXPECT_EQ(utf8.encoding, DiaryEncoding::Utf8);
    EXPECT_FALSE(utf8.readOnly);
    EXPECT_EQ(utf8.text, "日本語のメモ\nsecond ①\n");
    ASSERT_EQ(store_.Save(jan5_, utf8.text + "追記\n", utf8), DiarySave::Saved);
    EXPECT_EQ(Read(folder_ + "/20240105.TXT"), "日本語のメモ\nsecond ①\n追記\n");

    const DateTime jan6 = DateTime::FromDate(2024, 1, 6);
    DiaryDay utf16 = store_.Load(jan6);
    EXPECT_EQ(utf16.encoding, DiaryEncoding::Utf16LE);
    EXPECT_FALSE(utf16.readOnly);
    EXPECT_EQ(utf16.text, "A\n日");
    ASSERT_EQ(store_.Save(jan6, "A\n日😀", utf16), DiarySave::Saved);
    EXPECT_EQ(Read(folder_ + "/20240106.TXT"),
              std::string("\xFF\xFE"
                          "A\0\x0d\0\x0a\0\xE5\x65\x3d\xd8\x00\xde",
                          14));
    EXPECT_TRUE(prompter_.Shown().empty());
}

TEST_F(DiaryStoreTest, NulOrUndecodableBytesMakeTheDayReadOnly) {
    Write("20240105.TXT", std::string("before\0after", 12));
    Write("20240106.TXT", "ok \x82");  // a lead byte without its trail
    store_.SetFolder(folder_);
    for (const DateTime& date : {jan5_, DateTime::FromDate(2024, 1, 6)}) {
        const std::string before = Read(store_.GetPath(date));
        DiaryDay day = store_.Load(date);
        EXPECT_TRUE(day.readOnly);
        EXPECT_EQ(store_.Save(date, "replaced", day), DiarySave::Refused);
        EXPECT_EQ(Read(store_.GetPath(date)), before);
    }
    EXPECT_EQ(prompter_.Shown(),
              (std::vector<std::string>{diary_msg::kUnreadable, diary_msg::kUnreadable}));
}

TEST_F(DiaryStoreTest, TextShiftJisCannotHoldIsRefusedBeforeWriting) {
    store_.SetFolder(folder_);
    DiaryDay day = store_.Load(jan5_);
    EXPECT_EQ(store_.Save(jan5_, "emoji 😀", day), DiarySave::Refused);
    EXPECT_EQ(prompter_.Shown(), std::vector<std::string>{UnrepresentableMessage("日記", "😀")});
    EXPECT_FALSE(fs::exists(folder_ + "/20240105.TXT"));
}

TEST_F(DiaryStoreTest, AFileChangedOnDiskIsOverwrittenOnlyWhenTheUserSaysSo) {
    Write("20240105.TXT", "first\r\n");
    store_.SetFolder(folder_);
    DiaryDay day = store_.Load(jan5_);
    EXPECT_FALSE(store_.ChangedOnDisk(day));
    Write("20240105.TXT", "changed elsewhere, longer\r\n");
    EXPECT_TRUE(store_.ChangedOnDisk(day));

    prompter_.Then(Answer::No);
    EXPECT_EQ(store_.Save(jan5_, "mine\n", day), DiarySave::Refused);
    EXPECT_EQ(Read(folder_ + "/20240105.TXT"), "changed elsewhere, longer\r\n");
    EXPECT_TRUE(prompter_.Saw(diary_msg::kChangedOnDisk));

    prompter_.Then(Answer::Yes);
    EXPECT_EQ(store_.Save(jan5_, "mine\n", day), DiarySave::Saved);
    EXPECT_EQ(Read(folder_ + "/20240105.TXT"), "mine\r\n");
    EXPECT_FALSE(store_.ChangedOnDisk(day));

    // A new day whose file appeared after it was opened.
    const DateTime jan7 = DateTime::FromDate(2024, 1, 7);
    DiaryDay fresh = store_.Load(jan7);
    Write("20240107.txt", "from another program");
    EXPECT_TRUE(store_.ChangedOnDisk(fresh));
    prompter_.Then(Answer::No);
    EXPECT_EQ(store_.Save(jan7, "typed here", fresh), DiarySave::Refused);
    EXPECT_EQ(Read(folder_ + "/20240107.txt"), "from another program");
}

TEST_F(DiaryStoreTest, FolderRules) {
    // Empty: the default folder, and scanning never creates it.
    store_.SetFolder("");
    EXPECT_EQ(store_.FolderInUse(), root_ + "/default");
    EXPECT_FALSE(fs::exists(root_ + "/default"));

    // Relative to the schedule file's folder.
    store_.SetDocumentPath(root_ + "/docs/plan.alx");
    store_.SetFolder("nikki/");
    EXPECT_EQ(store_.FolderInUse(), root_ + "/docs/nikki");

    const char* home = std::getenv("HOME");
    store_.SetFolder("~/nikki");
    EXPECT_EQ(store_.FolderInUse(), std::string(home ? home : "") + "/nikki");

    // Windows form: kept as stored, told once, the default used, nothing created.
    store_.SetFolder("D:\\diary\\2024");
    EXPECT_EQ(store_.Folder(), "D:\\diary\\2024");
    EXPECT_EQ(store_.FolderInUse(), root_ + "/default");
    DiaryDay day = store_.Load(jan5_);
    ASSERT_EQ(store_.Save(jan5_, "x", day), DiarySave::Saved);
    EXPECT_TRUE(fs::exists(root_ + "/default/20240105.TXT"));
    EXPECT_EQ(std::count_if(prompter_.Shown().begin(), prompter_.Shown().end(),
                            [](const std::string& s) { return s.find("D:\\diary") != s.npos; }),
              1);
}

TEST_F(DiaryStoreTest, OpenInEditorCreatesTheDateLineOnceAndLaunchesTheFile) {
    store_.SetFolder(folder_);
    ASSERT_TRUE(store_.OpenInEditor(jan5_));
    EXPECT_EQ(Read(folder_ + "/20240105.TXT"), "1\x8c\x8e 5\x93\xfa(\x8b\xe0) \r\n\r\n");
    EXPECT_EQ(launcher_.opened, std::vector<std::string>{folder_ + "/20240105.TXT"});
    EXPECT_TRUE(store_.HasDiary(jan5_));

    Write("20240105.TXT", "kept");
    ASSERT_TRUE(store_.OpenInEditor(jan5_));
    EXPECT_EQ(Read(folder_ + "/20240105.TXT"), "kept");
}

TEST_F(DiaryStoreTest, ADayWhoseShiftJisBytesReadAsUtf8IsSavedSoItReadsBackTheSame) {
    store_.SetFolder(folder_);
    // "ﾑⅠ" in Shift_JIS is D1 87 54, which is also valid UTF-8 ("ч" then "T").
    const std::string ambiguous = "11111ﾑⅠ\nline";
    DiaryDay day = store_.Load(jan5_);
    ASSERT_EQ(store_.Save(jan5_, ambiguous, day), DiarySave::Saved);
    EXPECT_EQ(store_.Load(jan5_).text, ambiguous);
    EXPECT_EQ(Read(folder_ + "/20240105.TXT"), "11111ﾑⅠ\r\nline");
    // Saved again after reading it back, it stays as it is.
    DiaryDay again = store_.Load(jan5_);
    ASSERT_EQ(store_.Save(jan5_, again.text + "!", again), DiarySave::Saved);
    EXPECT_EQ(store_.Load(jan5_).text, ambiguous + "!");

    // Once the text no longer forms valid UTF-8 in Shift_JIS, a day read as Shift_JIS is
    // written as Shift_JIS again.
    const DateTime jan6 = DateTime::FromDate(2024, 1, 6);
    DiaryDay other = store_.Load(jan6);
    ASSERT_EQ(store_.Save(jan6, "ﾑⅠ晴れ", other), DiarySave::Saved);
    EXPECT_EQ(Read(folder_ + "/20240106.TXT"), "\xd1\x87\x54\x90\xb0\x82\xea");
    EXPECT_EQ(store_.Load(jan6).text, "ﾑⅠ晴れ");
}

TEST(DiaryCodec, TheFuzzSeedOfAmbiguousBytesComesBackAsTheSameText) {
    // The seed holds FA 4A, the IBM cell of "Ⅰ"; its Shift_JIS form is the NEC cell 87 54.
    const DiaryDay day = DiaryStore::Decode("11111\xd1\xfa\x4a\x01");
    ASSERT_FALSE(day.readOnly);
    ASSERT_EQ(day.encoding, DiaryEncoding::ShiftJis);
    const auto bytes = DiaryStore::Encode(day.text, day);
    ASSERT_TRUE(bytes.has_value());
    const DiaryDay back = DiaryStore::Decode(*bytes);
    EXPECT_FALSE(back.readOnly);
    EXPECT_EQ(back.text, day.text);
}

TEST(DiaryCodec, ValidShiftJisWithCrLfComesBackByteForByte) {
    for (const std::string& bytes :
         {std::string("1\x8c\x8e 5\x93\xfa \r\n\r\n\x90\xb0\r\n"), std::string("plain\r\n\r"),
          std::string("a\r\r\nb"), std::string("\xb1\xb2\xb3 half-width kana\r\n"),
          std::string("lf only\n")}) {
        const DiaryDay day = DiaryStore::Decode(bytes);
        ASSERT_FALSE(day.readOnly) << bytes;
        EXPECT_EQ(DiaryStore::Encode(day.text, day), bytes);
    }
}

}  // namespace
}  // namespace almx
