#include "links/link_actions.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/record.h"
#include "core/text_entry_check.h"
#include "links/file_launcher.h"

namespace almx {
namespace {

namespace fs = std::filesystem;

// Records what it was asked to open and answers with a fixed code.
class RecordingLauncher : public FileLauncher {
  public:
    int Open(const std::string& target, const std::string&) override {
        opened.push_back(target);
        return answer;
    }
    std::vector<std::string> opened;
    int answer = launch::kSuccess;
};

// Removes the file, or refuses as a trash that cannot take it.
class StubTrash : public FileTrash {
  public:
    bool MoveToTrash(const std::string& path) override {
        trashed.push_back(path);
        if (!works) return false;
        std::error_code error;
        return fs::remove(path, error);
    }
    std::vector<std::string> trashed;
    bool works = true;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class LinkActionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/almx-links-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        document = (dir / "plan.alx").string();
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(dir, error);
    }
    void Touch(const fs::path& path, std::string_view text = "x") {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << text;
    }
    LinkEditor Editor(std::string link, std::string title = "会議") {
        return LinkEditor(services, document, std::move(title), std::move(link));
    }

    fs::path dir;
    std::string document;
    MemorySettingsStore settings;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    StubTrash trash;
    LinkServices services{settings, prompter, launcher, trash, "/opt/almanix"};
};

TEST_F(LinkActionsTest, OpenButtonChecksTheLinkFirst) {
    LinkEditor empty = Editor("");
    empty.Open();
    EXPECT_TRUE(prompter.Saw("ファイルを設定してください"));

    LinkEditor missing = Editor("notes/none.txt");
    missing.Open();
    EXPECT_TRUE(prompter.Saw("ファイルがありません"));

    LinkEditor unsaved(services, "", "会議", "notes/x.txt");
    unsaved.Open();
    EXPECT_TRUE(prompter.Saw("リンクが相対パスです。ファイルを保存してください"));
    EXPECT_TRUE(launcher.opened.empty());

    Touch(dir / "notes" / "x.txt");
    Editor("notes\\x.txt").Open();
    Editor("https://example.com/a").Open();
    EXPECT_EQ(launcher.opened,
              (std::vector<std::string>{(dir / "notes/x.txt").string(), "https://example.com/a"}));
}

TEST_F(LinkActionsTest, BrowseStoresRelativeOrAbsolute) {
    LinkEditor editor = Editor("");
    EXPECT_EQ(editor.BrowseFolder(), dir.string() + "/");
    editor.TakeChosenFile((dir / "notes" / "x.txt").string());
    EXPECT_EQ(editor.Link(), "notes/x.txt");
    EXPECT_EQ(editor.BrowseFolder(), (dir / "notes").string() + "/");
    editor.TakeChosenFile("");  // a cancelled chooser keeps the link
    EXPECT_EQ(editor.Link(), "notes/x.txt");
    settings.SetInt("System", "AbsolutePath", 1);
    editor.TakeChosenFile("/srv/x.txt");
    EXPECT_EQ(editor.Link(), "/srv/x.txt");
}

TEST_F(LinkActionsTest, DeleteEmptiesTheLinkOnlyWhenTheFileIsGone) {
    Touch(dir / "a.txt");
    LinkEditor kept = Editor("a.txt");
    trash.works = false;
    kept.Delete();
    EXPECT_EQ(kept.Link(), "a.txt");
    EXPECT_TRUE(fs::exists(dir / "a.txt"));

    trash.works = true;
    kept.Delete();
    EXPECT_EQ(kept.Link(), "");
    EXPECT_FALSE(fs::exists(dir / "a.txt"));
    EXPECT_EQ(trash.trashed.back(), (dir / "a.txt").string());
}

TEST_F(LinkActionsTest, ATrashThatFailsIsReported) {
    Touch(dir / "a.txt");
    LinkEditor kept = Editor("a.txt");
    trash.works = false;
    kept.Delete();
    ASSERT_FALSE(prompter.Shown().empty());
    EXPECT_EQ(prompter.Shown().back(), "ファイル " + (dir / "a.txt").string() +
                                           " をごみ箱に移動できませんでした。ファイルはそのまま"
                                           "残っています");
    EXPECT_EQ(kept.Link(), "a.txt");
}

TEST_F(LinkActionsTest, DeleteTakesOnlyFilesNeverFoldersOrTheScheduleFile) {
    fs::create_directories(dir / "notes");
    Touch(dir / "notes" / "a.txt");
    Touch(dir / "plan.alx");
    for (const char* link : {"notes", "..", "plan.alx", "C:\\x.txt"}) {
        LinkEditor editor = Editor(link);
        editor.Delete();
        EXPECT_EQ(editor.Link(), link);
        EXPECT_EQ(prompter.Shown().back(), "ファイルがありません") << link;
    }
    EXPECT_TRUE(trash.trashed.empty());
    EXPECT_TRUE(fs::exists(dir / "notes" / "a.txt"));
    EXPECT_TRUE(fs::exists(dir / "plan.alx"));
}

TEST_F(LinkActionsTest, DeletingAnAddressNeverTouchesTheDisk) {
    LinkEditor editor = Editor("https://example.com/a");
    prompter.Then(Answer::No);
    editor.Delete();
    EXPECT_EQ(editor.Link(), "https://example.com/a");
    prompter.Then(Answer::Yes);
    editor.Delete();
    EXPECT_EQ(editor.Link(), "");
    EXPECT_TRUE(prompter.Saw("URLを消去します"));
    EXPECT_TRUE(trash.trashed.empty());
}

TEST_F(LinkActionsTest, NewCreatesTheFileWithTheScheduleText) {
    LinkEditor editor = Editor("", "会議:準備");
    prompter.ThenText("notes.txt");
    editor.New();
    EXPECT_EQ(prompter.Shown().front(), "新規作成するテキストファイル名を入力してください");
    EXPECT_EQ(editor.Link(), "notes.txt");
    EXPECT_EQ(ReadAll(dir / "notes.txt"), "会議:準備\n\n");
    EXPECT_EQ(launcher.opened.back(), (dir / "notes.txt").string());

    // An existing file is kept as it is.
    Touch(dir / "old.txt", "keep");
    prompter.ThenText("old.txt");
    editor.New();
    EXPECT_TRUE(prompter.Saw("既にファイルは存在します"));
    EXPECT_EQ(ReadAll(dir / "old.txt"), "keep");
    EXPECT_EQ(editor.Link(), "old.txt");

    // A folder that does not exist: nothing changes.
    prompter.ThenText("no/such/folder/x.txt");
    editor.New();
    EXPECT_TRUE(prompter.Saw("ファイルを作成できません"));
    EXPECT_EQ(editor.Link(), "old.txt");

    // Cancel leaves everything.
    editor.New();
    EXPECT_EQ(editor.Link(), "old.txt");

    // A Windows name or a folder is refused; nothing is made in the working folder.
    for (const char* name : {"C:\\x.txt", "no-such-folder-is-made"}) {
        if (std::string(name) == "no-such-folder-is-made") fs::create_directory(dir / name);
        prompter.ThenText(name);
        editor.New();
        EXPECT_EQ(prompter.Shown().back(), "ファイルを作成できません");
        EXPECT_EQ(editor.Link(), "old.txt");
    }
    EXPECT_FALSE(fs::exists("C:\\x.txt"));

    // A full path in the document's folder is kept relative, so it moves with the file.
    prompter.ThenText((dir / "notes" / "12:00.txt").string());
    fs::create_directories(dir / "notes");
    editor.New();
    EXPECT_EQ(editor.Link(), "notes/12:00.txt");
    EXPECT_EQ(ReadAll(dir / "notes" / "12:00.txt"), "会議:準備\n\n");

    // A document never saved has no folder for a relative name.
    LinkEditor unsaved(services, "", "会議", "");
    prompter.ThenText("会議.txt");
    unsaved.New();
    EXPECT_TRUE(prompter.Saw("リンクが相対パスです。ファイルを保存してください"));
    EXPECT_EQ(unsaved.Link(), "");
    EXPECT_FALSE(fs::exists("会議.txt"));
}

TEST_F(LinkActionsTest, CreateLinkFileNeverFollowsOrReplaces) {
    const fs::path target = dir / "target.txt";
    Touch(target, "mine");
    fs::create_symlink(dir / "elsewhere.txt", dir / "dangling.txt");
    EXPECT_FALSE(CreateLinkFile((dir / "dangling.txt").string(), "x"));
    EXPECT_FALSE(fs::exists(dir / "elsewhere.txt"));
    EXPECT_FALSE(CreateLinkFile(target.string(), "x"));
    EXPECT_EQ(ReadAll(target), "mine");
}

TEST_F(LinkActionsTest, OpenRecordLinkAsksForALinkWhenThereIsNone) {
    CAlmxData record;
    record.title = "会議";
    std::string offered;
    auto cancel = [&](const std::string& initial) -> std::optional<std::string> {
        offered = initial;
        return std::nullopt;
    };
    EXPECT_FALSE(OpenRecordLink(services, document, record, cancel));
    EXPECT_EQ(offered, (dir / "会議.txt").string());
    EXPECT_EQ(record.linkFile, "");

    // The entered link is set, the missing file offered and created, then launched.
    prompter.Then(Answer::Yes);
    auto enter = [this](const std::string&) -> std::optional<std::string> {
        return (dir / "会議.txt").string();  // the offered full name, kept relative
    };
    EXPECT_TRUE(OpenRecordLink(services, document, record, enter));
    EXPECT_EQ(record.linkFile, "会議.txt");
    EXPECT_TRUE(prompter.Saw("ファイルがありません。新規に作成しますか？"));
    EXPECT_EQ(ReadAll(dir / "会議.txt"), "会議\n\n");
    EXPECT_EQ(launcher.opened.back(), (dir / "会議.txt").string());
}

TEST_F(LinkActionsTest, OpenRecordLinkRefusesALinkTheFileCannotHold) {
    CAlmxData record;
    record.title = "会議";
    auto enter = [this](const std::string&) -> std::optional<std::string> {
        return (dir / "résumé.txt").string();
    };
    EXPECT_FALSE(OpenRecordLink(services, document, record, enter));
    EXPECT_EQ(record.linkFile, "");
    EXPECT_EQ(prompter.Shown().back(), UnrepresentableMessage("リンクファイル", "é"));
    EXPECT_FALSE(fs::exists(dir / "résumé.txt"));
    EXPECT_TRUE(launcher.opened.empty());
}

TEST_F(LinkActionsTest, OpenRecordLinkStopsWhereItMust) {
    auto never = [](const std::string&) -> std::optional<std::string> {
        ADD_FAILURE() << "asked for a link";
        return std::nullopt;
    };
    CAlmxData record;
    record.title = "x";
    record.linkFile = "notes/x.txt";
    EXPECT_FALSE(OpenRecordLink(services, "", record, never));
    EXPECT_TRUE(prompter.Saw("リンクが相対パスです。ファイルを保存してください"));

    prompter.Then(Answer::No);
    EXPECT_FALSE(OpenRecordLink(services, document, record, never));
    EXPECT_FALSE(fs::exists(dir / "notes" / "x.txt"));

    prompter.Then(Answer::Yes);  // the folder is missing: creation fails
    EXPECT_FALSE(OpenRecordLink(services, document, record, never));
    EXPECT_TRUE(prompter.Saw("ファイルを作成できません"));

    record.linkFile = "C:\\data\\x.txt";
    EXPECT_FALSE(OpenRecordLink(services, document, record, never));
    EXPECT_TRUE(launcher.opened.empty());
    EXPECT_EQ(prompter.RepliesLeft(), 0u);
}

TEST_F(LinkActionsTest, LaunchFailuresAreReportedAsTheTableSays) {
    CAlmxData record;
    record.linkFile = "https://example.com/";
    launcher.answer = launch::kNoAssociation;
    OpenRecordLink(services, document, record, nullptr);
    EXPECT_TRUE(prompter.Shown().empty());

    launcher.answer = launch::kFileNotFound;
    EXPECT_EQ(LaunchFile(launcher, prompter, "/home/u/README"), 1);  // no "." : silent
    EXPECT_TRUE(prompter.Shown().empty());
    EXPECT_EQ(LaunchFile(launcher, prompter, "/home/u/a.txt"), 3);
    EXPECT_TRUE(prompter.Saw("ファイルが見つかりませんでした"));
    launcher.answer = launch::kAccessDenied;
    EXPECT_EQ(LaunchFile(launcher, prompter, "/home/u/a.txt"), 3);
    EXPECT_TRUE(prompter.Saw(LaunchFailureText(5)));
    launcher.answer = launch::kSuccess;
    EXPECT_EQ(LaunchFile(launcher, prompter, "/home/u/a.txt"), 0);
    EXPECT_EQ(LaunchFailureText(23), "");
}

TEST_F(LinkActionsTest, UnlaunchableTargetsMapToTheTable) {
    Touch(dir / "a.txt");
    EXPECT_EQ(UnlaunchableCode((dir / "a.txt").string()), 0);
    EXPECT_EQ(UnlaunchableCode("https://example.com/"), 0);
    EXPECT_EQ(UnlaunchableCode((dir / "b.txt").string()), launch::kFileNotFound);
    EXPECT_EQ(UnlaunchableCode((dir / "none" / "b.txt").string()), launch::kPathNotFound);
    EXPECT_EQ(UnlaunchableCode("C:\\x.txt"), launch::kFileNotFound);
    if (::geteuid() != 0) {  // root reads everything
        ::chmod((dir / "a.txt").c_str(), 0);
        EXPECT_EQ(UnlaunchableCode((dir / "a.txt").string()), launch::kAccessDenied);
    }
}

}  // namespace
}  // namespace almx
