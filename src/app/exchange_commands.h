#pragma once
// The document's exchange commands: Outlook exports and imports, GENIO and Zaurus files, and
// the text copy.

#include <functional>

class QWidget;

namespace almx {

class CAlmxDoc;
struct AppContext;

namespace exchange_cmd {
inline constexpr int kTextCopy = 32874;
inline constexpr int kOutlookExport = 32970;
inline constexpr int kOutlookTodoExport = 32971;
inline constexpr int kOutlookImport = 32972;
inline constexpr int kOutlookTodoImport = 32973;
inline constexpr int kGenioExport = 32974;
inline constexpr int kZaurusExport = 32975;
inline constexpr int kHtmlOut = 32901;
inline constexpr int kHtmlOptions = 32981;
inline constexpr int kFtpSettings = 32980;
}  // namespace exchange_cmd

// Whether the id is one of the commands above.
bool IsExchangeCommand(int id);

// Runs the command; refresh is called after records were added.
void RunExchangeCommand(int id, CAlmxDoc& doc, AppContext& context, QWidget* parent,
                        const std::function<void()>& refresh);

}  // namespace almx
