#include "app/key_input.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "custom/keycust_array.h"
#include "views/view_base.h"

namespace almx {

namespace {

constexpr int kVkReturn = 13;
constexpr int kVkTab = 9;
constexpr int kVkF4 = 115;
constexpr int kVkF6 = 117;
constexpr int kVkAt = 192;

// Keys whose code does not depend on the keypad or the layout.
std::optional<int> PlainCode(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F15) return 112 + (key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return kVkReturn;
        case Qt::Key_Tab:
            return kVkTab;
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Space:
            return 32;
        default:
            return std::nullopt;
    }
}

std::optional<int> NavigationCode(int key) {
    switch (key) {
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        case Qt::Key_End:
            return 35;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return 40;
        case Qt::Key_Insert:
            return 45;
        case Qt::Key_Delete:
            return 46;
        default:
            return std::nullopt;
    }
}

std::optional<int> KeypadOperatorCode(int key) {
    switch (key) {
        case Qt::Key_Asterisk:
            return 106;
        case Qt::Key_Plus:
            return 107;
        case Qt::Key_Minus:
            return 109;
        case Qt::Key_Slash:
            return 111;
        default:
            return std::nullopt;
    }
}

}  // namespace

std::optional<KeyStroke> WindowsKeyOf(int key, Qt::KeyboardModifiers modifiers,
                                      quint32 nativeScanCode) {
    if (modifiers & Qt::MetaModifier) return std::nullopt;
    KeyStroke stroke;
    stroke.alt = (modifiers & Qt::AltModifier) != 0;
    stroke.shift = (modifiers & Qt::ShiftModifier) != 0;
    stroke.ctrl = (modifiers & Qt::ControlModifier) != 0;
    const bool keypad = (modifiers & Qt::KeypadModifier) != 0;

    std::optional<int> code;
    if (key == Qt::Key_Backtab) {
        stroke.shift = true;
        code = kVkTab;
    } else if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9) {
        code = 96 + (key - Qt::Key_0);
    } else if (keypad) {
        code = KeypadOperatorCode(key);
        if (!code) code = NavigationCode(key);
        if (!code && key == Qt::Key_Enter) code = kVkReturn;
    } else if (nativeScanCode >= 10 && nativeScanCode <= 19) {
        // The digit row by its place: Shift+1 arrives as "!" (or, on a JIS keyboard, other
        // signs), but it is still the key "1".
        code = nativeScanCode == 19 ? '0' : static_cast<int>('1' + (nativeScanCode - 10));
    } else if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        code = '0' + (key - Qt::Key_0);
    } else if (key == Qt::Key_At && !stroke.shift) {
        code = kVkAt;
    } else if (key == Qt::Key_QuoteLeft && stroke.shift) {
        code = kVkAt;  // Shift with the JIS "@" key
    } else {
        code = PlainCode(key);
        if (!code) code = NavigationCode(key);
    }
    if (!code) return std::nullopt;
    stroke.code = *code;
    return stroke;
}

std::optional<KeyStroke> WindowsKeyOf(const QKeyEvent& event) {
    return WindowsKeyOf(event.key(), event.modifiers(), event.nativeScanCode());
}

MdiKey MdiKeyOf(const KeyStroke& stroke) {
    if (!stroke.ctrl || stroke.alt) return MdiKey::None;
    if (stroke.code == kVkF4 && !stroke.shift) return MdiKey::Close;
    if (stroke.code == kVkF6 || stroke.code == kVkTab) {
        return stroke.shift ? MdiKey::Previous : MdiKey::Next;
    }
    return MdiKey::None;
}

KeyRoute RouteKey(const KeyStroke& stroke, KeyFocus focus, bool viewOwnsKey) {
    if (MdiKeyOf(stroke) != MdiKey::None) return KeyRoute::Mdi;
    if (viewOwnsKey) return KeyRoute::Widget;
    const bool modifier = stroke.alt || stroke.shift || stroke.ctrl;
    if (focus == KeyFocus::ItemView && !modifier &&
        (stroke.code == 38 || stroke.code == 40 || stroke.code == 33 || stroke.code == 34)) {
        return KeyRoute::Widget;
    }
    if (focus == KeyFocus::TextField && !((stroke.alt || stroke.ctrl) && stroke.code <= 47)) {
        return KeyRoute::Widget;
    }
    return KeyRoute::Lookup;
}

KeyFocus FocusKindOf(const QWidget* widget) {
    if (!widget) return KeyFocus::Other;
    if (qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QTextEdit*>(widget) ||
        qobject_cast<const QPlainTextEdit*>(widget) ||
        qobject_cast<const QAbstractSpinBox*>(widget)) {
        return KeyFocus::TextField;
    }
    if (auto* combo = qobject_cast<const QComboBox*>(widget); combo && combo->isEditable()) {
        return KeyFocus::TextField;
    }
    if (qobject_cast<const QAbstractItemView*>(widget)) return KeyFocus::ItemView;
    return KeyFocus::Other;
}

KeyFilter::KeyFilter(QMainWindow& window, QMdiArea& mdi, const CKeycustArray& keys,
                     Dispatcher dispatch)
    : QObject(&window), window_(window), mdi_(mdi), keys_(keys), dispatch_(std::move(dispatch)) {}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) return false;
    // Only once per key, at the widget that gets it first; never in dialogs or open menus.
    QWidget* focus = QApplication::focusWidget();
    QWidget* target = focus ? focus : &window_;
    if (watched != target || target->window() != &window_) return false;
    if (QApplication::activePopupWidget() || QApplication::activeModalWidget()) return false;

    auto* key = static_cast<QKeyEvent*>(event);
    const std::optional<KeyStroke> stroke = WindowsKeyOf(*key);
    if (!stroke) return false;

    bool viewOwnsKey = false;
    for (QWidget* widget = target; widget; widget = widget->parentWidget()) {
        if (auto* view = qobject_cast<ViewBase*>(widget)) {
            viewOwnsKey = view->OwnsKey(*key);
            break;
        }
    }
    switch (RouteKey(*stroke, FocusKindOf(target), viewOwnsKey)) {
        case KeyRoute::Widget:
            return false;
        case KeyRoute::Mdi:
            if (type == QEvent::KeyPress) {
                switch (MdiKeyOf(*stroke)) {
                    case MdiKey::Close:
                        mdi_.closeActiveSubWindow();
                        break;
                    case MdiKey::Next:
                        mdi_.activateNextSubWindow();
                        break;
                    case MdiKey::Previous:
                        mdi_.activatePreviousSubWindow();
                        break;
                    case MdiKey::None:
                        break;
                }
            }
            event->accept();
            return true;
        case KeyRoute::Lookup:
            break;
    }
    const std::optional<int> command =
        keys_.Lookup(stroke->code, stroke->alt, stroke->shift, stroke->ctrl);
    if (!command) return false;
    if (type == QEvent::KeyPress && dispatch_) {
        // Posted, as the key's message was: the command runs after the key is done with.
        const int id = *command;
        QMetaObject::invokeMethod(
            this, [this, id] { dispatch_(id); }, Qt::QueuedConnection);
    }
    event->accept();
    return true;
}

}  // namespace almx
