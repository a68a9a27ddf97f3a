#include "app/exchange_commands.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>

#include "app/app_context.h"
#include "base/clock.h"
#include "base/data_folders.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "document/document.h"
#include "exchange/handheld_csv.h"
#include "exchange/html_calendar.h"
#include "exchange/outlook_csv.h"
#include "exchange/ui/export_dialogs.h"
#include "exchange/ui/ftp_dialogs.h"
#include "exchange/ui/html_dialogs.h"
#include "links/file_launcher.h"

namespace almx {

namespace {

using namespace exchange_cmd;

void OutlookExport(bool todo, CAlmxDoc& doc, AppContext& context, QWidget* parent) {
    CExportCsvForm form(*context.settings, *context.prompter);
    form.Preset(context.clock->Now());
    CExportCsvDlg dialog(form, *context.clock, parent);
    if (dialog.exec() != QDialog::Accepted) return;
    CAlmxArray& array = doc.Array();
    const DayCellSource source{array.records, &array.genres, &array.dayProperties};
    const ExportEnvironment environment{*context.settings, *context.clock, *context.prompter};
    bool ok = false;
    if (todo) {
        ok = CAlmxOutlookTodoExport(source, form.start, form.end, environment)
                 .ExportToFile(form.fileName, form.includeHidden);
    } else {
        ok = CAlmxOutlookExport(source, form.start, form.end, environment)
                 .ExportToFile(form.fileName, form.includeHidden);
    }
    if (!ok) context.prompter->ShowMessage(export_messages::kExportFailed, MessageKind::Error);
}

void OutlookImport(bool todo, CAlmxDoc& doc, AppContext& context, QWidget* parent,
                   const std::function<void()>& refresh) {
    if (!doc.CanChange()) return;
    const std::string initial =
        context.settings->GetString(outlook::kImportSection, outlook::kImportKey, "");
    const std::string path = ChooseCsvFile(parent, outlook::kImportTitle, initial, false);
    if (path.empty()) return;
    context.settings->SetString(outlook::kImportSection, outlook::kImportKey, path);
    bool imported = false;
    if (todo) {
        imported = CAlmxOutlookTodoImport(doc, *context.prompter).ImportFile(path, 0);
    } else {
        imported = CAlmxOutlookImport(doc, *context.prompter).ImportFile(path, 0);
    }
    if (imported && refresh) refresh();
}

void HandheldExport(bool genio, CAlmxDoc& doc, AppContext& context, QWidget* parent) {
    const char* key = genio ? handheld::kGenioKey : handheld::kZaurusKey;
    const std::string initial = context.settings->GetString(
        handheld::kSection, key, genio ? handheld::kGenioDefault : handheld::kZaurusDefault);
    const std::string path = ChooseCsvFile(
        parent, genio ? handheld::kGenioTitle : handheld::kZaurusTitle, initial, true);
    if (path.empty()) return;
    context.settings->SetString(handheld::kSection, key, path);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::string text = genio ? GenioText(doc.Records()) : ZaurusText(doc.Records());
    FileWriter writer;
    QApplication::restoreOverrideCursor();
    if (!WriteShiftJisFile(path, text, writer, *context.prompter, handheld::kCannotOpen)) {
        context.prompter->ShowMessage(export_messages::kExportFailed, MessageKind::Error);
    }
}

void TextCopy(CAlmxDoc& doc, AppContext& context, QWidget* parent) {
    CTextCopyForm form(*context.settings, *context.prompter);
    form.Preset(context.clock->Now());
    CTextCopyDlg dialog(form, *context.clock, parent);
    if (dialog.exec() != QDialog::Accepted) return;
    CAlmxArray& array = doc.Array();
    const DayCellSource source{array.records, &array.genres, &array.dayProperties};
    CAlmxTextExport exporter(source, form.start, form.end,
                             {*context.settings, *context.clock, *context.prompter});
    QtClipboard clipboard;
    if (!exporter.ExportToClipboard(form.Options(), clipboard)) {
        context.prompter->ShowMessage(export_messages::kNoSchedules);
    }
}

void HtmlOut(CAlmxDoc& doc, AppContext& context, QWidget* parent) {
    HtmlMonthOutSettings request = HtmlMonthOutSettings::Load(*context.settings);
    request.PresetRange(Today(*context.clock, context.display.todayLimit));
    CHtmlOutDlg dialog(request, *context.settings, parent);
    if (dialog.exec() != QDialog::Accepted) return;
    CAlmxArray& array = doc.Array();
    const DayCellSource source{array.records, &array.genres, &array.dayProperties};
    CHtmlGenerator generator(source, *context.settings, *context.clock, &doc.FillNotices());
    PageWriter writer;
    const std::filesystem::path templates =
        DataFile(context.programFolder, kMonthStyleSheet).parent_path();
    const std::optional<std::filesystem::path> first =
        WriteHtmlPages(request, generator, templates, *context.settings, *context.prompter, writer);
    doc.ShowFillNotices();
    if (first && dialog.Preview() && context.launcher) context.launcher->Open(first->string(), "");
}

}  // namespace

bool IsExchangeCommand(int id) {
    switch (id) {
        case kTextCopy:
        case kOutlookExport:
        case kOutlookTodoExport:
        case kOutlookImport:
        case kOutlookTodoImport:
        case kGenioExport:
        case kZaurusExport:
        case kHtmlOut:
        case kHtmlOptions:
        case kFtpSettings:
            return true;
        default:
            return false;
    }
}

void RunExchangeCommand(int id, CAlmxDoc& doc, AppContext& context, QWidget* parent,
                        const std::function<void()>& refresh) {
    switch (id) {
        case kTextCopy:
            TextCopy(doc, context, parent);
            break;
        case kOutlookExport:
        case kOutlookTodoExport:
            OutlookExport(id == kOutlookTodoExport, doc, context, parent);
            break;
        case kOutlookImport:
        case kOutlookTodoImport:
            OutlookImport(id == kOutlookTodoImport, doc, context, parent, refresh);
            break;
        case kGenioExport:
        case kZaurusExport:
            HandheldExport(id == kGenioExport, doc, context, parent);
            break;
        case kHtmlOut:
            HtmlOut(doc, context, parent);
            break;
        case kHtmlOptions: {
            CHtmlOptionDlg dialog(*context.settings, parent);
            dialog.exec();
            break;
        }
        case kFtpSettings: {
            CFtpSetDlg dialog(doc, *context.prompter, parent);
            dialog.exec();
            break;
        }
        default:
            break;
    }
}

}  // namespace almx
