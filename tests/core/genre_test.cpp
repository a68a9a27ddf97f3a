#include "core/genre.h"
#include "core/record_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "base/settings_store.h"
#include "core/legacy_genre_archive.h"
#include "core/legacy_genre_file.h"
#include "core/record.h"
#include "text/encoding.h"

namespace almx {
namespace {

using testing::ArchiveWriter;

CAlmxFieldArray FourGenres() {
    CAlmxFieldArray genres;
    genres.Append(CAlmxField("一般", 0x000011));
    genres.Append(CAlmxField("仕事", 0x000022));
    genres.Append(CAlmxField("趣味", 0x000033));
    genres.Append(CAlmxField("家族", 0x000044));
    return genres;
}

RecordList RecordsOfGenres(std::initializer_list<int> genres) {
    RecordList records;
    for (int genre : genres) {
        CAlmxData record;
        record.genre = genre;
        record.colour = 0xABCDEF;
        records.push_back(record);
    }
    return records;
}

std::vector<int> GenresOf(const RecordList& records) {
    std::vector<int> genres;
    for (const auto& record : records) genres.push_back(record.genre);
    return genres;
}

TEST(GenreList, DeleteMovesLaterGenresDownAndOrphansToGeneralWithItsColour) {
    CAlmxFieldArray genres = FourGenres();
    auto records = RecordsOfGenres({0, 1, 2, 3, 2, 7, 2000000000, -1});
    ASSERT_TRUE(DeleteGenre(genres, 2, records));
    EXPECT_EQ(genres.Names(), (std::vector<std::string>{"一般", "仕事", "家族"}));
    // An undefined but extendable 7 follows the list; numbers beyond the bound stay stored.
    EXPECT_EQ(GenresOf(records), (std::vector<int>{0, 1, 0, 2, 0, 6, 2000000000, -1}));
    EXPECT_EQ(records[2].colour, 0x000011u);
    EXPECT_EQ(records[4].colour, 0x000011u);
    EXPECT_EQ(records[3].colour, 0xABCDEFu);
    EXPECT_EQ(records[0].colour, 0xABCDEFu);
}

TEST(GenreList, GeneralGenreAndIndexesOutsideTheListCannotBeDeleted) {
    CAlmxFieldArray genres = FourGenres();
    auto records = RecordsOfGenres({0, 1, 2, 3});
    EXPECT_FALSE(DeleteGenre(genres, 0, records));
    EXPECT_FALSE(DeleteGenre(genres, 4, records));
    EXPECT_FALSE(DeleteGenre(genres, -1, records));
    EXPECT_EQ(genres, FourGenres());
    EXPECT_EQ(GenresOf(records), (std::vector<int>{0, 1, 2, 3}));
}

TEST(GenreList, SwapExchangesGenresAndRecordNumbers) {
    CAlmxFieldArray genres = FourGenres();
    auto records = RecordsOfGenres({1, 2, 3, 0, 2});
    ASSERT_TRUE(SwapGenres(genres, 1, 2, records));
    EXPECT_EQ(genres.Names(), (std::vector<std::string>{"一般", "趣味", "仕事", "家族"}));
    EXPECT_EQ(genres.At(1)->colour, 0x000033u);
    EXPECT_EQ(GenresOf(records), (std::vector<int>{2, 1, 3, 0, 1}));
    EXPECT_FALSE(SwapGenres(genres, 3, 4, records));
    EXPECT_EQ(GenresOf(records), (std::vector<int>{2, 1, 3, 0, 1}));
}

TEST(GenreList, ApplyColourToAllOrOnlyToRecordsKeepingThePreviousColour) {
    CAlmxFieldArray genres = FourGenres();
    auto records = RecordsOfGenres({1, 1, 2});
    records[0].colour = 0x000022;  // still the genre's old colour
    genres.At(1)->colour = 0x0000FF;
    EXPECT_EQ(ApplyGenreColour(genres, 1, 0x000022, false, records), 1);
    EXPECT_EQ(records[0].colour, 0x0000FFu);
    EXPECT_EQ(records[1].colour, 0xABCDEFu);
    EXPECT_EQ(ApplyGenreColour(genres, 1, 0x000022, true, records), 1);
    EXPECT_EQ(records[1].colour, 0x0000FFu);
    EXPECT_EQ(records[2].colour, 0xABCDEFu);
}

TEST(GenreList, FindOrAddAppendsOnlyUnknownNames) {
    CAlmxFieldArray genres = FourGenres();
    EXPECT_EQ(genres.FindOrAdd("趣味"), 2);
    EXPECT_EQ(genres.FindOrAdd("趣味 "), 4);
    EXPECT_EQ(genres.Count(), 5u);
    EXPECT_EQ(*genres.At(4), CAlmxField("趣味 "));
    EXPECT_EQ(genres.At(4)->shown, 1);
}

TEST(GenreList, ExtendNamesNewGenresByPositionWithinTheBound) {
    CAlmxFieldArray genres = FourGenres();
    genres.Items().pop_back();
    ASSERT_TRUE(genres.ExtendTo(7));
    EXPECT_EQ(genres.Names(),
              (std::vector<std::string>{"一般", "仕事", "趣味", "ジャンル4", "ジャンル5",
                                        "ジャンル6", "ジャンル7", "ジャンル8"}));
    EXPECT_TRUE(genres.ExtendTo(3));
    EXPECT_EQ(genres.Count(), 8u);

    EXPECT_FALSE(genres.ExtendTo(-1));
    EXPECT_FALSE(genres.ExtendTo(2000000000));
    EXPECT_FALSE(genres.ExtendTo(kMaxGenreIndex + 1));
    EXPECT_EQ(genres.Count(), 8u);
    EXPECT_TRUE(genres.ExtendTo(kMaxGenreIndex));
    EXPECT_EQ(genres.Count(), static_cast<std::size_t>(kMaxGenreIndex) + 1);
    EXPECT_EQ(genres.At(kMaxGenreIndex)->name, "ジャンル1001");
}

TEST(GenreList, RecordsBeyondTheBoundAreDrawnWithTheGeneralGenre) {
    CAlmxFieldArray genres = FourGenres();
    EXPECT_EQ(genres.ForRecord(2), genres.At(2));
    EXPECT_EQ(genres.ForRecord(-1), genres.At(0));
    EXPECT_EQ(genres.ForRecord(2000000000), genres.At(0));
    EXPECT_EQ(genres.ForRecord(9), nullptr);  // still to be extended
    EXPECT_EQ(genres.DefaultIndex(3), 3);
    EXPECT_EQ(genres.DefaultIndex(4), 0);
    EXPECT_EQ(genres.DefaultIndex(-2), 0);
}

std::vector<CAlmxField> SampleGenres() {
    CAlmxField general("一般", 0x000000, 1);
    CAlmxField work("仕事", 0xFF8000, 0);
    work.note = "会社の予定";
    work.values = {1, 65535, 300, 7};
    work.texts = {"表示", "", std::string(300, 'x'), "ソ"};
    CAlmxField hobby("趣味", 0x00FF00, 1);
    return {general, work, hobby};
}

std::string SampleArchive() {
    const auto genres = SampleGenres();
    ArchiveWriter writer;
    writer.U16(4).FirstTag().Body(genres[0]);
    writer.U16(0);  // a null element
    writer.U16(0x8001).Body(genres[1]);
    writer.U16(0x8001).Body(genres[2]);
    return writer.Bytes();
}

TEST(LegacyGenreFile, ReadsEveryFieldOfEveryGenreAndSkipsNullElements) {
    LegacyGenreRead read = ReadLegacyGenreArchive(SampleArchive());
    ASSERT_TRUE(read.Ok()) << read.error;
    EXPECT_EQ(read.genres.Items(), SampleGenres());
}

TEST(LegacyGenreFile, LongCountsAndLongTextForms) {
    CAlmxField genre("長い名前", 0x123456);
    genre.note = std::string(70000, 'n');  // 0xFFFF then a 32-bit length
    ArchiveWriter writer;
    writer.U16(0xFFFF).U32(1).FirstTag().Body(genre);
    LegacyGenreRead read = ReadLegacyGenreArchive(writer.Bytes());
    ASSERT_TRUE(read.Ok()) << read.error;
    ASSERT_EQ(read.genres.Count(), 1u);
    EXPECT_EQ(*read.genres.At(0), genre);
}

TEST(LegacyGenreFile, WideTextsAreConverted) {
    ArchiveWriter writer;
    writer.U16(1).FirstTag().U16(100);
    // "Aあ" as UTF-16: the marker, then the length in characters.
    writer.Raw("\xFF").U16(0xFFFE).Raw("\x02").Raw(std::string("A\0\x42\x30", 4));
    writer.Text("").U32(0).U16(1).U16(0).U16(0).U16(0).U16(0);
    for (int i = 0; i < 4; ++i) writer.Text("");
    LegacyGenreRead read = ReadLegacyGenreArchive(writer.Bytes());
    ASSERT_TRUE(read.Ok()) << read.error;
    EXPECT_EQ(read.genres.At(0)->name, "Aあ");
}

TEST(LegacyGenreFile, EveryTruncationFailsCleanly) {
    const std::string archive = SampleArchive();
    for (std::size_t size = 0; size < archive.size(); ++size) {
        LegacyGenreRead read = ReadLegacyGenreArchive(std::string_view(archive).substr(0, size));
        EXPECT_FALSE(read.Ok()) << size;
        EXPECT_EQ(read.error, "ジャンルファイルが途中で切れています") << size;
        EXPECT_TRUE(read.genres.Empty());
    }
}

TEST(LegacyGenreFile, MalformedArchivesAreRefused) {
    const CAlmxField genre("一般");
    auto refused = [](const std::string& bytes) {
        LegacyGenreRead read = ReadLegacyGenreArchive(bytes);
        return read.error == "ジャンルファイルの形式が正しくありません" && read.genres.Empty();
    };
    // Wrong schema, wrong class name, wrong body version.
    EXPECT_TRUE(refused(
        ArchiveWriter().U16(1).U16(0xFFFF).U16(3).U16(10).Raw("CAlmxField").Body(genre).Bytes()));
    EXPECT_TRUE(refused(
        ArchiveWriter().U16(1).U16(0xFFFF).U16(2).U16(10).Raw("CAlmxFielD").Body(genre).Bytes()));
    std::string badVersion = ArchiveWriter().U16(1).FirstTag().Body(genre).Bytes();
    badVersion[18] = 101;  // after count, tag, schema, name length and name
    EXPECT_TRUE(refused(badVersion));
    // A class reference before any class, and a reference to an earlier object.
    EXPECT_TRUE(refused(ArchiveWriter().U16(1).U16(0x8001).Body(genre).Bytes()));
    EXPECT_TRUE(refused(ArchiveWriter().U16(2).FirstTag().Body(genre).U16(2).Bytes()));
    // The class reference must name the class, not the first object.
    EXPECT_TRUE(
        refused(ArchiveWriter().U16(2).FirstTag().Body(genre).U16(0x8002).Body(genre).Bytes()));
}

TEST(LegacyGenreFile, HugeCountsAndRandomBytesNeverCrash) {
    EXPECT_FALSE(ReadLegacyGenreArchive(ArchiveWriter().U16(0xFFFF).U32(0xFFFFFFFF).Bytes()).Ok());
    std::string hugeText = ArchiveWriter().U16(1).FirstTag().U16(100).Bytes();
    hugeText += "\xFF\xFF\xFF\xFF\xFF\xFF\x7F";
    EXPECT_FALSE(ReadLegacyGenreArchive(hugeText).Ok());

    std::mt19937 random(7);
    const std::string archive = SampleArchive();
    for (int round = 0; round < 2000; ++round) {
        std::string bytes = archive;
        for (int k = 0; k < 3; ++k) {
            bytes[random() % bytes.size()] = static_cast<char>(random() & 0xFF);
        }
        LegacyGenreRead read = ReadLegacyGenreArchive(bytes);
        EXPECT_TRUE(read.Ok() || read.genres.Empty());
        std::string noise(random() % 64, '\0');
        for (auto& c : noise) c = static_cast<char>(random() & 0xFF);
        ReadLegacyGenreArchive(noise);
    }
}

class DefaultGenreListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ =
            std::filesystem::temp_directory_path() /
            ("almx_genre_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    void Write(const std::filesystem::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    std::filesystem::path folder_;
    MemorySettingsStore settings_;
};

TEST_F(DefaultGenreListTest, MissingFileGivesTheGeneralGenreAndRemembersThePath) {
    DefaultGenreLoad load = LoadDefaultGenreList(settings_, folder_);
    EXPECT_EQ(load.genres, CAlmxFieldArray::General());
    EXPECT_EQ(load.genres.At(0)->name, "一般");
    EXPECT_TRUE(load.error.empty());
    EXPECT_EQ(settings_.GetString("Field", "File", ""), (folder_ / "sfield.dat").string());

    CAlmxFieldArray document;
    document.SetFrom(load.genres);
    EXPECT_EQ(document.Count(), 1u);
}

TEST_F(DefaultGenreListTest, ReadsTheFileNamedInTheSettings) {
    const auto path = folder_ / "mine.dat";
    Write(path, SampleArchive());
    Write(folder_ / "sfield.dat", "garbage");
    settings_.SetString("Field", "File", path.string());
    DefaultGenreLoad load = LoadDefaultGenreList(settings_, folder_);
    EXPECT_TRUE(load.error.empty());
    EXPECT_EQ(load.genres.Items(), SampleGenres());
}

TEST_F(DefaultGenreListTest, EmptyOrBrokenFilesGiveTheGeneralGenre) {
    Write(folder_ / "sfield.dat", "");
    DefaultGenreLoad empty = LoadDefaultGenreList(settings_, folder_);
    EXPECT_EQ(empty.genres, CAlmxFieldArray::General());
    EXPECT_TRUE(empty.error.empty());

    Write(folder_ / "sfield.dat", SampleArchive().substr(0, 40));
    DefaultGenreLoad cut = LoadDefaultGenreList(settings_, folder_);
    EXPECT_EQ(cut.genres, CAlmxFieldArray::General());
    EXPECT_EQ(cut.error, "ジャンルファイルが途中で切れています");

    Write(folder_ / "sfield.dat", ArchiveWriter().U16(0).Bytes());
    EXPECT_EQ(LoadDefaultGenreList(settings_, folder_).genres, CAlmxFieldArray::General());
}

}  // namespace
}  // namespace almx
