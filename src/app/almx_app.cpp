#include "app/almx_app.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QMdiArea>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "app/app_log.h"
#include "app/command_table.h"
#include "app/first_paint.h"
#include "app/key_input.h"
#include "app/mail_commands.h"
#include "app/main_frame.h"
#include "app/single_instance.h"
#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "calendar/day_cells.h"
#include "core/legacy_genre_file.h"
#include "mail/ui/program_mail.h"
#include "ui/qt_colour.h"
#include "ui/qt_prompter.h"
#include "ui/qt_settings_store.h"
#include "views/print_support.h"
#include "views/view_base.h"

Q_LOGGING_CATEGORY(lcAlmx, "almx.app", QtWarningMsg)

// Outside any namespace, as Qt wants; links the icon resource out of the static library.
static void InitIconResource() {
    Q_INIT_RESOURCE(almanix);
}

namespace almx {

namespace fs = std::filesystem;
namespace msg = app_messages;

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// Paths name the same file when they resolve to the same place (Linux names are
// case-sensitive, so no case folding).
std::string Canonical(const std::string& path) {
    std::error_code error;
    fs::path resolved = fs::weakly_canonical(fs::absolute(path, error), error);
    return error ? path : resolved.string();
}

std::string KeyFallbackPath() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return (std::filesystem::path(data.toStdString()) / "Velta" / "Almanix" / "almx32.key")
        .string();
}

std::string ProgramFolder() {
    return QCoreApplication::applicationDirPath().toStdString();
}

// The system clock started at another moment (ALMX_NOW), running on from there.
class ShiftedClock : public Clock {
  public:
    explicit ShiftedClock(const DateTime& start)
        : offset_(static_cast<long long>(
              std::llround((start.Days() - system_.Now().Days()) * 86400.0))) {}
    DateTime Now() const override { return system_.Now().PlusSeconds(offset_); }

  private:
    SystemClock system_;
    long long offset_;
};

// "YYYY/MM/DD HH:MM:SS" (seconds optional); invalid otherwise.
DateTime ReadStartTime(const char* text) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    char tail = 0;
    const int read = text ? std::sscanf(text, "%d/%d/%d %d:%d:%d%c", &year, &month, &day, &hour,
                                        &minute, &second, &tail)
                          : 0;
    if ((read != 5 && read != 6) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59 || !IsValidDate(year, month, day)) {
        return DateTime::Invalid();
    }
    return DateTime::FromParts(year, month, day, hour, minute, second);
}

}  // namespace

// Our own icon, built into the program, so it shows from a build tree and any prefix alike.
QIcon ApplicationIcon() {
    InitIconResource();
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/hicolor/%1x%1/almanix.png").arg(size),
                     QSize(size, size));
    }
    return icon;
}

void UseJapanTime() {
    setenv("TZ", "JST-9", 1);
    tzset();
}

CAlmxApp::CAlmxApp(AppServices services) : services_(std::move(services)) {
    context_.settings = services_.settings;
    context_.prompter = services_.prompter;
    context_.clock = services_.clock;
    context_.programFolder = services_.programFolder;
    context_.launcher = services_.launcher ? services_.launcher : &desktopLauncher_;
    context_.trash = services_.trash ? services_.trash : &desktopTrash_;
    context_.reloadSettings = services_.reloadSettings;
}

CAlmxApp::~CAlmxApp() {
    // Frames and views before the documents they show.
    mail_.reset();
    mainFrame_.reset();
    documents_.clear();
}

bool CAlmxApp::Start(const std::vector<std::string>& arguments) {
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    SettingsStore& settings = *context_.settings;

    // The command line, the recent files.
    commandLine_ = CAlmxCommandLineInfo::Parse(arguments);
    requestedView_ = commandLine_.viewKind;
    LoadRecentFiles();

    // The key assignments: a file that exists but cannot be read is said once; a missing one
    // is what a first start has.
    keys_ = std::make_unique<CKeycustArray>(
        settings, keyWriter_,
        services_.keyFallbackPath.empty() ? KeyFallbackPath() : services_.keyFallbackPath);
    context_.keys = keys_.get();
    if (keys_->LoadAtStart() == CKeycustArray::StartUp::Unreadable) {
        context_.prompter->ShowMessage(keycust_messages::kCannotLoad, MessageKind::Warning);
    }

    // Fonts, the genre list, the display settings (fonts included), the custom colours.
    context_.display = DisplaySettings::Load(settings);
    context_.display.todayLimit = settings.GetInt("System", "TodayLimit", 0);
    context_.fonts = AppFonts::From(context_.display);
    context_.marks = EntryMarks::Drawn();
    DefaultGenreLoad genres = LoadDefaultGenreList(settings, context_.programFolder);
    context_.genres = std::move(genres.genres);
    for (int i = 0; i < 16; ++i) {
        QColorDialog::setCustomColor(
            i, ToQColor(context_.display.customColors[static_cast<std::size_t>(i)]));
    }

    // The main frame, shown with its saved placement.
    context_.todayAtStart = commandLine_.showToday;
    mainFrame_ = std::make_unique<CMainFrame>(*this, context_);
    if (services_.setDialogParent) services_.setDialogParent(mainFrame_.get());
    if (!context_.sendMail) {
        mail_ = std::make_unique<mail::ProgramMail>(mainFrame_.get());
        context_.sendMail = ProgramMailSender(context_, *mail_);
    }
    mainFrame_->RebuildRecentFiles();
    mainFrame_->ApplyKeyTexts();
    CMainFrame* frame = mainFrame_.get();
    qApp->installEventFilter(
        new KeyFilter(*frame, *frame->MdiArea(), *keys_, [frame](int id) { frame->Dispatch(id); }));
    mainFrame_->ShowWithPlacement();

    // The document opened at start.
    if (commandLine_.shellCommand == CAlmxCommandLineInfo::Shell::FileNew) {
        const std::string defaultFile = settings.GetString("System", "DefaultFile", "");
        if (defaultFile.empty()) {
            NewDocument();
        } else {
            OpenResult result = OpenResult::Failed;
            OpenDocumentFile(defaultFile, &result);
            // A default file that was moved or deleted must not end every start: the open
            // has said why, and the user gets a new document instead.
            if (result == OpenResult::Failed) NewDocument();
        }
    } else {
        OpenResult result = OpenResult::Failed;
        OpenDocumentFile(commandLine_.fileName, &result);
        if (result == OpenResult::Failed) {
            mail_.reset();
            mainFrame_.reset();
            return false;
        }
    }
    // "Diary"/"First": today's diary, after today's schedules.
    if (settings.GetInt("Diary", "First", 0) == 1 && !documents_.empty()) {
        OpenDocument* first = documents_.front().get();
        first->Host().SetSharedDate(Today(*context_.clock, context_.display.todayLimit));
        mainFrame_->CreateFrame(ViewKind::Diary, *first);
    }
    mainFrame_->UpdateCommandStates();
    context_.todayAtStart = true;  // the flag is for the views of the start-up only
    qCInfo(lcAlmx) << "started";
    startedUp_ = true;
    if (!heldMessages_.empty()) {
        QTimer::singleShot(0, mainFrame_.get(), [this] {
            const std::vector<QByteArray> held = std::move(heldMessages_);
            heldMessages_.clear();
            for (const QByteArray& message : held) HandleInstanceMessage(message);
        });
    }
    QTimer::singleShot(0, mainFrame_.get(), [this] { mainFrame_->Tick(); });
    return true;
}

std::vector<OpenDocument*> CAlmxApp::Documents() const {
    std::vector<OpenDocument*> documents;
    for (const auto& document : documents_) documents.push_back(document.get());
    return documents;
}

std::unique_ptr<OpenDocument> CAlmxApp::MakeDocument() {
    auto document = std::make_unique<CAlmxDoc>(context_.ForDocument());
    auto open =
        std::make_unique<OpenDocument>(std::move(document), context_, *this, ++untitledCount_);
    open->Host().SetSharedDate(Today(*context_.clock, context_.display.todayLimit));
    return open;
}

OpenDocument* CAlmxApp::Adopt(std::unique_ptr<OpenDocument> document) {
    // The diary is scanned once the file is read, so its folder is the file's.
    document->Host().AttachDiary(
        *context_.prompter, context_.trash, context_.launcher,
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString() + "/diary");
    documents_.push_back(std::move(document));
    return documents_.back().get();
}

OpenDocument* CAlmxApp::FindOpen(const std::string& path) const {
    const std::string wanted = Canonical(path);
    for (const auto& document : documents_) {
        if (!document->Doc().Path().empty() && !document->Closing() &&
            Canonical(document->Doc().Path()) == wanted) {
            return document.get();
        }
    }
    return nullptr;
}

OpenDocument* CAlmxApp::NewDocument() {
    std::unique_ptr<OpenDocument> document = MakeDocument();
    if (!document->Doc().NewDocument()) return nullptr;
    OpenDocument* adopted = Adopt(std::move(document));
    mainFrame_->CreateFrame(ViewKind::Month, *adopted);
    return adopted;
}

OpenDocument* CAlmxApp::OpenDocumentFile(const std::string& path, OpenResult* result) {
    if (result) *result = OpenResult::Failed;
    if (OpenDocument* open = FindOpen(path)) {
        std::vector<CAlmxFrame*> frames = mainFrame_->FramesOf(*open);
        if (!frames.empty()) mainFrame_->ActivateFrame(frames.back());
        if (CAlmxFrame* active = mainFrame_->ActiveFrame()) mainFrame_->ActivateFrame(active);
        if (result) *result = OpenResult::Opened;
        return open;
    }
    // The frame's value: the layout commands change it before it is written.
    int layout = mainFrame_->Options().StartLayout();
    if (requestedView_ >= 0) {
        layout = requestedView_;
        requestedView_ = -1;
    }
    if (layout < 0 || layout > 4) {
        if (result) *result = OpenResult::NothingOpened;
        return nullptr;
    }
    std::unique_ptr<OpenDocument> document = MakeDocument();
    if (!document->Doc().Open(path)) return nullptr;
    OpenDocument* adopted = Adopt(std::move(document));
    const ViewKind first = layout == 1   ? ViewKind::Week
                           : layout == 3 ? ViewKind::Diary
                           : layout == 4 ? ViewKind::Memo
                                         : ViewKind::Month;
    mainFrame_->CreateFrame(first, *adopted);
    if (layout == 2) mainFrame_->CreateFrame(ViewKind::Week, *adopted);
    if (mainFrame_->Options().InitTodo()) {
        mainFrame_->CreateFrame(ViewKind::Todo, *adopted);
    }
    AddRecentFile(adopted->Doc().Path());
    qCInfo(lcAlmx) << "opened" << Q(adopted->Doc().Path());
    if (result) *result = OpenResult::Opened;
    return adopted;
}

bool CAlmxApp::CloseDocument(OpenDocument& document) {
    if (document.Closing()) return true;
    if (!document.SaveModified()) return false;
    if (!document.Doc().Close()) return false;
    document.SetClosing();
    for (CAlmxFrame* frame : mainFrame_->FramesOf(document)) frame->close();
    return true;
}

void CAlmxApp::DocumentLostFrames(OpenDocument* document) {
    if (!mainFrame_) return;
    for (auto it = documents_.begin(); it != documents_.end(); ++it) {
        if (it->get() != document) continue;
        if (!mainFrame_->FramesOf(*document).empty()) return;
        if (!document->Closing()) document->Doc().Close();
        documents_.erase(it);
        return;
    }
}

void CAlmxApp::ReleaseAllDocuments() {
    for (auto& document : documents_) {
        document->Doc().Close();
        document->SetClosing();
    }
}

void CAlmxApp::WriteAtExit() {
    SettingsStore& settings = *context_.settings;
    if (keys_) keys_->StorePath();
    if (mainFrame_) {
        const SharedShowState& show = mainFrame_->ShowState();
        if (show.value != show.initial) settings.SetInt("Settings", "ShowCmd", show.value);
        const SharedShowState& diary = mainFrame_->DiaryShowState();
        if (diary.value != diary.initial) settings.SetInt("DiaryView", "ShowCmd", diary.value);
        mainFrame_->Options().StoreStartLayout();
    }
    for (int i = 0; i < 16; ++i) {
        const std::uint32_t colour = FromQColor(QColorDialog::customColor(i));
        context_.display.customColors[static_cast<std::size_t>(i)] = colour;
        settings.SetString("ColorDlg", "Custom" + std::to_string(i),
                           std::to_string(static_cast<long>(colour)));
    }
}

void CAlmxApp::LoadRecentFiles() {
    recent_.clear();
    for (int i = 1; i <= kRecentFileCount; ++i) {
        std::string path =
            context_.settings->GetString(msg::kRecentSection, "File" + std::to_string(i), "");
        if (!path.empty()) recent_.push_back(path);
    }
}

void CAlmxApp::StoreRecentFiles() {
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const std::size_t index = static_cast<std::size_t>(i - 1);
        context_.settings->SetString(msg::kRecentSection, "File" + std::to_string(i),
                                     index < recent_.size() ? recent_[index] : "");
    }
}

void CAlmxApp::AddRecentFile(const std::string& path) {
    if (path.empty()) return;
    const std::string canonical = Canonical(path);
    std::erase_if(recent_, [&](const std::string& each) { return Canonical(each) == canonical; });
    recent_.insert(recent_.begin(), path);
    if (recent_.size() > kRecentFileCount) recent_.resize(kRecentFileCount);
    StoreRecentFiles();
    if (mainFrame_) mainFrame_->RebuildRecentFiles();
}

void CAlmxApp::OpenRecent(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= recent_.size()) return;
    const std::string path = recent_[static_cast<std::size_t>(index)];
    OpenResult result = OpenResult::Failed;
    OpenDocumentFile(path, &result);
    if (result == OpenResult::Failed) {
        // A file that cannot be opened leaves the list.
        std::erase(recent_, path);
        StoreRecentFiles();
        mainFrame_->RebuildRecentFiles();
    }
}

void CAlmxApp::UpdateEveryView(int hint) {
    for (auto& document : documents_) document->Host().UpdateAllViews(nullptr, hint);
}

QWidget* CAlmxApp::DialogParent() {
    return mainFrame_.get();
}

void CAlmxApp::HandleInstanceMessage(const QByteArray& message) {
    // A hand-over inside a start-up question would open the default file a second time.
    if (!startedUp_) {
        heldMessages_.push_back(message);
        return;
    }
    if (!mainFrame_) return;
    QByteArray token;
    for (const QByteArray& line : message.split('\n')) {
        const QByteArray text = line.trimmed();
        // The trace names no handed-over file: "opened <path>" is the trace of an open.
        const QByteArray traced = text.startsWith("file ") ? QByteArray("file") : text;
        if (!text.isEmpty()) qCInfo(lcAlmx, "hand-over: %s", traced.constData());
        if (text.startsWith("token ")) {
            token = text.mid(6);
        } else if (text == "activate") {
            // The platform plugins take the token from the environment when the window is
            // activated: Wayland's XDG activation, X11's startup notification.
            if (!token.isEmpty()) {
                const bool wayland = QGuiApplication::platformName().startsWith(
                    QLatin1String("wayland"), Qt::CaseInsensitive);
                qputenv(wayland ? "XDG_ACTIVATION_TOKEN" : "DESKTOP_STARTUP_ID", token);
            }
            if (mainFrame_->isMinimized()) mainFrame_->showNormal();
            mainFrame_->raise();
            mainFrame_->activateWindow();
        } else if (text.startsWith("command ")) {
            bool ok = false;
            const int id = text.mid(8).toInt(&ok);
            // Only the hand-over command comes this way.
            if (ok && id == cmd::kViewChangeMes) mainFrame_->Dispatch(id);
        } else if (text.startsWith("file ")) {
            // A double-click in a file manager while the program runs ends here.
            const QString path = QString::fromUtf8(QByteArray::fromPercentEncoding(text.mid(5)));
            if (OpenDocument* open = FindOpen(path.toStdString())) {
                const std::vector<CAlmxFrame*> frames = mainFrame_->FramesOf(*open);
                if (!frames.empty()) mainFrame_->ActivateFrame(frames.back());
            } else {
                context_.prompter->ShowMessage(
                    QString::fromUtf8(msg::kFileNotHandedOver).arg(path).toStdString(),
                    MessageKind::Information);
            }
        }
    }
}

QByteArray CAlmxApp::ActivationToken() {
    const QByteArray wayland = qgetenv("XDG_ACTIVATION_TOKEN");
    return wayland.isEmpty() ? qgetenv("DESKTOP_STARTUP_ID") : wayland;
}

int CAlmxApp::HandOver(SingleInstance& instance, const QByteArray& message, Prompter& prompter,
                       int timeoutMilliseconds) {
    if (instance.SendToPrimary(message, timeoutMilliseconds)) return 0;
    qWarning("almanix: the running instance does not answer");
    prompter.ShowMessage(msg::kPrimaryUnreachable, MessageKind::Error);
    return 1;
}

QByteArray CAlmxApp::HandOverMessage(const CAlmxCommandLineInfo& commandLine,
                                     const QByteArray& activationToken) {
    QByteArray message;
    // One line, whatever the token holds.
    QByteArray token = activationToken;
    token.replace('\n', "").replace('\r', "");
    if (!token.isEmpty()) message += "token " + token + "\n";
    message += "activate\n";
    if (commandLine.viewKind >= 0) {
        message += "command " + QByteArray::number(cmd::kViewChangeMes) + "\n";
    }
    if (commandLine.shellCommand == CAlmxCommandLineInfo::Shell::FileOpen &&
        !commandLine.fileName.empty()) {
        // Named from this start's working directory; encoded so any byte survives the line.
        const QString path = QFileInfo(Q(commandLine.fileName)).absoluteFilePath();
        message += "file " + path.toUtf8().toPercentEncoding("/") + "\n";
    }
    return message;
}

void CAlmxApp::OpenCommand() {
    std::optional<std::string> path =
        context_.prompter->ChooseFile(msg::kOpenCaption, msg::kOpenFilter, false);
    if (!path || path->empty()) return;
    OpenDocumentFile(*path);
}

void CAlmxApp::About() {
    QMessageBox::about(mainFrame_.get(), QString::fromUtf8(msg::kAboutCaption),
                       QStringLiteral("Almanix バージョン %1\n\nCopyright (C) Korvanta")
                           .arg(QStringLiteral(ALMX_VERSION)));
}

void CAlmxApp::PrinterSetup() {
    // The one printer that print and preview use too.
    QPageSetupDialog dialog(&ApplicationPrinter(), mainFrame_.get());
    dialog.exec();
}

bool CAlmxApp::OnCommand(int id) {
    switch (id) {
        case cmd::kFileNew:
            NewDocument();
            return true;
        case cmd::kFileOpen:
            OpenCommand();
            return true;
        case cmd::kPrintSetup:
            PrinterSetup();
            return true;
        case cmd::kAppExit:
            if (mainFrame_) mainFrame_->close();
            return true;
        case cmd::kAbout:
            About();
            return true;
        default:
            return false;
    }
}

std::optional<CommandState> CAlmxApp::CommandStatus(int id) const {
    switch (id) {
        case cmd::kFileNew:
        case cmd::kFileOpen:
        case cmd::kPrintSetup:
        case cmd::kAppExit:
        case cmd::kAbout:
            return CommandState{};
        default:
            return std::nullopt;
    }
}

int CAlmxApp::RunProgram() {
    QStringList qtArguments = QCoreApplication::arguments();
    std::vector<std::string> arguments;
    for (qsizetype i = 1; i < qtArguments.size(); ++i)
        arguments.push_back(qtArguments[i].toStdString());
    QApplication::setApplicationName(QStringLiteral("Almanix"));
    QApplication::setOrganizationName(QStringLiteral("Korvanta"));
    // The desktop entry's name: Wayland compositors and task bars find the icon through it.
    QGuiApplication::setDesktopFileName(QStringLiteral("almanix"));
    QApplication::setWindowIcon(ApplicationIcon());
    // Qt's own buttons and dialogs (はい, キャンセル, the file and colour choosers) in Japanese,
    // when the translations are installed.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                     QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qtTexts);
    }

    QtSettingsStore settings;
    SingleInstance instance;
    if (!instance.BecomePrimary()) {
        // Hand the view request to the running program; a file named here is not passed on.
        const CAlmxCommandLineInfo commandLine = CAlmxCommandLineInfo::Parse(arguments);
        if (commandLine.viewKind >= 0) {
            settings.SetInt("System", "ViewChangeMes", commandLine.viewKind);
            settings.Sync();
        }
        QtPrompter prompter;
        return HandOver(instance, HandOverMessage(commandLine, ActivationToken()), prompter);
    }

    QtPrompter prompter;
    SystemClock systemClock;
    std::unique_ptr<ShiftedClock> shiftedClock;
    if (const char* now = std::getenv("ALMX_NOW"); now && *now) {
        const DateTime start = ReadStartTime(now);
        if (start.IsValid()) {
            shiftedClock = std::make_unique<ShiftedClock>(start);
        } else {
            qCWarning(lcAlmx) << "ALMX_NOW is not \"YYYY/MM/DD HH:MM:SS\":" << now;
        }
    }
    const Clock& clock = shiftedClock ? static_cast<const Clock&>(*shiftedClock) : systemClock;
    AppServices services;
    services.settings = &settings;
    services.prompter = &prompter;
    services.clock = &clock;
    services.programFolder = ProgramFolder();
    services.reloadSettings = [&settings] { settings.Sync(); };
    services.setDialogParent = [&prompter](QWidget* parent) { prompter.SetParent(parent); };

    CAlmxApp app(services);
    QObject::connect(&instance, &SingleInstance::MessageReceived, &app,
                     &CAlmxApp::HandleInstanceMessage);
    if (!app.Start(arguments)) return 1;
    WatchFirstPaint(app.MainFrame());
    const int status = QApplication::exec();
    settings.Sync();
    return status;
}

}  // namespace almx
