#pragma once
// Key presses in the main window against the key assignments: a QKeyEvent as the Windows key
// code the key files hold, the rules that leave a key to the focused widget, and the one
// application event filter that looks keys up and posts their commands.

#include <QObject>
#include <functional>
#include <optional>

class QKeyEvent;
class QMainWindow;
class QMdiArea;
class QWidget;

namespace almx {

class CKeycustArray;

struct KeyStroke {
    int code = 0;
    bool alt = false;
    bool shift = false;
    bool ctrl = false;

    bool operator==(const KeyStroke&) const = default;
};

// The Windows key code of a key with its modifiers: Return and keypad Enter are 13, Backtab is
// Tab with Shift, the keypad's digits 96-105 and its * + - / 106-111 (the main "-" is none),
// the digit row by its physical key (X11 key codes 10-19), "@" 192 from "@" unshifted or from
// Shift with "`" (a JIS keyboard). Nothing when Meta is held or for any other key.
std::optional<KeyStroke> WindowsKeyOf(int qtKey, Qt::KeyboardModifiers modifiers,
                                      quint32 nativeScanCode = 0);
std::optional<KeyStroke> WindowsKeyOf(const QKeyEvent& event);

// The multi-document keys, handled before any lookup: Ctrl+F4, Ctrl+(Shift+)F6, Ctrl+(Shift+)Tab.
enum class MdiKey { None, Close, Next, Previous };
MdiKey MdiKeyOf(const KeyStroke& stroke);

// What has the focus, as far as the rules care.
enum class KeyFocus { Other, ItemView, TextField };
// Where a key goes: the multi-document system, the focused widget, or the lookup.
enum class KeyRoute { Mdi, Widget, Lookup };
// viewOwnsKey: the focused view (month, week) uses the key itself.
KeyRoute RouteKey(const KeyStroke& stroke, KeyFocus focus, bool viewOwnsKey);

KeyFocus FocusKindOf(const QWidget* widget);

// Installed on the application; acts on keys for the main window only (not dialogs, not open
// menus). A bound key beats built-in shortcuts and menu mnemonics.
class KeyFilter : public QObject {
    Q_OBJECT
  public:
    using Dispatcher = std::function<void(int)>;
    KeyFilter(QMainWindow& window, QMdiArea& mdi, const CKeycustArray& keys, Dispatcher dispatch);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QMainWindow& window_;
    QMdiArea& mdi_;
    const CKeycustArray& keys_;
    Dispatcher dispatch_;
};

}  // namespace almx
