#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "base/file_io.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "custom/keycust.h"
#include "custom/keycust_array.h"
#include "custom/keycust_form.h"

namespace almx {
namespace {

namespace fs = std::filesystem;

// The little-endian bytes of 16-bit values.
std::string Words(std::initializer_list<unsigned> values) {
    std::string out;
    for (unsigned value : values) {
        out += static_cast<char>(value & 0xFF);
        out += static_cast<char>((value >> 8) & 0xFF);
    }
    return out;
}

// Three bindings as the program writes them: Ctrl+F5, Alt+A, Shift+NUMPAD0.
std::string ThreeBindings() {
    return Words({3, 0xFFFF, 1, 8}) + "CKeycust" + Words({116, 0, 0, 1, 32780}) +
           Words({0x8001, 65, 1, 0, 0, 32781}) + Words({0x8001, 96, 0, 1, 0, 32846});
}

const std::vector<CKeycust> kThree = {
    {116, 0, 0, 1, 32780}, {65, 1, 0, 0, 32781}, {96, 0, 1, 0, 32846}};

TEST(KeyTableTest, HoldsTheEightyOneKeysInOrderWithTheirTexts) {
    const auto table = KeyTable();
    ASSERT_EQ(table.size(), 81u);
    EXPECT_EQ(table[0].name, "F1");
    EXPECT_EQ(table[14].name, "F15");
    EXPECT_EQ(table[14].code, 126);
    EXPECT_EQ(table[15].name, "@");
    EXPECT_EQ(table[15].code, 192);
    EXPECT_EQ(table[16].name, "A");
    EXPECT_EQ(table[45].name, "Enter");
    EXPECT_EQ(table[45].code, 13);
    EXPECT_EQ(table[61].name, "0");
    EXPECT_EQ(table[80].name, "NUMPAD9");
    EXPECT_EQ(table[80].code, 105);
    std::set<int> codes;
    for (const KeyTableEntry& entry : table) codes.insert(entry.code);
    EXPECT_EQ(codes.size(), 81u) << "no code twice";

    EXPECT_EQ(KeyDisplayText({116, 1, 1, 1, 5}), "Alt+Shift+Ctrl+F5");
    EXPECT_EQ(KeyDisplayText({96, 0, 0, 0, 5}), "NUMPAD0");
    EXPECT_EQ(KeyDisplayText({13, 0, 0, 1, 5}), "Ctrl+Enter");
    EXPECT_EQ(KeyName(200), "");
}

TEST(KeyFileTest, ThreeBindingsAreFiftyBytesAndReadBackUnchanged) {
    const std::string bytes = WriteKeyFile(kThree);
    ASSERT_EQ(bytes.size(), 50u);
    EXPECT_EQ(bytes, ThreeBindings());
    KeyFileRead read = ReadKeyFile(bytes);
    ASSERT_TRUE(read.Ok()) << read.error;
    EXPECT_EQ(read.bindings, kThree);
    EXPECT_EQ(WriteKeyFile(read.bindings), bytes);
    EXPECT_EQ(WriteKeyFile({}), Words({0}));
}

TEST(KeyFileTest, EveryTruncationFailsWithAnOffsetInside) {
    const std::string bytes = ThreeBindings();
    for (std::size_t length = 1; length < bytes.size(); ++length) {
        KeyFileRead read = ReadKeyFile(std::string_view(bytes).substr(0, length));
        EXPECT_FALSE(read.Ok()) << length;
        EXPECT_TRUE(read.bindings.empty()) << length;
        EXPECT_LE(read.errorOffset, length);
    }
    // No bytes at all is no count.
    EXPECT_FALSE(ReadKeyFile("").Ok());
}

TEST(KeyFileTest, MalformedFormsAreRefused) {
    const std::string header = Words({0xFFFF, 1, 8});
    const std::string body = Words({65, 0, 0, 1, 32780});
    // Another class name, another schema.
    EXPECT_FALSE(ReadKeyFile(Words({1, 0xFFFF, 1, 8}) + "CKeyCust" + body).Ok());
    EXPECT_FALSE(ReadKeyFile(Words({1, 0xFFFF, 2, 8}) + "CKeycust" + body).Ok());
    // A back-reference to an object (index 2, the first binding) instead of a class.
    EXPECT_FALSE(
        ReadKeyFile(Words({2}) + header + "CKeycust" + body + Words({0x0002}) + body).Ok());
    // A class index never given.
    EXPECT_FALSE(
        ReadKeyFile(Words({2}) + header + "CKeycust" + body + Words({0x8005}) + body).Ok());
    // The first element already a class reference.
    EXPECT_FALSE(ReadKeyFile(Words({1, 0x8001}) + body).Ok());
}

TEST(KeyFileTest, AcceptedFormsAndMends) {
    const std::string first = Words({0xFFFF, 1, 8}) + "CKeycust";
    // The big count form and the big class-tag form (0x7FFF, then 0x80000001).
    KeyFileRead big =
        ReadKeyFile(Words({0xFFFF}) + Words({2, 0}) + first + Words({65, 0, 0, 1, 32780}) +
                    Words({0x7FFF, 1, 0x8000}) + Words({66, 0, 0, 1, 32781}));
    ASSERT_TRUE(big.Ok()) << big.error;
    EXPECT_EQ(big.bindings.size(), 2u);
    // A huge count with few bytes is a truncation, not an allocation.
    EXPECT_FALSE(ReadKeyFile(Words({0xFFFF, 0xFFFF, 0xFFFF})).Ok());

    // A null element is skipped; bytes after the last binding are ignored.
    KeyFileRead nulls = ReadKeyFile(Words({2, 0}) + first + Words({65, 0, 0, 1, 32780}) + "xyz");
    ASSERT_TRUE(nulls.Ok()) << nulls.error;
    EXPECT_EQ(nulls.bindings, (std::vector<CKeycust>{{65, 0, 0, 1, 32780}}));

    // Same key and modifiers: only the first could fire. Command 0 goes. Modifier 2 reads 1,
    // and then shadows nothing it did not before. An unknown key or command stays.
    KeyFileRead mended =
        ReadKeyFile(Words({5}) + first + Words({65, 0, 0, 1, 32780}) +
                    Words({0x8001, 65, 0, 0, 1, 32781}) + Words({0x8001, 66, 0, 0, 1, 0}) +
                    Words({0x8001, 67, 2, 0, 0, 32782}) + Words({0x8001, 200, 0, 0, 0, 9999}));
    ASSERT_TRUE(mended.Ok()) << mended.error;
    EXPECT_EQ(
        mended.bindings,
        (std::vector<CKeycust>{{65, 0, 0, 1, 32780}, {67, 1, 0, 0, 32782}, {200, 0, 0, 0, 9999}}));
    EXPECT_EQ(mended.mended, 3);
}

// A writer that refuses every write, as a full disk would.
class RefusingWriter : public FileWriter {
  public:
    bool Write(int, std::string_view) override { return false; }
};

class KeycustArrayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/almx-keys-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        fallback_ = (dir_ / "data" / "Velta" / "Almanix" / "almx32.key").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string PathOf(const char* name) const { return (dir_ / name).string(); }
    static void Put(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string Get(const std::string& path) {
        FileBytes file = ReadFileBytes(path);
        return file.bytes;
    }

    fs::path dir_;
    std::string fallback_;
    MemorySettingsStore settings_;
    FileWriter writer_;
};

TEST_F(KeycustArrayTest, LoadReadsTheFileAndNamesIt) {
    const std::string path = PathOf("a.key");
    Put(path, ThreeBindings());
    CKeycustArray keys(settings_, writer_, fallback_);
    ASSERT_TRUE(keys.Load(path));
    EXPECT_EQ(keys.Bindings(), kThree);
    EXPECT_EQ(keys.Path(), path);
    EXPECT_EQ(settings_.GetString("System", "Keycust", ""), path);
    EXPECT_EQ(keys.Lookup(116, false, false, true), 32780);
    EXPECT_EQ(keys.Lookup(116, false, true, true), std::nullopt);
    EXPECT_EQ(keys.Lookup(65, true, false, false), 32781);

    // The 0-byte file a failed save used to leave: no bindings.
    const std::string empty = PathOf("empty.key");
    Put(empty, "");
    ASSERT_TRUE(keys.Load(empty));
    EXPECT_TRUE(keys.Bindings().empty());
}

TEST_F(KeycustArrayTest, AFileThatCannotBeReadChangesNothing) {
    const std::string good = PathOf("good.key");
    Put(good, ThreeBindings());
    CKeycustArray keys(settings_, writer_, fallback_);
    ASSERT_TRUE(keys.Load(good));

    const std::string bytes = ThreeBindings();
    const std::string bad = PathOf("bad.key");
    for (std::size_t length = 1; length < bytes.size(); ++length) {
        Put(bad, bytes.substr(0, length));
        EXPECT_FALSE(keys.Load(bad)) << length;
        EXPECT_EQ(keys.Bindings(), kThree) << length;
        EXPECT_EQ(keys.Path(), good) << length;
    }
    EXPECT_FALSE(keys.Load(PathOf("missing.key")));
    EXPECT_FALSE(keys.Load(dir_.string())) << "a folder";
    Put(bad, std::string(kMaxKeyFileSize + 1, '\0'));
    EXPECT_FALSE(keys.Load(bad)) << "too large";
    EXPECT_EQ(keys.Bindings(), kThree);
    EXPECT_EQ(settings_.GetString("System", "Keycust", ""), good);
}

TEST_F(KeycustArrayTest, StartUpKeepsTheConfiguredPathAndTellsAMissingFromABadFile) {
    CKeycustArray fresh(settings_, writer_, fallback_);
    EXPECT_EQ(fresh.LoadAtStart(), CKeycustArray::StartUp::Missing);
    EXPECT_EQ(fresh.Path(), fallback_) << "the default on Linux";

    const std::string bad = PathOf("bad.key");
    Put(bad, "garbage");
    settings_.SetString("System", "Keycust", bad);
    CKeycustArray keys(settings_, writer_, fallback_);
    EXPECT_EQ(keys.LoadAtStart(), CKeycustArray::StartUp::Unreadable);
    EXPECT_EQ(keys.Path(), bad);
    EXPECT_TRUE(keys.Bindings().empty());

    // The first save over it keeps what could not be read.
    keys.SetBindings(kThree);
    ASSERT_TRUE(keys.Save());
    EXPECT_EQ(Get(bad), ThreeBindings());
    EXPECT_EQ(Get(PathOf("bad.bak")), "garbage");
    // Later saves make no more copies.
    ASSERT_TRUE(keys.Save());
    EXPECT_FALSE(fs::exists(PathOf("bad.2")));
}

TEST_F(KeycustArrayTest, SaveWritesTheListAndSaveAsMovesTheCurrentFile) {
    const std::string path = PathOf("a.key");
    CKeycustArray keys(settings_, writer_, fallback_);
    keys.LoadAtStart();
    keys.SetBindings(kThree);
    ASSERT_TRUE(keys.Save(path));
    EXPECT_EQ(Get(path), ThreeBindings());
    EXPECT_EQ(keys.Path(), path);
    EXPECT_EQ(settings_.GetString("System", "Keycust", ""), path);
    EXPECT_FALSE(fs::exists(PathOf("a.bak"))) << "no backup of a key file";
}

TEST_F(KeycustArrayTest, ASaveThatFailsKeepsTheOldFileAndPutsTheBindingsInTheFallback) {
    const std::string path = PathOf("a.key");
    Put(path, WriteKeyFile(std::vector<CKeycust>{{65, 0, 0, 1, 1}}));
    const std::string old = Get(path);
    RefusingWriter refusing;
    CKeycustArray keys(settings_, refusing, fallback_);
    ASSERT_TRUE(keys.Load(path));
    keys.SetBindings(kThree);
    EXPECT_FALSE(keys.Save());
    EXPECT_EQ(Get(path), old);
    EXPECT_EQ(keys.Path(), fallback_);
    EXPECT_EQ(settings_.GetString("System", "Keycust", ""), fallback_);
    // The refusing writer refuses the fallback too: it exists, and the next save tries there.
    EXPECT_TRUE(fs::is_directory(fs::path(fallback_).parent_path()));

    // Below a regular file nothing can be created; the plain writer reaches the fallback.
    const std::string below = PathOf("a.key") + "/x.key";
    CKeycustArray other(settings_, writer_, fallback_);
    other.SetBindings(kThree);
    EXPECT_FALSE(other.Save(below));
    EXPECT_EQ(Get(path), old);
    EXPECT_EQ(other.Path(), fallback_);
    EXPECT_EQ(Get(fallback_), ThreeBindings()) << "the bindings are not lost at exit";
    EXPECT_EQ(settings_.GetString("System", "Keycust", ""), fallback_);

    CKeycustArray restarted(settings_, writer_, fallback_);
    EXPECT_EQ(restarted.LoadAtStart(), CKeycustArray::StartUp::Loaded);
    EXPECT_EQ(restarted.Bindings(), kThree);
}

std::vector<KeycustCommandRow> Rows() {
    return {{32780, "[表示]TODOリスト"},
            {32781, "[編集]スケジュールの追加..."},
            {32846, "[編集]TODOの追加..."}};
}

TEST_F(KeycustArrayTest, FormBindsRebindsAndUnbindsWithTheirMenuTexts) {
    CKeycustArray keys(settings_, writer_, fallback_);
    ScriptedPrompter prompter;
    KeycustForm form(keys, Rows(), prompter);
    EXPECT_EQ(form.CommandTexts().front(), "（なし）");
    EXPECT_EQ(form.CommandTexts().size(), 4u);

    form.SelectKey(4);  // F5
    form.SetCtrl(true);
    EXPECT_EQ(form.KeyTexts()[4], "Ctrl+F5");
    EXPECT_EQ(form.KeyTexts()[16], "Ctrl+A");
    EXPECT_EQ(form.CommandIndex(), 0);

    EXPECT_EQ(form.Choose(1), (std::vector<MenuTextChange>{{32780, "Ctrl+F5"}}));
    EXPECT_EQ(form.CommandIndex(), 1);
    EXPECT_EQ(keys.Lookup(116, false, false, true), 32780);

    // A second key for the same command, then rebinding Ctrl+F5 to another command: the old
    // command shows its other key.
    form.SetShift(true);
    EXPECT_EQ(form.CommandIndex(), 0);
    EXPECT_EQ(form.Choose(1), (std::vector<MenuTextChange>{{32780, "Shift+Ctrl+F5"}}));
    form.SetShift(false);
    EXPECT_EQ(form.Choose(2),
              (std::vector<MenuTextChange>{{32780, "Shift+Ctrl+F5"}, {32781, "Ctrl+F5"}}));
    EXPECT_EQ(keys.Bindings().size(), 2u);

    // Unbinding the only key of a command removes its text.
    EXPECT_EQ(form.Choose(0), (std::vector<MenuTextChange>{{32781, std::nullopt}}));
    EXPECT_EQ(keys.Lookup(116, false, false, true), std::nullopt);
    EXPECT_EQ(form.CommandIndex(), 0);
    EXPECT_TRUE(form.Choose(0).empty()) << "nothing to unbind";
    EXPECT_TRUE(form.Choose(9).empty()) << "out of range";
    EXPECT_EQ(keys.Bindings().size(), 1u);
}

TEST_F(KeycustArrayTest, FormLoadSaveAsAndOk) {
    CKeycustArray keys(settings_, writer_, fallback_);
    keys.LoadAtStart();
    keys.SetBindings({{66, 0, 0, 1, 32846}});
    ScriptedPrompter prompter;
    KeycustForm form(keys, Rows(), prompter);

    const std::string bad = PathOf("bad.key");
    Put(bad, ThreeBindings().substr(0, 30));
    EXPECT_EQ(form.Load(bad), std::nullopt);
    EXPECT_TRUE(prompter.Saw("読み込めません"));
    EXPECT_EQ(keys.Bindings().size(), 1u);

    const std::string good = PathOf("good.key");
    Put(good, ThreeBindings());
    auto texts = form.Load(good);
    ASSERT_TRUE(texts);
    // The old command keeps a text (it is bound again, by Shift+NUMPAD0); the others gain one.
    EXPECT_EQ(*texts, (std::vector<MenuTextChange>{
                          {32846, "Shift+NUMPAD0"}, {32780, "Ctrl+F5"}, {32781, "Alt+A"}}));

    EXPECT_FALSE(form.SaveAs(good + "/below.key"));
    EXPECT_TRUE(prompter.Saw("保存できません"));
    EXPECT_EQ(keys.Path(), fallback_);
    EXPECT_TRUE(form.Finish());
    EXPECT_EQ(Get(fallback_), ThreeBindings());
}

}  // namespace
}  // namespace almx
