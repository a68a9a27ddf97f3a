#include "calendar/ui/day_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "base/clock.h"
#include "base/settings_store.h"
#include "calendar/ui/entry_widgets.h"
#include "core/record_display.h"
#include "document/document.h"
#include "ui/document_host.h"

namespace almx {

CDayDlg::CDayDlg(DocumentHost& host, const EntryEnvironment& env, const DateTime& day,
                 QWidget* parent)
    : QDialog(parent),
      host_(host),
      env_(env),
      day_(day.Date()),
      cells_(1),
      list_(new QListWidget(this)),
      edit_(new QPushButton(QStringLiteral("編集"), this)),
      copy_(new QPushButton(QStringLiteral("連続コピー..."), this)),
      delete_(new QPushButton(QStringLiteral("削除"), this)) {
    setWindowTitle(ToQ(FormatDate(day_) + " (" + kWeekdayNames[day_.DayOfWeek()] + ")"));
    auto* addSchedule = new QPushButton(QStringLiteral("スケジュールの追加"), this);
    auto* addTodo = new QPushButton(QStringLiteral("Todoの追加"), this);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    for (QPushButton* button : {addSchedule, addTodo, edit_, copy_, delete_, close}) {
        button->setAutoDefault(false);
    }
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(addSchedule);
    buttons->addWidget(addTodo);
    buttons->addWidget(edit_);
    buttons->addWidget(copy_);
    buttons->addWidget(delete_);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    list_->setMinimumWidth(320);

    connect(addSchedule, &QPushButton::clicked, this, &CDayDlg::AddSchedule);
    connect(addTodo, &QPushButton::clicked, this, &CDayDlg::AddTodo);
    connect(edit_, &QPushButton::clicked, this, &CDayDlg::Edit);
    connect(copy_, &QPushButton::clicked, this, &CDayDlg::Copy);
    connect(delete_, &QPushButton::clicked, this, &CDayDlg::Delete);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(list_, &QListWidget::itemActivated, this, &CDayDlg::Edit);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        edit_->setEnabled(row >= 0);
        copy_->setEnabled(row >= 0);
        delete_->setEnabled(row >= 0);
    });
    Fill(0);
}

CDayDlg::~CDayDlg() = default;

void CDayDlg::Fill(int select) {
    CAlmxDoc& document = host_.Document();
    const DayCellSettings settings = DayCellSettings::FromSettings(env_.settings);
    const DayCellSource source = document.FillSource();
    list_->clear();
    if (cells_.Fill(day_, 1, source, settings, env_.clock, nullptr)) {
        const DisplayRules rules = DisplayRules::FromSettings(env_.settings);
        for (const CAlmxData* entry : cells_[0].entries) {
            std::string text = EntryText(*entry, day_, 0, rules);
            if (entry->Has(IsTodo)) text = "[Todo] " + text;
            if (entry->Has(HideInViews)) text += "  [非表示]";
            list_->addItem(ToQ(text));
        }
    }
    const int count = list_->count();
    if (count > 0) list_->setCurrentRow(std::clamp(select, 0, count - 1));
    edit_->setEnabled(count > 0);
    copy_->setEnabled(count > 0);
    delete_->setEnabled(count > 0);
}

std::vector<std::string> CDayDlg::Rows() const {
    std::vector<std::string> rows;
    for (int i = 0; i < list_->count(); ++i) rows.push_back(FromQ(list_->item(i)->text()));
    return rows;
}

void CDayDlg::SelectRow(int row) {
    list_->setCurrentRow(row);
}

const CAlmxData* CDayDlg::Selected() const {
    const int row = list_->currentRow();
    if (row < 0 || cells_.Count() < 1) return nullptr;
    const auto& entries = cells_[0].entries;
    return static_cast<std::size_t>(row) < entries.size() ? entries[static_cast<std::size_t>(row)]
                                                          : nullptr;
}

void CDayDlg::Done(bool changed, int select) {
    changed_ = changed_ || changed;
    // Refilled whatever happened: the cells point into the document's records.
    Fill(select);
}

void CDayDlg::AddSchedule() {
    const bool added = almx::AddSchedule(this, host_, env_, day_);
    Done(added, added ? list_->count() : list_->currentRow());
}

void CDayDlg::AddTodo() {
    const bool added = almx::AddTodo(this, host_, env_);
    Done(added, list_->currentRow());
}

void CDayDlg::Edit() {
    const int row = list_->currentRow();
    const CAlmxData* record = Selected();
    if (!record) return;
    Done(EditRecord(this, host_, env_, record), row);
}

void CDayDlg::Copy() {
    const int row = list_->currentRow();
    const CAlmxData* record = Selected();
    if (!record) return;
    Done(RepeatedCopy(this, host_, env_, record), row);
}

void CDayDlg::Delete() {
    const int row = list_->currentRow();
    const CAlmxData* record = Selected();
    if (!record) return;
    const DeleteOutcome outcome = host_.Document().DeleteRecord(record, day_);
    const bool deleted = outcome == DeleteOutcome::Deleted || outcome == DeleteOutcome::DayExcepted;
    if (deleted) host_.Changed();
    Done(deleted, row);
}

}  // namespace almx
