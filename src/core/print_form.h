#pragma once
// The print form (印刷形式): the printout's origin on the page, "Print"/"Left" and
// "Print"/"Top" in printer pixels from the printable area.

#include <string>

namespace almx {

class Prompter;
class SettingsStore;

inline constexpr int kPrintOriginDefault = 200;
inline constexpr int kPrintOriginMax = 9999;
inline constexpr const char* kPrintOriginRangeMessage =
    "マージンには0から9999までの数値を入力してください。";

struct PrintOrigin {
    int left = kPrintOriginDefault;
    int top = kPrintOriginDefault;

    // Stored values outside 0..9999 read as the default.
    static PrintOrigin Load(const SettingsStore& settings);
    void Store(SettingsStore& settings) const;
};

class PrintForm {
  public:
    explicit PrintForm(const PrintOrigin& origin);
    std::string LeftText() const { return std::to_string(origin_.left); }
    std::string TopText() const { return std::to_string(origin_.top); }
    // Checks both texts (whole numbers 0 to 9999); on success keeps them and returns true,
    // else says why and returns false.
    bool Accept(const std::string& left, const std::string& top, Prompter& prompter);
    const PrintOrigin& Origin() const { return origin_; }

  private:
    PrintOrigin origin_;
};

}  // namespace almx
