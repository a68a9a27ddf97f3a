// The genre dialogs bound to their forms: the list dialog's buttons, the edit dialog's
// refusal, the genre-file button, the many-records dialog and its confirmation.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/genre.h"
#include "core/record.h"
#include "core/record_list.h"
#include "core/ui/genre_dialogs.h"

namespace almx {
namespace {

CAlmxData Record(const char* title, int genre, std::uint32_t colour) {
    CAlmxData record;
    record.title = title;
    record.genre = genre;
    record.colour = colour;
    record.start = DateTime::FromParts(2025, 5, 3, 9, 0);
    record.end = DateTime::FromParts(2025, 5, 3, 10, 0);
    return record;
}

QPushButton* Button(QWidget& dialog, const QString& text) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == text) return button;
    }
    return nullptr;
}

QStringList Rows(const CFieldMainDlg& dialog) {
    QStringList rows;
    for (int i = 0; i < dialog.List()->count(); ++i) rows << dialog.List()->item(i)->text();
    return rows;
}

class GenreDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        genres_.Append(CAlmxField("一般", 0x000001));
        genres_.Append(CAlmxField("仕事", 0x000002));
        genres_.Append(CAlmxField("趣味", 0x000003, 0));
        genres_.Append(CAlmxField("家族", 0x000004));
        dialog_ = std::make_unique<CFieldMainDlg>(
            genres_, records_, prompter_, GenreFileContext{&settings_, "/nowhere", &defaults_});
        dialog_->editGenre = [this](const CAlmxField& genre) -> std::optional<CAlmxField> {
            edited_.push_back(genre.name);
            return next_;
        };
    }

    void Select(int row) { dialog_->List()->setCurrentRow(row); }
    void Click(const QString& text) {
        QPushButton* button = Button(*dialog_, text);
        ASSERT_NE(button, nullptr) << text.toStdString();
        ASSERT_TRUE(button->isEnabled()) << text.toStdString();
        button->click();
    }

    CAlmxFieldArray genres_;
    CAlmxFieldArray defaults_ = CAlmxFieldArray::General();
    RecordList records_{Record("a", 1, 0x000002), Record("b", 2, 0x000003),
                        Record("c", 3, 0x000004), Record("d", 1, 0x00ABCD)};
    MemorySettingsStore settings_;
    ScriptedPrompter prompter_;
    std::unique_ptr<CFieldMainDlg> dialog_;
    std::optional<CAlmxField> next_;
    std::vector<std::string> edited_;
};

TEST_F(GenreDialogTest, TheListMarksHiddenGenresAndTheButtonsFollowTheSelection) {
    EXPECT_EQ(dialog_->windowTitle(), QStringLiteral("ジャンル設定"));
    EXPECT_EQ(Rows(*dialog_), (QStringList{"一般", "仕事", "[非表示]趣味", "家族"}));
    Select(0);
    EXPECT_FALSE(Button(*dialog_, "削除(&D)")->isEnabled());
    EXPECT_FALSE(Button(*dialog_, "↑")->isEnabled());
    Select(1);
    EXPECT_FALSE(Button(*dialog_, "↑")->isEnabled());
    EXPECT_TRUE(Button(*dialog_, "↓")->isEnabled());
    Select(2);
    EXPECT_NE(Button(*dialog_, "表示(&V)"), nullptr);
    Click("表示(&V)");
    EXPECT_EQ(Rows(*dialog_)[2], QStringLiteral("趣味"));
    EXPECT_NE(Button(*dialog_, "非表示(&V)"), nullptr);
    Select(3);
    EXPECT_FALSE(Button(*dialog_, "↓")->isEnabled());
}

TEST_F(GenreDialogTest, AddAndModifyThroughTheEditDialog) {
    next_ = CAlmxField("旅行", 0x00FF00);
    Click("追加(&A)...");
    EXPECT_EQ(genres_.Count(), 5u);
    EXPECT_EQ(dialog_->Current(), 4);
    EXPECT_EQ(Rows(*dialog_).back(), QStringLiteral("旅行"));

    // A new colour goes to the genre's records that still had the old one.
    Select(1);
    next_ = CAlmxField("仕事2", 0x0000FF);
    Click("修正(&M)...");
    EXPECT_EQ(edited_.back(), "仕事");
    EXPECT_EQ(genres_.At(1)->name, "仕事2");
    EXPECT_EQ(records_[0].colour, 0x0000FFu);
    EXPECT_EQ(records_[3].colour, 0x00ABCDu);

    // Cancelling the edit dialog changes nothing.
    next_.reset();
    Click("修正(&M)...");
    EXPECT_EQ(genres_.At(1)->name, "仕事2");
}

TEST_F(GenreDialogTest, DeleteAsksAndRenumbersTheRecords) {
    Select(2);
    prompter_.Then(Answer::No);
    Click("削除(&D)");
    EXPECT_EQ(genres_.Count(), 4u);
    prompter_.Then(Answer::Yes);
    Click("削除(&D)");
    EXPECT_EQ(prompter_.Shown(),
              (std::vector<std::string>{"趣味 を削除しますか？", "趣味 を削除しますか？"}));
    EXPECT_EQ(Rows(*dialog_), (QStringList{"一般", "仕事", "家族"}));
    EXPECT_EQ(records_[1].genre, 0);
    EXPECT_EQ(records_[1].colour, 0x000001u);
    EXPECT_EQ(records_[2].genre, 2);
    // The general genre stays: its delete button is off, and the form refuses it anyway.
    Select(0);
    dialog_->Delete();
    EXPECT_TRUE(prompter_.Saw("一般フィールドは削除できません"));
}

TEST_F(GenreDialogTest, MovingSwapsGenresAndRecordNumbers) {
    Select(3);
    Click("↑");
    EXPECT_EQ(dialog_->Current(), 2);
    EXPECT_EQ(Rows(*dialog_), (QStringList{"一般", "仕事", "家族", "[非表示]趣味"}));
    EXPECT_EQ(records_[1].genre, 3);
    EXPECT_EQ(records_[2].genre, 2);
    Select(1);
    Click("↓");
    EXPECT_EQ(dialog_->Current(), 2);
    EXPECT_EQ(genres_.At(2)->name, "仕事");
    EXPECT_EQ(records_[0].genre, 2);
}

TEST_F(GenreDialogTest, UnifyColoursAfterTheQuestion) {
    Select(1);
    prompter_.Then(Answer::Yes);
    Click("色統一(&U)");
    EXPECT_EQ(prompter_.Shown().back(),
              "仕事 のスケジュール全ての色をジャンルで指定した色に統一しますか？");
    EXPECT_EQ(records_[3].colour, 0x000002u);
}

TEST_F(GenreDialogTest, TheGenreFileButtonStoresThePath) {
    std::string offered;
    dialog_->chooseGenreFile = [&](const std::string& current) -> std::optional<std::string> {
        offered = current;
        return std::string("/tmp/almx-no-such-genres.dat");
    };
    Click("ファイル設定(&F)...");
    EXPECT_EQ(offered, "/nowhere/sfield.dat");
    EXPECT_EQ(settings_.GetString("Field", "File", ""), "/tmp/almx-no-such-genres.dat");
    // The file does not exist: the default list stays.
    EXPECT_EQ(defaults_.Names(), std::vector<std::string>{"一般"});
}

TEST(GenreEditDialog, ANameTheFileCannotHoldIsRefused) {
    ScriptedPrompter prompter;
    CFieldEditDlg dialog(CAlmxField("旧名", 0x010203), prompter);
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("name"));
    ASSERT_NE(name, nullptr);
    name->setText(QStringLiteral("遊び😀"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(prompter.Shown(), std::vector<std::string>{"ジャンル名に使えない文字があります：😀"});
    EXPECT_EQ(dialog.Result().name, "旧名");
    name->setText(QStringLiteral("遊び"));
    dialog.findChild<QCheckBox*>()->setChecked(false);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Result().name, "遊び");
    EXPECT_EQ(dialog.Result().shown, 0);
    EXPECT_EQ(dialog.Result().colour, 0x010203u);
}

TEST(GenreMultiDialog, TheConditionAndTheTargetGenre) {
    CAlmxFieldArray genres = CAlmxFieldArray::General();
    genres.Append(CAlmxField("仕事"));
    CFieldMultiDlg dialog(genres);
    EXPECT_EQ(dialog.Genre()->count(), 2);
    dialog.Text()->setText(QStringLiteral("会議"));
    dialog.Genre()->setCurrentIndex(1);
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
        box->setChecked(box->text().startsWith(QStringLiteral("全角")));
    }
    GenreSearchCondition condition = dialog.Condition();
    EXPECT_EQ(condition.text, "会議");
    EXPECT_FALSE(condition.caseSensitive);
    EXPECT_TRUE(condition.widthSensitive);
    EXPECT_EQ(condition.targets, 1);  // none ticked: the title
    EXPECT_EQ(dialog.TargetGenre(), 1);
}

// Clicks a button of the confirmation once it is open.
void AnswerConfirmation(const QString& button) {
    QTimer::singleShot(0, [button] {
        auto* dialog = qobject_cast<CFMultiCheck*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        Button(*dialog, button)->click();
    });
}

TEST(GenreChangeConfirmation, EachRecordIsShownAndChangeAllStopsAsking) {
    CAlmxFieldArray genres = CAlmxFieldArray::General();
    genres.Append(CAlmxField("仕事", 0x0000FF));
    RecordList records{Record("会議A", 0, 1), Record("昼食", 0, 2), Record("会議B", 0, 3),
                       Record("会議C", 0, 4)};
    ScriptedPrompter inner;
    GenreChangePrompter prompter(inner, nullptr);
    GenreSearchCondition condition;
    condition.text = "会議";

    AnswerConfirmation(QStringLiteral("いいえ"));
    QTimer::singleShot(50, [] { AnswerConfirmation(QStringLiteral("全て変更")); });
    const int changed = SetGenreOnRecords(records, genres, condition, 1, prompter);
    EXPECT_EQ(changed, 2);
    EXPECT_EQ(records[0].genre, 0);
    EXPECT_EQ(records[1].genre, 0);
    EXPECT_EQ(records[2].genre, 1);
    EXPECT_EQ(records[2].colour, 0x0000FFu);
    EXPECT_EQ(records[3].genre, 1);
    // Only the count went to the program's prompter.
    EXPECT_EQ(inner.Shown(), std::vector<std::string>{"2個のデータのジャンルを変更しました"});

    // Other named dialogs pass through.
    inner.ThenButton(1);
    EXPECT_EQ(prompter.AskButtons("繰り返しスケジュールの削除", "?", {"a", "b"}), 1);
}

TEST(GenreChangeConfirmation, ClosingTheWindowStops) {
    CFMultiCheck dialog("開始：2025/05/03");
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ジャンル変更の確認"));
    dialog.show();
    dialog.close();
    EXPECT_EQ(dialog.Answer(), StopChanging);
    Button(dialog, QStringLiteral("はい"))->click();
    EXPECT_EQ(dialog.Answer(), ChangeThis);
}

}  // namespace
}  // namespace almx
