// The link dialogs and the open-link command, with a launcher that records what it was asked
// to open (the desktop's own is exercised by hand).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "calendar/ui/entry_commands.h"
#include "dialog_driver.h"
#include "document/document.h"
#include "links/file_launcher.h"
#include "links/ui/link_dialogs.h"
#include "ui/document_host.h"
#include "views/day_view.h"

namespace almx {
namespace {

namespace fs = std::filesystem;
using testing::OnNextDialog;

class RecordingLauncher : public FileLauncher {
  public:
    int Open(const std::string& target, const std::string&) override {
        opened.push_back(target);
        return launch::kSuccess;
    }
    std::vector<std::string> opened;
};

class RemovingTrash : public FileTrash {
  public:
    bool MoveToTrash(const std::string& path) override {
        std::error_code error;
        return fs::remove(path, error);
    }
};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Screenshots go beside the test program, for a person to look at.
void Save(QWidget& widget, const char* name) {
    widget.adjustSize();
    widget.grab().save(QStringLiteral(ALMX_BINARY_DIR "/") + QString::fromUtf8(name));
}

QPushButton* Button(QWidget& parent, const QString& text) {
    for (auto* button : parent.findChildren<QPushButton*>()) {
        if (button->text() == text) return button;
    }
    return nullptr;
}

class LinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/almx-link-ui-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        DocumentContext context;
        context.settings = &settings;
        context.prompter = &prompter;
        context.clock = &clock;
        auto document = std::make_unique<CAlmxDoc>(context);
        ASSERT_TRUE(document->SaveTo((dir / "plan.alx").string()));
        host = std::make_unique<DocumentHost>(std::move(document));
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(dir, error);
    }
    EntryEnvironment Environment() {
        EntryEnvironment env{settings, prompter, clock};
        env.links.emplace(services);
        return env;
    }

    fs::path dir;
    MemorySettingsStore settings;
    ScriptedPrompter prompter;
    ManualClock clock{DateTime::FromParts(2024, 2, 12, 9, 0)};
    RecordingLauncher launcher;
    RemovingTrash trash;
    LinkServices services{settings, prompter, launcher, trash, "/opt/almanix"};
    std::unique_ptr<DocumentHost> host;
};

TEST_F(LinkTest, TheLinkDialogsButtonsWorkOnTheEditedText) {
    const std::string document = (dir / "plan.alx").string();
    LinkDialog dialog(services, document, "会議", "");
    auto* edit = dialog.findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);

    prompter.ThenText("議事録.txt");
    Button(dialog, QStringLiteral("新規(&N)"))->click();
    EXPECT_EQ(edit->text(), QStringLiteral("議事録.txt"));
    EXPECT_EQ(ReadAll(dir / "議事録.txt"), "会議\n\n");
    EXPECT_EQ(launcher.opened.back(), (dir / "議事録.txt").string());

    // A text typed into the field is what the buttons act on.
    edit->setText(QStringLiteral("https://example.com/"));
    prompter.Then(Answer::Yes);
    Button(dialog, QStringLiteral("削除(&D)"))->click();
    EXPECT_EQ(edit->text(), QString());
    EXPECT_TRUE(fs::exists(dir / "議事録.txt"));

    edit->setText(QStringLiteral("議事録.txt"));
    Button(dialog, QStringLiteral("削除(&D)"))->click();
    EXPECT_FALSE(fs::exists(dir / "議事録.txt"));
    EXPECT_EQ(edit->text(), QString());

    edit->setText(QStringLiteral("残す.txt"));
    dialog.show();
    Save(dialog, "link_dialog.png");
    dialog.accept();
    EXPECT_EQ(dialog.Link(), "残す.txt");
}

TEST_F(LinkTest, TheOptionsDialogEnablesTheFolderOnlyForTheThirdMode) {
    LinkSettings current;
    current.newDir = "/srv/links";
    CLinkFileOptDlg dialog(current);
    auto radios = dialog.findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 3);
    EXPECT_TRUE(radios[0]->isChecked());
    auto* folder = dialog.findChild<QLineEdit*>();
    EXPECT_FALSE(folder->isEnabled());
    radios[2]->setChecked(true);
    EXPECT_TRUE(folder->isEnabled());
    folder->setText(QStringLiteral("/home/u/links"));
    dialog.show();
    Save(dialog, "link_options.png");
    dialog.accept();
    EXPECT_EQ(dialog.Settings().newDirMode, 2);
    EXPECT_EQ(dialog.Settings().newDir, "/home/u/links");
}

TEST_F(LinkTest, OpenLinkAsksForALinkStoresItAndLaunchesTheNewFile) {
    CAlmxData record;
    record.title = "会議";
    record.start = record.end = DateTime::FromDate(2024, 2, 12);
    record.alarmMinutes = -1;
    host->Document().Records().push_back(record);
    host->Document().SetModified(false);

    OnNextDialog([](QDialog& prompt) {
        auto* edit = prompt.findChild<QLineEdit*>();
        // The prompt offers the default name in the document's folder.
        EXPECT_TRUE(edit->text().endsWith(QStringLiteral("/会議.txt")));
        edit->setText(QStringLiteral("会議.txt"));
        prompt.accept();
    });
    prompter.Then(Answer::Yes);  // create the missing file
    EXPECT_TRUE(OpenLink(nullptr, *host, Environment(), &host->Document().Records()[0]));
    EXPECT_EQ(host->Document().Records()[0].linkFile, "会議.txt");
    EXPECT_TRUE(host->Document().IsModified());
    EXPECT_EQ(ReadAll(dir / "会議.txt"), "会議\n\n");
    EXPECT_EQ(launcher.opened, (std::vector<std::string>{(dir / "会議.txt").string()}));
}

TEST_F(LinkTest, TheDayListOpensTheSelectedEntrysLink) {
    CAlmxData record;
    record.title = "資料";
    record.start = record.end = DateTime::FromDate(2024, 2, 12);
    record.alarmMinutes = -1;
    record.linkFile = "https://example.com/a";
    host->Document().Records().push_back(record);

    CDayView view(*host, settings, prompter, clock);
    view.SetMonthLink({[] { return std::optional<DateTime>(DateTime::FromDate(2024, 2, 12)); },
                       nullptr, nullptr, nullptr});
    EXPECT_FALSE(view.CommandStatus(32829)->enabled);
    EntryActions actions;
    const EntryEnvironment env = Environment();
    actions.openLink = [&](const CAlmxData* entry) { return OpenLink(&view, *host, env, entry); };
    view.SetEntryActions(actions);
    view.show();
    view.List().SelectRow(0);
    EXPECT_TRUE(view.CommandStatus(32829)->enabled);
    EXPECT_TRUE(view.OnCommand(32829));
    EXPECT_EQ(launcher.opened, (std::vector<std::string>{"https://example.com/a"}));
}

}  // namespace
}  // namespace almx
