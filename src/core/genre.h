#pragma once
// Genres: named categories with a colour; a record refers to one by its index in the
// document's list. Index 0 is the general genre and always stays first.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace almx {

class CAlmxField {
public:
    std::string name;
    std::uint32_t colour = 0;  // 0x00BBGGRR
    int shown = 1;
    std::string note;
    // Kept and copied from the legacy genre file; never written to the schedule file.
    std::array<std::uint16_t, 4> values{};
    std::array<std::string, 4> texts{};

    bool operator==(const CAlmxField&) const = default;
};

inline constexpr const char* kGeneralGenreName = "一般";

class CAlmxFieldArray {
public:
    std::size_t Count() const { return genres_.size(); }
    bool Empty() const { return genres_.empty(); }
    // Nullptr when the index is not below the count.
    const CAlmxField* At(int index) const;
    CAlmxField* At(int index);
    void Append(CAlmxField genre) { genres_.push_back(std::move(genre)); }
    void Clear() { genres_.clear(); }
    const std::vector<CAlmxField>& Items() const { return genres_; }
    std::vector<CAlmxField>& Items() { return genres_; }

    bool operator==(const CAlmxFieldArray&) const = default;

private:
    std::vector<CAlmxField> genres_;
};

}  // namespace almx
