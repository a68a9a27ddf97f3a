#pragma once
// CAlmxApp: the application object. Start-up in its order (settings, command line, fonts,
// genre list, display settings, main frame, the document opened at start), the open
// documents, the most recently used files, and the application's commands.

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/command_line.h"
#include "app/open_document.h"
#include "base/file_io.h"
#include "custom/keycust_array.h"
#include "links/ui/desktop_launcher.h"
#include "ui/command_target.h"

class QIcon;

namespace almx {

class CMainFrame;
class SingleInstance;
namespace mail {
class ProgramMail;
}

// The process runs on Japan time whatever the machine's zone; called before Qt starts.
void UseJapanTime();

// The application icon (window, about box) in every size the program ships.
QIcon ApplicationIcon();

// What the application is given: the program builds them from Qt and the system; tests
// give a memory store, a scripted prompter and a manual clock.
struct AppServices {
    SettingsStore* settings = nullptr;
    Prompter* prompter = nullptr;
    const Clock* clock = nullptr;
    std::string programFolder;
    // Linked files go to these; nullptr: the desktop's own.
    FileLauncher* launcher = nullptr;
    FileTrash* trash = nullptr;
    std::function<void()> reloadSettings;
    // Message boxes are centred on the main window once it exists.
    std::function<void(QWidget*)> setDialogParent;
    // Where the key assignments go when their file cannot be written; empty: "almx32.key" in
    // "Velta/Almanix" under the per-user data folder.
    std::string keyFallbackPath;
};

enum class OpenResult { Opened, Failed, NothingOpened };

namespace app_messages {
inline constexpr const char* kRecentSection = "Recent File List";
inline constexpr const char* kAboutCaption = "バージョン情報";
inline constexpr const char* kPrimaryUnreachable =
    "Almanixはすでに起動していますが、応答がありません。\n"
    "起動中のAlmanixを終了してから、もう一度起動してください。";
inline constexpr const char* kFileNotHandedOver =
    "Almanixはすでに起動しています。\n%1 は開いていません。\n"
    "開くときは［ファイル］メニューの［開く］を使ってください。";
}  // namespace app_messages

class CAlmxApp : public QObject, public CommandTarget, public DocumentOwner {
    Q_OBJECT
  public:
    static constexpr int kRecentFileCount = 4;

    explicit CAlmxApp(AppServices services);
    ~CAlmxApp() override;

    // The program: the single-instance hand-over, start-up and the event loop. Qt's
    // application object must exist.
    static int RunProgram();
    // The second start's message for its command line; the activation token lets the running
    // window come forward.
    static QByteArray HandOverMessage(const CAlmxCommandLineInfo& commandLine,
                                      const QByteArray& activationToken = {});
    // This start's token: "XDG_ACTIVATION_TOKEN" (Wayland), else "DESKTOP_STARTUP_ID" (X11).
    static QByteArray ActivationToken();
    // A second start: hands the message over; when the running instance cannot be reached,
    // says so in a box. The process's exit status.
    static int HandOver(SingleInstance& instance, const QByteArray& message, Prompter& prompter,
                        int timeoutMilliseconds = 5000);

    // Start-up from the command line on (the arguments after the program name). False when
    // start-up fails and no window stays.
    bool Start(const std::vector<std::string>& arguments);

    CMainFrame* MainFrame() const { return mainFrame_.get(); }
    AppContext& Context() { return context_; }
    const CAlmxCommandLineInfo& CommandLine() const { return commandLine_; }
    std::vector<OpenDocument*> Documents() const;

    // Opening a document file (start-up, the open command, recent files, dropped files).
    OpenDocument* OpenDocumentFile(const std::string& path, OpenResult* result = nullptr);
    // The framework's new: a document in a month frame. Nullptr when it was not created.
    OpenDocument* NewDocument();
    OpenDocument* FindOpen(const std::string& path) const;

    const std::vector<std::string>& RecentFiles() const { return recent_; }
    void OpenRecent(int index);

    // "token <activation token>", "activate", "command <id>" and "file <percent-encoded path>"
    // lines from a second start. A file is not opened: the user is told so, unless it is open
    // already. Until start-up is done (it may still be asking for a password) they wait.
    void HandleInstanceMessage(const QByteArray& message);
    bool StartedUp() const { return startedUp_; }

    // After the close sequence: every document closes without asking.
    void ReleaseAllDocuments();
    // The values written at exit: show state, custom colours, start-up layout.
    void WriteAtExit();
    // A document whose last frame went away.
    void DocumentLostFrames(OpenDocument* document);

    void AddRecentFile(const std::string& path) override;
    bool CloseDocument(OpenDocument& document) override;
    void UpdateEveryView(int hint) override;
    QWidget* DialogParent() override;

    bool OnCommand(int id) override;
    std::optional<CommandState> CommandStatus(int id) const override;

  private:
    void LoadRecentFiles();
    void StoreRecentFiles();
    void OpenCommand();
    void About();
    void PrinterSetup();
    std::unique_ptr<OpenDocument> MakeDocument();
    OpenDocument* Adopt(std::unique_ptr<OpenDocument> document);

    AppServices services_;
    DesktopLauncher desktopLauncher_;
    DesktopTrash desktopTrash_;
    AppContext context_;
    FileWriter keyWriter_;
    std::unique_ptr<CKeycustArray> keys_;
    CAlmxCommandLineInfo commandLine_;
    int requestedView_ = -1;
    std::vector<std::unique_ptr<OpenDocument>> documents_;
    std::unique_ptr<CMainFrame> mainFrame_;
    // Its window and message boxes belong to the main frame, so it goes before the frame.
    std::unique_ptr<mail::ProgramMail> mail_;
    std::vector<std::string> recent_;
    int untitledCount_ = 0;
    bool startedUp_ = false;
    std::vector<QByteArray> heldMessages_;
};

}  // namespace almx
