#include "views/print_support.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>

#include "base/prompter.h"
#include "base/settings_store.h"

namespace almx {

PrintScale FitToPage(QSize view, QSize page, int dpiX, int dpiY, const PrintOrigin& origin) {
    PrintScale scale;
    scale.x = dpiX / 100.0;
    scale.y = dpiY / 100.0;
    const double wide = view.width() * scale.x;
    const double high = view.height() * scale.y;
    const double roomX = std::max(1, page.width() - origin.left);
    const double roomY = std::max(1, page.height() - origin.top);
    if (wide > 0 && high > 0) scale.shrink = std::min({1.0, roomX / wide, roomY / high});
    scale.x *= scale.shrink;
    scale.y *= scale.shrink;
    return scale;
}

void RenderPrintout(QPainter& painter, QPaintDevice& device, QSize page, QSize view,
                    const PrintOrigin& origin, const ViewDrawing& draw) {
    const PrintScale scale =
        FitToPage(view, page, device.logicalDpiX(), device.logicalDpiY(), origin);
    painter.save();
    painter.translate(origin.left, origin.top);
    painter.scale(scale.x, scale.y);
    painter.setClipRect(QRect(QPoint(0, 0), view));
    draw(painter);
    painter.restore();
}

QPrinter& ApplicationPrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

void PrinterSetup(QWidget* parent) {
    QPageSetupDialog dialog(&ApplicationPrinter(), parent);
    dialog.exec();
}

namespace {

void PrintOn(QPrinter& printer, QWidget* view, SettingsStore& settings, const ViewDrawing& draw) {
    QPainter painter;
    if (!painter.begin(&printer)) return;
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    RenderPrintout(painter, printer, page.size(), view->size(), PrintOrigin::Load(settings), draw);
    painter.end();
}

}  // namespace

void PrintView(QWidget* view, const QString& documentName, SettingsStore& settings,
               const ViewDrawing& draw) {
    QPrinter& printer = ApplicationPrinter();
    const QByteArray pdf = qgetenv(kPrintPdfVariable);
    if (!pdf.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromLocal8Bit(pdf));
        PrintOn(printer, view, settings, draw);
        return;
    }
    if (QPrinterInfo::availablePrinters().isEmpty() && printer.outputFileName().isEmpty()) {
        // No printer installed: the dialog starts on PDF with the document's name.
        const QFileInfo info(documentName.isEmpty() ? QStringLiteral("almanix") : documentName);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(info.absolutePath() + QLatin1Char('/') + info.completeBaseName() +
                                  QStringLiteral(".pdf"));
    }
    QPrintDialog dialog(&printer, view);
    // One page: no range to choose.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setMinMax(1, 1);
    if (dialog.exec() != QDialog::Accepted) return;
    PrintOn(printer, view, settings, draw);
}

void PreviewView(QWidget* view, SettingsStore& settings, const ViewDrawing& draw) {
    QPrintPreviewDialog dialog(&ApplicationPrinter(), view);
    QObject::connect(
        &dialog, &QPrintPreviewDialog::paintRequested, view,
        [view, &settings, &draw](QPrinter* printer) { PrintOn(*printer, view, settings, draw); });
    dialog.exec();
}

CPrintFormDlg::CPrintFormDlg(const PrintOrigin& origin, Prompter& prompter, QWidget* parent)
    : QDialog(parent), form_(origin), prompter_(prompter) {
    setWindowTitle(QStringLiteral("印刷形式"));
    left_ = new QLineEdit(QString::fromStdString(form_.LeftText()), this);
    top_ = new QLineEdit(QString::fromStdString(form_.TopText()), this);
    left_->setMaxLength(4);
    top_->setMaxLength(4);
    auto* form = new QFormLayout;
    auto* leftLabel = new QLabel(QStringLiteral("左マージン(&L):"), this);
    auto* topLabel = new QLabel(QStringLiteral("上マージン(&U):"), this);
    leftLabel->setBuddy(left_);
    topLabel->setBuddy(top_);
    form->addRow(leftLabel, left_);
    form->addRow(topLabel, top_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CPrintFormDlg::accept() {
    if (!form_.Accept(left_->text().toStdString(), top_->text().toStdString(), prompter_)) return;
    QDialog::accept();
}

void RunPrintForm(QWidget* parent, SettingsStore& settings, Prompter& prompter) {
    CPrintFormDlg dialog(PrintOrigin::Load(settings), prompter, parent);
    if (dialog.exec() == QDialog::Accepted) dialog.Origin().Store(settings);
}

}  // namespace almx
