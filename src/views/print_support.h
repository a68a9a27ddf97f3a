#pragma once
// Printing of the calendar views: the view's own drawing with its screen layout, one screen
// pixel to 0.01 inch, from "Print"/"Left" and "Print"/"Top" printer pixels inside the
// printable area, shrunk uniformly when it would not fit (never enlarged). One application
// printer serves set-up, print and preview.

#include <QDialog>
#include <QSize>
#include <functional>

#include "core/print_form.h"

class QLineEdit;
class QPainter;
class QPaintDevice;
class QPrinter;

namespace almx {

class Prompter;
class SettingsStore;

// The environment variable that names a PDF file: the print command writes it without the
// dialog.
inline constexpr const char* kPrintPdfVariable = "ALMX_PRINT_PDF";

struct PrintScale {
    double x = 1;  // device pixels per screen pixel
    double y = 1;
    double shrink = 1;  // 1, or the factor that made the drawing fit
};

// Device pixels per screen pixel at dpi, shrunk to fit the area left of the page after the
// origin.
PrintScale FitToPage(QSize view, QSize page, int dpiX, int dpiY, const PrintOrigin& origin);

// Draws the printout on any device whose coordinates start at the printable area.
using ViewDrawing = std::function<void(QPainter&)>;
void RenderPrintout(QPainter& painter, QPaintDevice& device, QSize page, QSize view,
                    const PrintOrigin& origin, const ViewDrawing& draw);

// The printer shared by set-up, print and preview, at high resolution.
QPrinter& ApplicationPrinter();

// 57606: the printer set-up.
void PrinterSetup(QWidget* parent);
// 57607: the print dialog (one page; PDF with a file name from the document when no printer
// is installed), or straight to the PDF file the environment names.
void PrintView(QWidget* view, const QString& documentName, SettingsStore& settings,
               const ViewDrawing& draw);
// 57609: the preview with the same drawing.
void PreviewView(QWidget* view, SettingsStore& settings, const ViewDrawing& draw);

// CPrintFormDlg (印刷形式): both margins, checked by PrintForm.
class CPrintFormDlg : public QDialog {
    Q_OBJECT
  public:
    CPrintFormDlg(const PrintOrigin& origin, Prompter& prompter, QWidget* parent = nullptr);
    const PrintOrigin& Origin() const { return form_.Origin(); }
    QLineEdit* LeftEdit() const { return left_; }
    QLineEdit* TopEdit() const { return top_; }
    void accept() override;

  private:
    PrintForm form_;
    Prompter& prompter_;
    QLineEdit* left_ = nullptr;
    QLineEdit* top_ = nullptr;
};

// 32786: the print form; OK writes both settings.
void RunPrintForm(QWidget* parent, SettingsStore& settings, Prompter& prompter);

}  // namespace almx
