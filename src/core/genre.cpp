#include "core/genre.h"

#include <cstdio>
#include <utility>

#include "core/record.h"
#include "core/record_list.h"

namespace almx {

CAlmxFieldArray CAlmxFieldArray::General() {
    CAlmxFieldArray list;
    list.Append(CAlmxField(kGeneralGenreName));
    return list;
}

const CAlmxField* CAlmxFieldArray::At(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= genres_.size()) return nullptr;
    return &genres_[static_cast<std::size_t>(index)];
}

CAlmxField* CAlmxFieldArray::At(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= genres_.size()) return nullptr;
    return &genres_[static_cast<std::size_t>(index)];
}

int CAlmxFieldArray::FindOrAdd(std::string_view name) {
    for (std::size_t i = 0; i < genres_.size(); ++i) {
        if (genres_[i].name == name) return static_cast<int>(i);
    }
    genres_.emplace_back(std::string(name));
    return static_cast<int>(genres_.size() - 1);
}

bool CAlmxFieldArray::ExtendTo(int index) {
    if (!IsExtendableGenreIndex(index)) return false;
    while (genres_.size() <= static_cast<std::size_t>(index)) {
        char name[32];
        std::snprintf(name, sizeof name, "ジャンル%zu", genres_.size() + 1);
        genres_.emplace_back(name);
    }
    return true;
}

int CAlmxFieldArray::DefaultIndex(int index) const {
    return At(index) ? index : 0;
}

const CAlmxField* CAlmxFieldArray::ForRecord(int index) const {
    if (!IsExtendableGenreIndex(index)) return At(0);
    return At(index);
}

std::vector<std::string> CAlmxFieldArray::Names() const {
    std::vector<std::string> names;
    names.reserve(genres_.size());
    for (const auto& genre : genres_) names.push_back(genre.name);
    return names;
}

bool DeleteGenre(CAlmxFieldArray& genres, int index, RecordList& records) {
    if (index <= 0 || !genres.At(index)) return false;
    auto& items = genres.Items();
    items.erase(items.begin() + index);
    const std::uint32_t generalColour = items.front().colour;
    for (auto& record : records) {
        if (record.genre == index) {
            record.genre = 0;
            record.colour = generalColour;
        } else if (record.genre > index) {
            // Numbers beyond any bound stay as they are: they never named a genre.
            if (IsExtendableGenreIndex(record.genre)) --record.genre;
        }
    }
    return true;
}

bool SwapGenres(CAlmxFieldArray& genres, int i, int j, RecordList& records) {
    CAlmxField* a = genres.At(i);
    CAlmxField* b = genres.At(j);
    if (!a || !b) return false;
    if (i == j) return true;
    std::swap(*a, *b);
    for (auto& record : records) {
        if (record.genre == i) {
            record.genre = j;
        } else if (record.genre == j) {
            record.genre = i;
        }
    }
    return true;
}

int ApplyGenreColour(const CAlmxFieldArray& genres, int index, std::uint32_t previousColour,
                     bool all, RecordList& records) {
    const CAlmxField* genre = genres.At(index);
    if (!genre) return 0;
    int changed = 0;
    for (auto& record : records) {
        if (record.genre != index) continue;
        if (!all && record.colour != previousColour) continue;
        if (record.colour != genre->colour) ++changed;
        record.colour = genre->colour;
    }
    return changed;
}

}  // namespace almx
