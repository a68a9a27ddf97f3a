#include "core/print_form.h"

#include <optional>

#include "base/prompter.h"
#include "base/settings_store.h"

namespace almx {

namespace {

bool InRange(long value) {
    return value >= 0 && value <= kPrintOriginMax;
}

// Digits only, surrounding blanks allowed; at most 9999.
std::optional<int> ParseMargin(const std::string& text) {
    std::size_t begin = text.find_first_not_of(" \t");
    std::size_t end = text.find_last_not_of(" \t");
    if (begin == std::string::npos) return std::nullopt;
    long value = 0;
    for (std::size_t i = begin; i <= end; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > kPrintOriginMax) return std::nullopt;
    }
    return static_cast<int>(value);
}

}  // namespace

PrintOrigin PrintOrigin::Load(const SettingsStore& settings) {
    PrintOrigin origin;
    const long left = settings.GetInt("Print", "Left", kPrintOriginDefault);
    const long top = settings.GetInt("Print", "Top", kPrintOriginDefault);
    if (InRange(left)) origin.left = static_cast<int>(left);
    if (InRange(top)) origin.top = static_cast<int>(top);
    return origin;
}

void PrintOrigin::Store(SettingsStore& settings) const {
    settings.SetInt("Print", "Left", left);
    settings.SetInt("Print", "Top", top);
}

PrintForm::PrintForm(const PrintOrigin& origin) : origin_(origin) {}

bool PrintForm::Accept(const std::string& left, const std::string& top, Prompter& prompter) {
    const auto l = ParseMargin(left);
    const auto t = ParseMargin(top);
    if (!l || !t) {
        prompter.ShowMessage(kPrintOriginRangeMessage, MessageKind::Warning);
        return false;
    }
    origin_ = {*l, *t};
    return true;
}

}  // namespace almx
