#pragma once

#include <string>

namespace almx {

// One memo page of the document.
class CMemoData {
public:
    std::string title;
    std::string text;

    bool operator==(const CMemoData&) const = default;
};

}  // namespace almx
