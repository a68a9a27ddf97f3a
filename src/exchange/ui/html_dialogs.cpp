#include "exchange/ui/html_dialogs.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cstdio>

#include "base/settings_store.h"
#include "ui/colour_button.h"

namespace almx {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string S(const QLineEdit* edit) {
    return edit->text().toStdString();
}

QSpinBox* SpinBox(int low, int high, int value, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(low, high);
    box->setValue(value);
    return box;
}

// "#RRGGBB" as 0x00BBGGRR, or white.
std::uint32_t ParseCssColour(const std::string& text) {
    unsigned r = 0, g = 0, b = 0;
    if (text.size() == 7 && std::sscanf(text.c_str(), "#%2x%2x%2x", &r, &g, &b) == 3) {
        return r | (g << 8) | (b << 16);
    }
    return 0xFFFFFF;
}

}  // namespace

CHtmlOutDlg::CHtmlOutDlg(HtmlMonthOutSettings& request, SettingsStore& settings, QWidget* parent,
                         const char* section)
    : QDialog(parent), request_(request), settings_(settings), section_(section) {
    setWindowTitle(QStringLiteral("HTML出力"));
    auto* form = new QFormLayout;
    folderEdit = new QLineEdit(Q(request.folder), this);
    auto* choose = new QPushButton(QStringLiteral("フォルダ選択"), this);
    connect(choose, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(
            this, QStringLiteral("フォルダ選択"), folderEdit->text());
        if (!folder.isEmpty()) folderEdit->setText(folder);
    });
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folderEdit);
    folderRow->addWidget(choose);
    form->addRow(QStringLiteral("出力先フォルダ"), folderRow);
    fileEdit = new QLineEdit(Q(request.fileName), this);
    form->addRow(QStringLiteral("月ファイル名"), fileEdit);
    topEdit = new QLineEdit(Q(request.topName), this);
    form->addRow(QStringLiteral("トップページ名"), topEdit);
    backUrlEdit = new QLineEdit(Q(request.backUrl), this);
    form->addRow(QStringLiteral("戻りURL"), backUrlEdit);
    naviBox = new QCheckBox(QStringLiteral("前後の月へのリンクを付ける"), this);
    naviBox->setChecked(request.navi);
    form->addRow(QString(), naviBox);
    mobileFileEdit = new QLineEdit(Q(request.mobileFile), this);
    form->addRow(QStringLiteral("モバイル用月ファイル名"), mobileFileEdit);
    mobileTopEdit = new QLineEdit(Q(request.mobileTop), this);
    form->addRow(QStringLiteral("モバイル用トップページ名"), mobileTopEdit);
    startYear = SpinBox(1583, 9998, request.startYear, this);
    startMonth = SpinBox(1, 12, request.startMonth, this);
    endYear = SpinBox(1583, 9998, request.endYear, this);
    endMonth = SpinBox(1, 12, request.endMonth, this);
    auto* range = new QHBoxLayout;
    range->addWidget(startYear);
    range->addWidget(startMonth);
    range->addWidget(new QLabel(QStringLiteral("～"), this));
    range->addWidget(endYear);
    range->addWidget(endMonth);
    form->addRow(QStringLiteral("期間（年 月）"), range);

    auto* start = new QPushButton(QStringLiteral("開始"), this);
    auto* preview = new QPushButton(QStringLiteral("出力してプレビュー"), this);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    start->setDefault(true);
    connect(start, &QPushButton::clicked, this, [this] { Confirm(false); });
    connect(preview, &QPushButton::clicked, this, [this] { Confirm(true); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(start);
    buttons->addWidget(preview);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

void CHtmlOutDlg::Confirm(bool preview) {
    request_.folder = S(folderEdit);
    request_.fileName = S(fileEdit);
    request_.topName = S(topEdit);
    request_.backUrl = S(backUrlEdit);
    request_.navi = naviBox->isChecked();
    request_.mobileFile = S(mobileFileEdit);
    request_.mobileTop = S(mobileTopEdit);
    request_.startYear = startYear->value();
    request_.startMonth = startMonth->value();
    request_.endYear = endYear->value();
    request_.endMonth = endMonth->value();
    request_.Store(settings_, section_);
    preview_ = preview;
    accept();
}

CHtmlOptionDlg::CHtmlOptionDlg(SettingsStore& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(QStringLiteral("HTML出力オプション"));
    const HtmlExportSettings options = HtmlExportSettings::Load(settings);
    fontTagBox = new QCheckBox(QStringLiteral("FONTタグで色を付ける"), this);
    fontTagBox->setChecked(options.fontTag);
    colorBox = new QCheckBox(QStringLiteral("文字色を出力する"), this);
    colorBox->setChecked(options.color);
    backColorBox = new QCheckBox(QStringLiteral("日の背景色を出力する"), this);
    backColorBox->setChecked(options.backColor);
    cssOutBox = new QCheckBox(QStringLiteral("CSSファイルを出力する"), this);
    cssOutBox->setChecked(options.cssOut);
    cssColorEdit = new QLineEdit(Q(options.cssColor), this);
    auto* colour = new QPushButton(QStringLiteral("色選択..."), this);
    connect(colour, &QPushButton::clicked, this, [this] {
        std::uint32_t value = ParseCssColour(S(cssColorEdit));
        if (ChooseColour(this, QStringLiteral("CSSの色"), value)) {
            cssColorEdit->setText(Q(HtmlColour(value)));
        }
    });
    viewWidthEdit = new QLineEdit(Q(options.viewWidth), this);

    auto* form = new QFormLayout;
    form->addRow(QString(), fontTagBox);
    form->addRow(QString(), colorBox);
    form->addRow(QString(), backColorBox);
    form->addRow(QString(), cssOutBox);
    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(cssColorEdit);
    colourRow->addWidget(colour);
    form->addRow(QStringLiteral("CSSの色"), colourRow);
    form->addRow(QStringLiteral("表示幅"), viewWidthEdit);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

void CHtmlOptionDlg::accept() {
    HtmlExportSettings options;
    options.fontTag = fontTagBox->isChecked();
    options.color = colorBox->isChecked();
    options.backColor = backColorBox->isChecked();
    options.cssOut = cssOutBox->isChecked();
    options.cssColor = S(cssColorEdit);
    options.viewWidth = S(viewWidthEdit);
    options.Store(settings_);
    QDialog::accept();
}

}  // namespace almx
