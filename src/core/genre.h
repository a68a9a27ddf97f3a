#pragma once
// Genres: named categories with a colour; a record refers to one by its index in the
// document's list. Index 0 is the general genre and always stays first.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace almx {

class CAlmxData;
class RecordList;

class CAlmxField {
  public:
    CAlmxField() = default;
    explicit CAlmxField(std::string genreName, std::uint32_t genreColour = 0, int genreShown = 1)
        : name(std::move(genreName)), colour(genreColour), shown(genreShown) {}

    bool IsShown() const { return shown != 0; }

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

// Record genre numbers come from files unchecked. The list is extended for an undefined
// index only up to this bound; any other number is drawn as genre 0 and stays stored as it is.
inline constexpr int kMaxGenreIndex = 1000;

class CAlmxFieldArray {
  public:
    // The list of a program without a genre file: "一般" alone.
    static CAlmxFieldArray General();

    std::size_t Count() const { return genres_.size(); }
    bool Empty() const { return genres_.empty(); }
    // Nullptr when the index is not below the count.
    const CAlmxField* At(int index) const;
    CAlmxField* At(int index);
    void Append(CAlmxField genre) { genres_.push_back(std::move(genre)); }
    void Clear() { genres_.clear(); }
    const std::vector<CAlmxField>& Items() const { return genres_; }
    std::vector<CAlmxField>& Items() { return genres_; }

    // Deep copy of the default list (new document, file without genre rows).
    void SetFrom(const CAlmxFieldArray& defaults) { genres_ = defaults.genres_; }

    // The index of the first genre named exactly so; appends a new genre with that name and
    // the defaults when there is none.
    int FindOrAdd(std::string_view name);

    // Appends genres named "ジャンル%d" (their position counted from 1) until the index
    // exists. Only indexes 0..kMaxGenreIndex are extended to; returns whether the index exists
    // afterwards.
    bool ExtendTo(int index);

    // A stored default genre index (document values): one not below the count means 0.
    int DefaultIndex(int index) const;

    // The genre a record is drawn with: its own, genre 0 for a number that cannot be extended
    // to, nullptr only while the index is undefined (or the list empty).
    const CAlmxField* ForRecord(int index) const;

    // The names in list order (the genre combo boxes).
    std::vector<std::string> Names() const;

    bool operator==(const CAlmxFieldArray&) const = default;

  private:
    std::vector<CAlmxField> genres_;
};

// Whether a record's genre number is one the list may be extended to.
inline bool IsExtendableGenreIndex(int index) {
    return index >= 0 && index <= kMaxGenreIndex;
}

// Removes genre i (i > 0): records of genre i get genre 0 and genre 0's colour, records of a
// later genre move down by one. False (nothing changed) for index 0 or an index out of range.
bool DeleteGenre(CAlmxFieldArray& genres, int index, RecordList& records);

// Exchanges genres i and j and the genre numbers i and j of every record.
bool SwapGenres(CAlmxFieldArray& genres, int i, int j, RecordList& records);

// Gives the records of genre i the genre's colour: all of them, or only those still showing
// the genre's previous colour. Returns how many records changed.
int ApplyGenreColour(const CAlmxFieldArray& genres, int index, std::uint32_t previousColour,
                     bool all, RecordList& records);

}  // namespace almx
