#include "reminders/ui/alarm_dialog.h"

#include <QApplication>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSoundEffect>
#include <QSpinBox>
#include <QUrl>
#include <QVBoxLayout>

#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/display_settings.h"
#include "reminders/ui/reminders_log.h"

namespace almx {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QLineEdit* ReadOnly(const std::string& text, const char* name) {
    auto* field = new QLineEdit(Q(text));
    field->setReadOnly(true);
    field->setObjectName(QString::fromLatin1(name));
    field->setStyleSheet(QStringLiteral("QLineEdit { background: white; }"));
    return field;
}

}  // namespace

QSoundEffect* PlayAlarmSound(const std::string& wave, QObject* owner) {
    if (wave.empty()) {
        qCInfo(lcReminders) << "beep";
        QApplication::beep();
        return nullptr;
    }
    auto* effect = new QSoundEffect(owner);
    effect->setSource(QUrl::fromLocalFile(Q(wave)));
    effect->setLoopCount(1);
    QObject::connect(effect, &QSoundEffect::statusChanged, effect, [effect] {
        if (effect->status() == QSoundEffect::Error) {
            qCInfo(lcReminders) << "sound not playable:" << effect->source().toLocalFile();
        }
    });
    effect->play();
    qCInfo(lcReminders) << "sound" << Q(wave);
    return effect;
}

CAlermDlg::CAlermDlg(const AlarmNotice& notice, SettingsStore& settings, DisplaySettings& display,
                     Prompter& prompter, std::function<void()> openLink, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      display_(display),
      prompter_(prompter),
      openLink_(std::move(openLink)) {
    setWindowTitle(QString::fromUtf8(alarm_text::kWindowTitle));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    const AlarmWindowTexts texts = WindowTexts(notice);

    auto* form = new QFormLayout;
    auto add = [form](const char* label, QWidget* field) {
        auto* caption = new QLabel(QString::fromUtf8(label));
        caption->setBuddy(field);
        form->addRow(caption, field);
    };
    add("アラーム時間(&A):", ReadOnly(texts.time, "time"));
    add("スケジュール内容(&S):", ReadOnly(texts.title, "title"));
    add("場所(&L):", ReadOnly(texts.place, "place"));
    auto* memo = new QPlainTextEdit(Q(texts.memo));
    memo->setReadOnly(true);
    memo->setObjectName(QStringLiteral("memo"));
    memo->setStyleSheet(QStringLiteral("QPlainTextEdit { background: white; }"));
    memo->setMaximumHeight(90);
    add("メモ(&M):", memo);
    add("開始日付(&D):", ReadOnly(texts.startDate, "startDate"));
    add("終了日付(&E):", ReadOnly(texts.endDate, "endDate"));
    add("開始時刻(&T):", ReadOnly(texts.startTime, "startTime"));
    add("終了時刻(&U):", ReadOnly(texts.endTime, "endTime"));
    add("リンク(&K):", ReadOnly(texts.link, "link"));

    snooze_ = new QSpinBox;
    // Typing may go beyond the arrows' range: the button checks 1 to 32768.
    snooze_->setRange(0, 99999);
    snooze_->setValue(display.snoozeMinutes);
    snoozeButton_ = new QPushButton(QStringLiteral("後でまた確認(&Z)"));
    closeButton_ = new QPushButton(QStringLiteral("閉じる"));
    openButton_ = new QPushButton(QStringLiteral("開く(&O)"));
    closeButton_->setDefault(true);
    auto* snoozeRow = new QHBoxLayout;
    snoozeRow->addWidget(snooze_);
    snoozeRow->addWidget(new QLabel(QStringLiteral("分後")));
    snoozeRow->addWidget(snoozeButton_);
    snoozeRow->addStretch();
    snoozeRow->addWidget(openButton_);
    snoozeRow->addWidget(closeButton_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8(alarm_text::kTimeHasCome)));
    layout->addLayout(form);
    layout->addLayout(snoozeRow);

    connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(snoozeButton_, &QPushButton::clicked, this, [this] { Snooze(); });
    const bool hasLink = !notice.entry.linkFile.empty();
    connect(openButton_, &QPushButton::clicked, this, [this, hasLink] {
        if (!hasLink || !openLink_) return;
        // The opened program comes to the front; the window waits behind it.
        setWindowFlag(Qt::WindowStaysOnTopHint, false);
        show();
        openLink_();
    });

    sound_ = PlayAlarmSound(notice.wave, this);
}

CAlermDlg::~CAlermDlg() {
    StopSound();
}

QLineEdit* CAlermDlg::Field(const char* objectName) const {
    return findChild<QLineEdit*>(QString::fromLatin1(objectName));
}

bool CAlermDlg::SoundPlaying() const {
    return sound_ && sound_->isPlaying();
}

void CAlermDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!placed_) {
        placed_ = true;
        QScreen* screen =
            parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            QRect area = screen->availableGeometry();
            move(area.center() - rect().center());
        }
    }
    raise();
    activateWindow();
    if (QWidget* main = parentWidget() ? parentWidget()->window() : nullptr) {
        QApplication::alert(main);
    }
}

void CAlermDlg::done(int result) {
    StopSound();
    QDialog::done(result);
}

void CAlermDlg::Snooze() {
    int minutes = 0;
    if (!ParseSnoozeMinutes(snooze_->cleanText().trimmed().toStdString(), minutes)) {
        prompter_.ShowMessage(alarm_text::kSnoozeRange, MessageKind::Warning);
        snooze_->setFocus();
        return;
    }
    display_.snoozeMinutes = minutes;
    settings_.SetInt("System", "Snooze", minutes);
    accept();
}

void CAlermDlg::StopSound() {
    if (sound_) sound_->stop();
}

}  // namespace almx
