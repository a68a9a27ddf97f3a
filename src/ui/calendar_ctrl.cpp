#include "ui/calendar_ctrl.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <cstdio>

#include "base/clock.h"
#include "ui/font_faces.h"
#include "ui/qt_colour.h"

namespace almx {

namespace {

constexpr const char* kFace = "ＭＳ Ｐゴシック";
// 8 and 9 points at 96 dots per inch, as character heights.
const FontSpec kDayFontDefault{kFace, -11, 400, 0, 0, 128};
const FontSpec kCaptionFontDefault{kFace, -12, 700, 0, 0, 128};

// "View"/"WeekColor%d" defaults: Sunday red, Saturday blue, the rest black.
constexpr std::array<std::uint32_t, 7> kWeekdayColourDefaults{0x0000FF, 0, 0, 0, 0, 0, 0xFF0000};

QFont Bolded(const QFont& font) {
    QFont bold = font;
    bold.setBold(true);
    return bold;
}

QRect ToQRect(const CalendarRect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

}  // namespace

CVeltaCalenderCtrl::CVeltaCalenderCtrl(QWidget* parent, const QRect& rect, int id)
    : QWidget(parent),
      id_(id),
      dayFont_(FontFromSpec(kDayFontDefault)),
      boldFont_(Bolded(dayFont_)),
      captionFont_(FontFromSpec(kCaptionFontDefault)),
      weekdayColours_(kWeekdayColourDefaults) {
    setFocusPolicy(Qt::ClickFocus);
    grid_.Select(Today());
    previousButton_ = new QPushButton(QStringLiteral("<"), this);
    nextButton_ = new QPushButton(QStringLiteral(">"), this);
    previousButton_->setObjectName(QStringLiteral("calendarPrevious"));
    nextButton_->setObjectName(QStringLiteral("calendarNext"));
    previousButton_->setFocusPolicy(Qt::NoFocus);
    nextButton_->setFocusPolicy(Qt::NoFocus);
    connect(previousButton_, &QPushButton::clicked, this, [this] { PreviousMonth(); });
    connect(nextButton_, &QPushButton::clicked, this, [this] { NextMonth(); });
    setGeometry(rect);
    PlaceButtons();
}

CVeltaCalenderCtrl::~CVeltaCalenderCtrl() = default;

void CVeltaCalenderCtrl::SetDayFont(const QFont& font) {
    dayFont_ = font;
    boldFont_ = Bolded(font);
    update();
}

void CVeltaCalenderCtrl::SetWeekdayColours(const std::array<std::uint32_t, 7>& colours) {
    weekdayColours_ = colours;
    update();
}

void CVeltaCalenderCtrl::SetFirstWeekday(int firstWeekday) {
    grid_.SetFirstWeekday(firstWeekday);
    update();
}

void CVeltaCalenderCtrl::SetRows(int rows) {
    grid_.SetRows(rows);
    update();
}

void CVeltaCalenderCtrl::SetCaption(bool on) {
    caption_ = on;
    PlaceButtons();
    update();
}

void CVeltaCalenderCtrl::SetHolidayMarking(bool on) {
    holidayMarking_ = on;
    update();
}

void CVeltaCalenderCtrl::SetBackColour(std::uint32_t colour) {
    backColour_ = colour;
    update();
}

void CVeltaCalenderCtrl::SetHolidayColour(std::uint32_t colour) {
    holidayColour_ = colour;
    update();
}

void CVeltaCalenderCtrl::SetOtherMonthColour(std::uint32_t colour) {
    otherMonthColour_ = colour;
    update();
}

void CVeltaCalenderCtrl::SetCaptionColour(std::uint32_t colour) {
    captionColour_ = colour;
    update();
}

void CVeltaCalenderCtrl::SetDayBold(int day, bool on) {
    grid_.SetBold(day, on);
    update();
}

void CVeltaCalenderCtrl::SetDayHoliday(int day, bool on) {
    grid_.SetHoliday(day, on);
    update();
}

void CVeltaCalenderCtrl::SetClock(const Clock* clock, int todayLimit) {
    clock_ = clock;
    todayLimit_ = todayLimit;
    update();
}

DateTime CVeltaCalenderCtrl::Today() const {
    static const SystemClock system;
    return almx::Today(clock_ ? *clock_ : system, todayLimit_);
}

bool CVeltaCalenderCtrl::SetDate(const DateTime& date) {
    return Apply(grid_.Select(date));
}

bool CVeltaCalenderCtrl::MoveMonths(int months) {
    return Apply(grid_.MoveMonths(months));
}

bool CVeltaCalenderCtrl::Apply(CalendarGrid::Change change) {
    if (change == CalendarGrid::Change::Refused) return false;
    update();
    const DateTime date = grid_.Selected();
    if (change == CalendarGrid::Change::NewMonth) {
        emit MonthChanged(id_, date.Year(), date.Month());
        emit Notified(id_, kMonthChanged);
    }
    emit DateChanged(id_, date);
    emit Notified(id_, kDateChanged);
    return true;
}

int CVeltaCalenderCtrl::CaptionHeight() const {
    return caption_ ? QFontMetrics(captionFont_).height() * 2 : 0;
}

CalendarLayout CVeltaCalenderCtrl::Layout() const {
    const QFontMetrics metrics(dayFont_);
    CalendarLayout::Metrics m;
    m.width = width();
    m.height = height();
    m.captionHeight = CaptionHeight();
    m.rows = grid_.Rows();
    m.boxWidth = metrics.horizontalAdvance(QStringLiteral("55"));
    m.boxHeight = metrics.height();
    return CalendarLayout(m);
}

void CVeltaCalenderCtrl::PlaceButtons() {
    if (!previousButton_) return;
    previousButton_->setVisible(caption_);
    nextButton_->setVisible(caption_);
    if (!caption_) return;
    const QFontMetrics metrics(captionFont_);
    const int average = metrics.averageCharWidth();
    const int line = metrics.height();
    previousButton_->setGeometry(ToQRect(CaptionPreviousButton(width(), average, line)));
    nextButton_->setGeometry(ToQRect(CaptionNextButton(width(), average, line)));
}

void CVeltaCalenderCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceButtons();
}

std::optional<DateTime> CVeltaCalenderCtrl::DateAt(const QPoint& point) const {
    const int cell = Layout().HitCell(point.x(), point.y());
    if (!grid_.CellUsable(cell)) return std::nullopt;
    return grid_.CellDate(cell);
}

void CVeltaCalenderCtrl::PaintCaption(QPainter& painter) {
    const int band = CaptionHeight();
    painter.fillRect(QRect(0, 0, width(), band), ToQColor(captionColour_));
    char text[32];
    std::snprintf(text, sizeof text, "%04d年%02d月", grid_.Year(), grid_.Month());
    painter.setFont(captionFont_);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, width(), band), Qt::AlignCenter, QString::fromUtf8(text));
}

void CVeltaCalenderCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(backColour_));
    if (caption_) PaintCaption(painter);
    if (holidayMarking_) grid_.MarkHolidays();

    const CalendarLayout layout = Layout();
    const int column0 = CalendarColumnWeekday(grid_.FirstWeekday());
    const QFontMetrics dayMetrics(dayFont_);
    const QFontMetrics boldMetrics(boldFont_);

    painter.setFont(dayFont_);
    for (int column = 0; column < 7; ++column) {
        const int weekday = (column0 + column) % 7;
        painter.setPen(ToQColor(weekdayColours_[weekday]));
        painter.drawText(layout.ColumnX(column), layout.HeaderY() + dayMetrics.ascent() + 1,
                         QString::fromUtf8(kWeekdayNames[weekday]));
    }
    painter.setPen(Qt::black);
    painter.drawLine(0, layout.HeaderLineY(), width() - 1, layout.HeaderLineY());

    const DateTime today = Today();
    const DateTime selected = grid_.Selected();
    for (int row = 0; row < layout.Rows(); ++row) {
        for (int column = 0; column < 7; ++column) {
            const int cell = row * 7 + column;
            // The days beyond the calendar's range are never picked, so they are not shown.
            if (!grid_.CellUsable(cell)) continue;
            const DateTime date = grid_.CellDate(cell);
            const bool inMonth = date.Month() == grid_.Month();
            const bool bold = inMonth && grid_.Bold(date.Day());
            const QFontMetrics& metrics = bold ? boldMetrics : dayMetrics;
            char number[8];
            std::snprintf(number, sizeof number, "%2d", date.Day());
            const QString text = QString::fromLatin1(number);
            const CalendarRect box =
                layout.NumberBox(row, column, metrics.horizontalAdvance(text), metrics.height());
            QColor colour = ToQColor(otherMonthColour_);
            if (inMonth) {
                colour = ToQColor(grid_.Holiday(date.Day()) ? holidayColour_
                                                            : weekdayColours_[date.DayOfWeek()]);
            }
            if (date == selected) {
                painter.fillRect(ToQRect(box), QColor(0, 0, 255));
                colour = Qt::white;
            }
            if (date == today) {
                painter.setPen(QColor(255, 0, 0));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(ToQRect(box).adjusted(0, 0, -1, -1));
            }
            painter.setFont(bold ? boldFont_ : dayFont_);
            painter.setPen(colour);
            painter.drawText(layout.NumberX(column), layout.NumberY(row) + metrics.ascent(), text);
        }
    }
}

void CVeltaCalenderCtrl::keyPressEvent(QKeyEvent* event) {
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    CalendarKey key;
    switch (event->key()) {
        case Qt::Key_Left:
            key = CalendarKey::Left;
            break;
        case Qt::Key_Right:
            key = CalendarKey::Right;
            break;
        case Qt::Key_Up:
            key = CalendarKey::Up;
            break;
        case Qt::Key_Down:
            key = CalendarKey::Down;
            break;
        case Qt::Key_PageUp:
            key = CalendarKey::PageUp;
            break;
        case Qt::Key_PageDown:
            key = CalendarKey::PageDown;
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    // At either end of the calendar the key selects nothing new and sends nothing.
    const DateTime target = CalendarKeyTarget(grid_.Selected(), key, shift);
    if (target != grid_.Selected()) SetDate(target);
    event->accept();
}

void CVeltaCalenderCtrl::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    QWidget::mousePressEvent(event);
}

void CVeltaCalenderCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (const auto date = DateAt(event->position().toPoint())) SetDate(*date);
    }
    QWidget::mouseReleaseEvent(event);
}

void CVeltaCalenderCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit DoubleClicked(id_, grid_.Selected());
        emit Notified(id_, kDoubleClicked);
    }
    QWidget::mouseDoubleClickEvent(event);
}

}  // namespace almx
