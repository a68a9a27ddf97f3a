#include "core/genre.h"

namespace almx {

const CAlmxField* CAlmxFieldArray::At(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= genres_.size()) return nullptr;
    return &genres_[static_cast<std::size_t>(index)];
}

CAlmxField* CAlmxFieldArray::At(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= genres_.size()) return nullptr;
    return &genres_[static_cast<std::size_t>(index)];
}

}  // namespace almx
