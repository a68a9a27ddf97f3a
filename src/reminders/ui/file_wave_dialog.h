#pragma once
// The wave-file chooser: an open-file dialog with a button that plays the selected file.

#include <QFileDialog>

class QPushButton;
class QSoundEffect;

namespace almx {

class CFileWaveDlg : public QFileDialog {
    Q_OBJECT
  public:
    static constexpr const char* kTitle = "waveファイル名の入力";
    // The wave files in any letter case, then every file.
    static QStringList Filters();

    // Starts in the folder of current (the path field), or the working folder when empty.
    explicit CFileWaveDlg(const QString& current, QWidget* parent = nullptr);

    QPushButton* PlayButton() const { return play_; }
    // The file the play button would play.
    QString Highlighted() const { return highlighted_; }
    // Plays only files whose extension, lower-cased, is "wav".
    static bool Playable(const QString& path);
    bool Play();

  private:
    QPushButton* play_;
    QSoundEffect* sound_ = nullptr;
    QString highlighted_;
};

}  // namespace almx
