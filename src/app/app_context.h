#pragma once
// What the application shares with its frames, views and dialogs: the settings store, the
// prompter, the clock, the display settings, the fonts and marks built from them, and the
// application's default genre list.

#include <QFont>
#include <QPixmap>
#include <functional>
#include <string>

#include "core/display_settings.h"
#include "core/genre.h"
#include "document/document.h"
#include "mail/mail_outbox.h"
#include "views/entry_painter.h"

namespace almx {

class CKeycustArray;
class Clock;
class FileLauncher;
class FileTrash;
class Prompter;
class SettingsStore;
struct EntryEnvironment;

// The six application fonts.
struct AppFonts {
    QFont schedule;
    QFont scheduleBold;
    QFont scheduleStruck;
    QFont scheduleBoldStruck;
    QFont date;
    QFont weekday;

    static AppFonts From(const DisplaySettings& display);
};

struct AppContext {
    SettingsStore* settings = nullptr;
    Prompter* prompter = nullptr;
    const Clock* clock = nullptr;
    DisplaySettings display;
    AppFonts fonts;
    EntryMarks marks;
    CAlmxFieldArray genres;  // the application's default genre list
    std::string programFolder;
    // False while the start-up opens its views with the flag "s": no today's schedules.
    bool todayAtStart = true;
    // The desktop's open and trash operations for linked files.
    FileLauncher* launcher = nullptr;
    FileTrash* trash = nullptr;
    // The key assignments (one per process).
    CKeycustArray* keys = nullptr;
    // Re-reads the store when another process wrote to it (the single-instance hand-over).
    std::function<void()> reloadSettings;
    // The folder of "almxmail.ini"; empty: the user's config folder beside the settings store.
    std::string mailFolder;
    // Hands messages to the sending engine; empty until the engine is connected.
    MailSendFunction sendMail;

    DocumentContext ForDocument() const;
    // What the entry dialogs and commands need, the link dialogs included once the launcher
    // is set.
    EntryEnvironment ForEntries() const;
};

}  // namespace almx
