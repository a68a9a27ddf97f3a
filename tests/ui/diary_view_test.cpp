#include "views/diary_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "document/document.h"
#include "links/file_launcher.h"
#include "ui/calendar_ctrl.h"
#include "ui/font_faces.h"
#include "views/day_view.h"

namespace almx {
namespace {

namespace fs = std::filesystem;

DateTime D(int y, int m, int d) {
    return DateTime::FromDate(y, m, d);
}

class RemovingTrash : public FileTrash {
  public:
    bool MoveToTrash(const std::string& path) override {
        trashed.push_back(path);
        return fs::remove(path);
    }
    std::vector<std::string> trashed;
};

class TestDiaryView : public CDiaryView {
  public:
    using CDiaryView::CDiaryView;
    std::optional<int> daySpan;
    std::optional<DateTime> date;
    std::optional<WordQuery> query;
    std::optional<int> hit;
    std::vector<std::string> hitNames;
    std::optional<FontSpec> chosenFont;

  protected:
    std::optional<FontSpec> ChooseFont(const FontSpec&) override { return chosenFont; }
    std::optional<DateTime> AskDate(const DateTime&) override { return date; }
    std::optional<int> AskDaySpan() override { return daySpan; }
    std::optional<WordQuery> AskSearch() override { return query; }
    std::optional<int> ChooseHit(const std::vector<DiaryHit>& hits, const WordQuery&) override {
        hitNames.clear();
        for (const DiaryHit& h : hits) hitNames.push_back(h.name);
        return hit;
    }
};

class DiaryViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/almx-diaryview-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        DocumentContext context;
        context.settings = &settings_;
        context.prompter = &prompter_;
        context.clock = &clock_;
        host_ = std::make_unique<DocumentHost>(std::make_unique<CAlmxDoc>(context));
        host_->Document().Array().diaryFolder = root_ + "/diary";
        host_->AttachDiary(prompter_, &trash_, nullptr, root_ + "/default");
    }
    void TearDown() override {
        view_.reset();
        host_.reset();
        fs::remove_all(root_);
    }
    TestDiaryView& View() {
        if (!view_) {
            view_ = std::make_unique<TestDiaryView>(*host_, display_, settings_, prompter_, clock_);
            view_->resize(700, 480);
        }
        return *view_;
    }
    std::string Text() { return View().Editor().toPlainText().toStdString(); }
    void Type(const QString& text) {
        View().Editor().insertPlainText(text);  // marks the document modified, as typing does
    }
    std::string File(const char* name) {
        std::ifstream in(root_ + "/diary/" + name, std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }
    bool Exists(const char* name) { return fs::exists(root_ + "/diary/" + name); }

    std::string root_;
    MemorySettingsStore settings_;
    DisplaySettings display_;
    ScriptedPrompter prompter_;
    ManualClock clock_{DateTime::FromParts(2024, 1, 5, 9, 0)};
    RemovingTrash trash_;
    std::unique_ptr<DocumentHost> host_;
    std::unique_ptr<TestDiaryView> view_;
};

TEST_F(DiaryViewTest, ANewDayShowsItsDateLineWithTheCaretOnTheEmptyLineAndLeavesNoFile) {
    EXPECT_EQ(View().Date(), D(2024, 1, 5));
    EXPECT_EQ(Text(), "1月 5日(金) \n\n");
    const int length = View().Editor().toPlainText().size();
    EXPECT_EQ(View().Editor().textCursor().position(), length - 1);
    EXPECT_EQ(View().Calendar().Rows(), 6);
    EXPECT_EQ(View().DayList().List().ListKind(), CDayListBox::DiaryViewList);

    View().OnCommand(32776);  // next day
    EXPECT_EQ(View().Date(), D(2024, 1, 6));
    EXPECT_EQ(Text(), "1月 6日(土) \n\n");
    EXPECT_FALSE(fs::exists(root_ + "/diary")) << "moving without typing writes nothing";
}

TEST_F(DiaryViewTest, LeavingADaySavesItsTextAndErasingItSendsTheFileToTheTrash) {
    Type(QStringLiteral("晴れ"));
    View().OnCommand(32776);
    EXPECT_EQ(File("20240105.TXT"), "1\x8c\x8e 5\x93\xfa(\x8b\xe0) \r\n\x90\xb0\x82\xea\r\n");
    EXPECT_TRUE(host_->Diary()->HasDiary(D(2024, 1, 5)));

    View().OnCommand(32777);  // back
    EXPECT_EQ(Text(), "1月 5日(金) \n晴れ\n");
    View().Editor().selectAll();
    View().Editor().textCursor().removeSelectedText();
    View().OnCommand(32772);  // next week
    EXPECT_EQ(View().Date(), D(2024, 1, 12));
    EXPECT_FALSE(Exists("20240105.TXT"));
    EXPECT_EQ(trash_.trashed.size(), 1u);
    EXPECT_FALSE(host_->Diary()->HasDiary(D(2024, 1, 5)));
}

TEST_F(DiaryViewTest, AFailedSaveKeepsTheDayAndItsTextAndClosingAsks) {
    Type(QStringLiteral("絵文字😀"));
    View().OnCommand(32776);
    EXPECT_EQ(View().Date(), D(2024, 1, 5)) << "the view stays on the day it could not save";
    EXPECT_NE(Text().find("絵文字😀"), std::string::npos);
    EXPECT_EQ(View().Calendar().Date(), D(2024, 1, 5));
    ASSERT_FALSE(prompter_.Shown().empty());
    EXPECT_NE(prompter_.Shown().back().find("😀"), std::string::npos);

    // A click on another day of the calendar is refused the same way.
    View().Calendar().SetDate(D(2024, 1, 9));
    EXPECT_EQ(View().Date(), D(2024, 1, 5));
    EXPECT_EQ(View().Calendar().Date(), D(2024, 1, 5));

    prompter_.Then(Answer::No);
    EXPECT_FALSE(View().MayClose());
    EXPECT_TRUE(prompter_.Saw(diary_view_msg::kAskDiscard));
    prompter_.Then(Answer::Yes);
    EXPECT_TRUE(View().MayClose());
}

TEST_F(DiaryViewTest, MonthAndYearStepsAndTheRangeEnds) {
    View().GoTo(D(2023, 1, 31));
    View().OnCommand(32769);  // next month: the 31 days of January
    EXPECT_EQ(View().Date(), D(2023, 3, 3));
    View().OnCommand(32770);  // previous month: the 28 days of February
    EXPECT_EQ(View().Date(), D(2023, 2, 3));
    View().GoTo(D(2024, 2, 29));
    View().OnCommand(32909);
    EXPECT_EQ(View().Date(), D(2025, 2, 28));
    View().GoTo(D(9998, 12, 31));
    View().OnCommand(32776);
    EXPECT_EQ(View().Date(), D(9998, 12, 31));
    View().daySpan = 10;
    View().GoTo(D(2024, 1, 1));
    View().OnCommand(32774);
    EXPECT_EQ(View().Date(), D(2024, 1, 11));
    View().date = D(2024, 7, 7);
    View().OnCommand(32771);
    EXPECT_EQ(View().Date(), D(2024, 7, 7));
    View().OnCommand(32775);
    EXPECT_EQ(View().Date(), D(2024, 1, 5));
}

TEST_F(DiaryViewTest, TheCalendarsArrowKeysMoveByDaysAndWeeks) {
    View().show();
    View().Calendar().setFocus();
    QTest::keyClick(&View().Calendar(), Qt::Key_Right);
    EXPECT_EQ(View().Date(), D(2024, 1, 6));
    QTest::keyClick(&View().Calendar(), Qt::Key_Down);
    EXPECT_EQ(View().Date(), D(2024, 1, 13));
    QTest::keyClick(&View().Calendar(), Qt::Key_Up);
    QTest::keyClick(&View().Calendar(), Qt::Key_Left);
    EXPECT_EQ(View().Date(), D(2024, 1, 5));
}

TEST_F(DiaryViewTest, AFileChangedOnDiskReloadsAnUnmodifiedDayAndAsksBeforeOverwriting) {
    fs::create_directories(root_ + "/diary");
    std::ofstream(root_ + "/diary/20240105.txt", std::ios::binary) << "first\r\n";
    host_->RescanDiary();
    EXPECT_EQ(Text(), "first\n");

    std::ofstream(root_ + "/diary/20240105.txt", std::ios::binary) << "changed outside\r\n";
    View().CheckDisk();
    EXPECT_EQ(Text(), "changed outside\n");

    std::ofstream(root_ + "/diary/20240105.txt", std::ios::binary) << "again, elsewhere\r\n";
    Type(QStringLiteral("mine "));
    prompter_.Then(Answer::No);
    View().OnCommand(32776);
    EXPECT_TRUE(prompter_.Saw(diary_msg::kChangedOnDisk));
    EXPECT_EQ(View().Date(), D(2024, 1, 5));
    EXPECT_EQ(File("20240105.txt"), "again, elsewhere\r\n");
}

TEST_F(DiaryViewTest, WithImeOnTheEditorTakesInputWithTheDiaryFontAsItsCompositionFont) {
    settings_.SetString("DiaryFont", "FaceName", "DejaVu Serif");
    settings_.SetInt("DiaryFont", "Size", -29);
    settings_.SetInt("DiaryFont", "Italic", 1);
    settings_.SetInt("System", "Ime", 1);
    const QFont diaryFont = FontFromSpec(DiaryFontSpec(settings_));
    QPlainTextEdit& editor = View().Editor();
    View().show();
    QFocusEvent focusIn(QEvent::FocusIn, Qt::OtherFocusReason);
    QApplication::sendEvent(&editor, &focusIn);

    EXPECT_TRUE(editor.testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_TRUE(editor.inputMethodQuery(Qt::ImEnabled).toBool());
    // Anywhere in the text, typed text included, the composition takes the diary font.
    for (int move : {0, 1}) {
        if (move) {
            Type(QStringLiteral("曇り"));
            editor.moveCursor(QTextCursor::Start);
        }
        const QFont composing = editor.inputMethodQuery(Qt::ImFont).value<QFont>();
        EXPECT_EQ(composing.family(), diaryFont.family());
        EXPECT_EQ(composing.pixelSize(), diaryFont.pixelSize());
        EXPECT_EQ(composing.italic(), diaryFont.italic());
    }

    // "本文" changes the font: the composition follows it.
    FontSpec bigger = DiaryFontSpec(settings_);
    bigger.size = -41;
    View().chosenFont = bigger;
    View().OnCommand(32779);
    EXPECT_EQ(editor.inputMethodQuery(Qt::ImFont).value<QFont>().pixelSize(),
              FontFromSpec(bigger).pixelSize());

    // A day shown read-only takes no input, the input method included.
    fs::create_directories(root_ + "/diary");
    std::ofstream(root_ + "/diary/20240106.TXT", std::ios::binary) << std::string("a\0b", 3);
    View().OnCommand(32776);
    ASSERT_TRUE(editor.isReadOnly());
    QApplication::sendEvent(&editor, &focusIn);
    EXPECT_FALSE(editor.testAttribute(Qt::WA_InputMethodEnabled));
}

TEST_F(DiaryViewTest, RemoveSearchAndTimeDisplay) {
    Type(QStringLiteral("会議の記録"));
    View().OnCommand(32776);
    Type(QStringLiteral("散歩"));

    View().query = WordQuery{"会議", {}};
    View().hit = 0;
    View().OnCommand(32941);
    EXPECT_EQ(View().hitNames, std::vector<std::string>{"20240105.TXT"});
    EXPECT_EQ(View().Date(), D(2024, 1, 5));
    EXPECT_TRUE(Exists("20240106.TXT")) << "the search saved the day it left";

    View().query = WordQuery{"ない言葉", {}};
    View().OnCommand(32941);
    EXPECT_EQ(prompter_.Shown().back(), "見つかりませんでした");

    prompter_.Then(Answer::Yes);
    View().OnCommand(32898);
    EXPECT_EQ(prompter_.Shown().back(), "この日の日記を削除しますか？");
    EXPECT_FALSE(Exists("20240105.TXT"));
    EXPECT_EQ(Text(), "1月 5日(金) \n\n");

    View().OnCommand(32924);
    EXPECT_EQ(settings_.GetInt("View", "DiaryViewTime", 0), 3);
    EXPECT_TRUE(View().CommandStatus(32924)->checked);
    EXPECT_FALSE(View().CommandStatus(32921)->checked);
}

TEST_F(DiaryViewTest, LooksRightOffscreen) {
    fs::create_directories(root_ + "/diary");
    std::ofstream(root_ + "/diary/20240105.TXT", std::ios::binary)
        << "1\x8c\x8e 5\x93\xfa(\x8b\xe0) \r\n\r\n\x90\xb0\x82\xea\x81\x42";
    host_->RescanDiary();
    View().show();
    QApplication::processEvents();
    const QImage image = View().grab().toImage();
    if (const char* out = std::getenv("ALMX_DIARY_PNG")) image.save(QString::fromUtf8(out));
    EXPECT_EQ(image.width(), 700);
    EXPECT_GT(View().Editor().geometry().left(), View().Calendar().geometry().right());
    EXPECT_GE(View().DayList().geometry().top(), View().Calendar().geometry().bottom());
}

}  // namespace
}  // namespace almx
