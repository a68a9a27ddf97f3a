// The diary's three dialogs as a user meets them: their fields and buttons, what OK stores,
// what they refuse, and the system dialogs their buttons open.

#include "reminders/ui/diary_dialogs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/text_entry_check.h"
#include "document/document.h"
#include "document/schedule_file_writer.h"
#include "links/file_launcher.h"
#include "reminders/diary_store.h"
#include "ui/document_host.h"
#include "ui/qt_colour.h"

namespace almx {
namespace {

namespace fs = std::filesystem;

class RecordingLauncher : public FileLauncher {
  public:
    int Open(const std::string& target, const std::string& parameters) override {
        opened.push_back(target);
        this->parameters.push_back(parameters);
        return launch::kSuccess;
    }
    std::vector<std::string> opened;
    std::vector<std::string> parameters;
};

QPushButton* Button(QWidget& dialog, const QString& text) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == text) return button;
    return nullptr;
}

// Runs act on the next modal dialog of type T (the system dialogs a button opens, or a dialog
// run with exec). Gives up after a few seconds so a dialog that never comes fails the test.
template <typename T>
QPointer<QTimer> WhenModal(std::function<void(T&)> act) {
    auto* timer = new QTimer;
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, ticks, act] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog && ++*ticks < 500) return;
        timer->stop();
        timer->deleteLater();
        if (dialog) act(*dialog);
    });
    timer->start(10);
    return timer;
}

class DiaryDialogsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/almx-diarydlg-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
    }
    void TearDown() override {
        host_.reset();
        std::error_code error;
        fs::remove_all(root_, error);
    }
    DocumentContext Context() {
        DocumentContext context;
        context.settings = &settings_;
        context.prompter = &prompter_;
        context.clock = &clock_;
        context.computerName = "test";
        return context;
    }
    // A document from a file (read-only when asked) with its diary in folder.
    void OpenDocument(const std::string& folder, bool readOnly = false) {
        CAlmxArray content;
        content.diaryFolder = folder;
        const std::string path = root_ + "/plan.alx";
        std::ofstream(path, std::ios::binary) << WriteScheduleFile(content).bytes;
        if (readOnly) ::chmod(path.c_str(), 0444);
        auto document = std::make_unique<CAlmxDoc>(Context());
        ASSERT_TRUE(document->Open(path));
        host_ = std::make_unique<DocumentHost>(std::move(document));
        host_->AttachDiary(prompter_, nullptr, &launcher_, root_ + "/default");
    }
    void Touch(const std::string& folder, const std::string& name) {
        fs::create_directories(folder);
        std::ofstream(folder + "/" + name, std::ios::binary) << "x";
    }

    std::string root_;
    MemorySettingsStore settings_;
    ScriptedPrompter prompter_;
    ManualClock clock_{DateTime::FromParts(2024, 1, 5, 9, 0)};
    RecordingLauncher launcher_;
    std::unique_ptr<DocumentHost> host_;
};

TEST_F(DiaryDialogsTest, TheFolderDialogShowsTheFolderBrowsesAndRefusesWhatTheFileCannotHold) {
    CDiaryDirDlg dialog("/home/u/日記", prompter_);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("日記ディレクトリ"));
    EXPECT_EQ(dialog.folderEdit->text(), QStringLiteral("/home/u/日記"));
    QLabel* label = nullptr;
    for (QLabel* l : dialog.findChildren<QLabel*>())
        if (l->text() == QStringLiteral("日記を置くディレクトリ(&D)")) label = l;
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->buddy(), dialog.folderEdit);
    ASSERT_NE(Button(dialog, QStringLiteral("キャンセル")), nullptr);
    QPushButton* browse = Button(dialog, QStringLiteral("参照(&B)..."));
    ASSERT_NE(browse, nullptr);
    dialog.show();

    // The browser: its title, folders only; what it gives goes into the field.
    fs::create_directories(root_ + "/chosen");
    bool browsed = false;
    WhenModal<QFileDialog>([&](QFileDialog& files) {
        browsed = true;
        EXPECT_EQ(files.windowTitle(), QStringLiteral("日記ディレクトリ"));
        EXPECT_EQ(files.fileMode(), QFileDialog::Directory);
        EXPECT_TRUE(files.testOption(QFileDialog::ShowDirsOnly));
        files.setDirectory(QString::fromStdString(root_));
        files.selectFile(QString::fromStdString(root_ + "/chosen"));
        static_cast<QDialog&>(files).accept();  // protected in QFileDialog
    });
    browse->click();
    EXPECT_TRUE(browsed);
    EXPECT_EQ(dialog.Folder(), root_ + "/chosen");

    // A cancelled browser leaves the field as it was.
    WhenModal<QFileDialog>([](QFileDialog& files) { files.reject(); });
    browse->click();
    EXPECT_EQ(dialog.Folder(), root_ + "/chosen");

    // OK on a folder the schedule file cannot hold: named, and the dialog stays.
    dialog.folderEdit->setText(QStringLiteral("/home/u/journal-ñ"));
    dialog.accept();
    EXPECT_EQ(prompter_.Shown().back(), UnrepresentableMessage("日記フォルダ", "ñ"));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);
    dialog.folderEdit->setText(QStringLiteral("~/日誌"));
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(DiaryDialogsTest, OkOnTheFolderDialogStoresTheFolderRescansAndMarksTheDocument) {
    OpenDocument(root_ + "/old");
    Touch(root_ + "/new", "20240105.TXT");
    host_->Document().SetModified(false);
    ASSERT_FALSE(host_->Diary()->HasDiary(DateTime::FromDate(2024, 1, 5)));

    // Cancel changes nothing.
    WhenModal<CDiaryDirDlg>([&](CDiaryDirDlg& dialog) {
        EXPECT_EQ(dialog.Folder(), root_ + "/old");
        dialog.folderEdit->setText(QString::fromStdString(root_ + "/new"));
        Button(dialog, QStringLiteral("キャンセル"))->click();
    });
    EditDiaryFolder(nullptr, *host_, prompter_);
    EXPECT_EQ(host_->Document().Array().diaryFolder, root_ + "/old");
    EXPECT_FALSE(host_->Document().IsModified());

    WhenModal<CDiaryDirDlg>([&](CDiaryDirDlg& dialog) {
        dialog.folderEdit->setText(QString::fromStdString(root_ + "/new"));
        dialog.accept();
    });
    EditDiaryFolder(nullptr, *host_, prompter_);
    EXPECT_EQ(host_->Document().Array().diaryFolder, root_ + "/new");
    EXPECT_TRUE(host_->Document().IsModified());
    EXPECT_TRUE(host_->Diary()->HasDiary(DateTime::FromDate(2024, 1, 5)));
    EXPECT_FALSE(fs::exists(root_ + "/old")) << "choosing a folder creates nothing";
}

TEST_F(DiaryDialogsTest, AReadOnlyDocumentKeepsItsFolderWithoutOpeningTheDialog) {
    OpenDocument(root_ + "/old", true);
    ASSERT_TRUE(host_->Document().IsReadOnly());
    bool opened = false;
    QPointer<QTimer> waiting = WhenModal<CDiaryDirDlg>([&](CDiaryDirDlg& dialog) {
        opened = true;
        dialog.reject();
    });
    EditDiaryFolder(nullptr, *host_, prompter_);
    EXPECT_FALSE(opened);
    EXPECT_EQ(prompter_.Shown().back(), "読み取り専用ファイルのため、変更は反映されません");
    EXPECT_EQ(host_->Document().Array().diaryFolder, root_ + "/old");
    delete waiting.data();
}

TEST_F(DiaryDialogsTest, TheListShowsTheDayFilesSortedAndOpensTheChosenOne) {
    const std::string folder = root_ + "/diary";
    OpenDocument(folder);
    for (const char* name : {"20240106.TXT", "20240105.txt", "20240230.TXT", "2024015.TXT",
                             "diary.txt", "20240105.doc", "2024010a.txt", "202401055.TXT"})
        Touch(folder, name);
    CDiaryListDlg dialog(*host_->Diary(), &launcher_);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("日記リスト"));
    ASSERT_EQ(dialog.list->count(), 3);
    EXPECT_EQ(dialog.list->item(0)->text(), QStringLiteral("20240105.txt"));
    EXPECT_EQ(dialog.list->item(1)->text(), QStringLiteral("20240106.TXT"));
    EXPECT_EQ(dialog.list->item(2)->text(), QStringLiteral("20240230.TXT"));
    EXPECT_EQ(dialog.list->currentRow(), 0);
    dialog.show();

    Button(dialog, QStringLiteral("開く"))->click();
    dialog.list->setCurrentRow(2);
    emit dialog.list->itemDoubleClicked(dialog.list->item(2));
    EXPECT_EQ(launcher_.opened,
              (std::vector<std::string>{folder + "/20240105.txt", folder + "/20240230.TXT"}));
    EXPECT_EQ(launcher_.parameters, (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(dialog.isVisible()) << "opening a file keeps the list";

    Button(dialog, QStringLiteral("閉じる"))->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(DiaryDialogsTest, TheListOfAMissingFolderIsEmptyCreatesNothingAndOpensNothing) {
    OpenDocument(root_ + "/missing");
    CDiaryListDlg dialog(*host_->Diary(), &launcher_);
    EXPECT_EQ(dialog.list->count(), 0);
    Button(dialog, QStringLiteral("開く"))->click();
    EXPECT_TRUE(launcher_.opened.empty());
    EXPECT_FALSE(fs::exists(root_ + "/missing"));
}

TEST_F(DiaryDialogsTest, TheMarkDialogStoresItsTypeOnOkAndColourAndFontAtOnce) {
    DisplaySettings display;
    display.diaryIconType = 2;
    CDiaryIconDlg dialog(display, settings_);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("日記有り表示の設定"));
    ASSERT_EQ(dialog.iconBox->count(), 3);
    EXPECT_EQ(dialog.iconBox->itemText(0), QStringLiteral("日記アイコン大"));
    EXPECT_EQ(dialog.iconBox->itemText(1), QStringLiteral("日記アイコン小"));
    EXPECT_EQ(dialog.iconBox->itemText(2), QStringLiteral("[D]文字"));
    EXPECT_EQ(dialog.iconBox->currentIndex(), 2);
    bool labelled = false;
    for (QLabel* l : dialog.findChildren<QLabel*>())
        labelled |= l->text() == QStringLiteral("アイコン(&I):") && l->buddy() == dialog.iconBox;
    EXPECT_TRUE(labelled);
    dialog.show();

    // The colour chooser starts on the mark's colour; its OK stores at once.
    const std::uint32_t before = display.diaryIconColor;
    WhenModal<QColorDialog>([&](QColorDialog& colours) {
        EXPECT_EQ(colours.currentColor(), ToQColor(before));
        colours.setCurrentColor(QColor(1, 2, 3));
        colours.accept();
    });
    Button(dialog, QStringLiteral("色の設定(&C)..."))->click();
    EXPECT_EQ(display.diaryIconColor, 0x030201u);
    EXPECT_EQ(settings_.GetString("View", "DiaryIconColor", ""), "197121");
    // Its Cancel keeps the colour.
    WhenModal<QColorDialog>([](QColorDialog& colours) {
        colours.setCurrentColor(QColor(9, 9, 9));
        colours.reject();
    });
    Button(dialog, QStringLiteral("色の設定(&C)..."))->click();
    EXPECT_EQ(display.diaryIconColor, 0x030201u);

    WhenModal<QFontDialog>([](QFontDialog& fonts) {
        QFont font = fonts.currentFont();
        font.setFamily(QStringLiteral("DejaVu Serif"));
        font.setPixelSize(23);
        font.setItalic(true);
        fonts.setCurrentFont(font);
        fonts.accept();
    });
    Button(dialog, QStringLiteral("フォントの設定(&F)..."))->click();
    EXPECT_EQ(display.diaryIconFont.italic, 1);
    EXPECT_EQ(settings_.GetInt("DiaryIconFont", "Italic", 0), 1);
    EXPECT_EQ(settings_.GetString("DiaryIconFont", "FaceName", ""), display.diaryIconFont.faceName);
    EXPECT_EQ(settings_.GetInt("DiaryIconFont", "Size", 0), display.diaryIconFont.size);
    EXPECT_LT(display.diaryIconFont.size, 0);

    // The type waits for OK: Cancel keeps it, OK writes it.
    dialog.iconBox->setCurrentIndex(0);
    dialog.reject();
    EXPECT_EQ(display.diaryIconType, 2);
    EXPECT_EQ(settings_.GetInt("View", "DiaryIconType", -1), -1);
    CDiaryIconDlg again(display, settings_);
    again.iconBox->setCurrentIndex(1);
    again.accept();
    EXPECT_EQ(display.diaryIconType, 1);
    EXPECT_EQ(settings_.GetInt("View", "DiaryIconType", -1), 1);
}

TEST_F(DiaryDialogsTest, AStoredMarkTypeOutOfRangeShowsTheNearestEntry) {
    DisplaySettings display;
    display.diaryIconType = 7;
    EXPECT_EQ(CDiaryIconDlg(display, settings_).iconBox->currentIndex(), 2);
    display.diaryIconType = -3;
    EXPECT_EQ(CDiaryIconDlg(display, settings_).iconBox->currentIndex(), 0);
}

}  // namespace
}  // namespace almx
