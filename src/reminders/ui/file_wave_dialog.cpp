#include "reminders/ui/file_wave_dialog.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QPushButton>
#include <QSoundEffect>
#include <QUrl>

#include "reminders/ui/reminders_log.h"

namespace almx {

QStringList CFileWaveDlg::Filters() {
    return {QStringLiteral("waveﾌｧｲﾙ(*.wav) (*.[wW][aA][vV])"),
            QStringLiteral("全てのﾌｧｲﾙ(*.*) (*)")};
}

CFileWaveDlg::CFileWaveDlg(const QString& current, QWidget* parent) : QFileDialog(parent) {
    setWindowTitle(QString::fromUtf8(kTitle));
    // The extra button needs Qt's own dialog.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    setNameFilters(Filters());
    setDefaultSuffix(QStringLiteral("wav"));
    const QFileInfo info(current);
    if (!current.isEmpty() && info.dir().exists()) {
        setDirectory(info.dir());
        if (info.exists()) selectFile(info.fileName());
    } else {
        setDirectory(QDir::current());
    }
    play_ = new QPushButton(QStringLiteral("再生(&S)"), this);
    if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
        grid->addWidget(play_, grid->rowCount(), 0);
    }
    connect(this, &QFileDialog::currentChanged, this,
            [this](const QString& path) { highlighted_ = path; });
    connect(play_, &QPushButton::clicked, this, [this] { Play(); });
    if (info.exists()) highlighted_ = info.absoluteFilePath();
}

bool CFileWaveDlg::Playable(const QString& path) {
    return QFileInfo(path).suffix().toLower() == QStringLiteral("wav");
}

bool CFileWaveDlg::Play() {
    if (!Playable(highlighted_) || !QFileInfo(highlighted_).isFile()) return false;
    if (!sound_) sound_ = new QSoundEffect(this);
    sound_->stop();
    sound_->setSource(QUrl::fromLocalFile(highlighted_));
    sound_->play();
    qCInfo(lcReminders) << "sound" << highlighted_;
    return true;
}

}  // namespace almx
