#include "custom/picture_fit.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace almx {

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    const std::string_view tail = text.substr(text.size() - suffix.size());
    return std::equal(tail.begin(), tail.end(), suffix.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

}  // namespace

bool IsPictureExtension(std::string_view path) {
    static constexpr std::array<std::string_view, 8> kExtensions = {
        ".bmp", ".gif", ".jpg", ".jpeg", ".tiff", ".tif", ".pcx", ".png"};
    return std::any_of(kExtensions.begin(), kExtensions.end(),
                       [&](std::string_view e) { return EndsWithNoCase(path, e); });
}

bool IsJpegExtension(std::string_view path) {
    return EndsWithNoCase(path, ".jpg") || EndsWithNoCase(path, ".jpeg");
}

PictureSize FitPicture(PictureSize image, PictureSize box) {
    box.width = std::max(box.width, 1);
    box.height = std::max(box.height, 1);
    if (image.width <= 0 || image.height <= 0) return {0, 0};
    if (image.width <= box.width && image.height <= box.height) return image;
    // Ratios in hundredths; 64-bit products, as pictures and boxes may be large.
    const long long bw = box.width;
    const long long bh = box.height;
    const long long iw = image.width;
    const long long ih = image.height;
    const long long rx = bw * 100 / iw;
    const long long ry = bh * 100 / ih;
    // Equal hundredths: the exact ratios decide.
    const bool widthLimits = rx != ry ? rx < ry : bw * ih <= bh * iw;
    long long width = 0;
    long long height = 0;
    // A picture over a hundred times the box would shrink to a line by hundredths: there
    // the exact ratio serves.
    if (widthLimits) {
        width = bw;
        height = rx > 0 ? ih * rx / 100 : ih * bw / iw;
    } else {
        height = bh;
        width = ry > 0 ? iw * ry / 100 : iw * bh / ih;
    }
    width = std::clamp<long long>(width, 1, image.width);
    height = std::clamp<long long>(height, 1, image.height);
    return {static_cast<int>(width), static_cast<int>(height)};
}

PictureOffset CentrePicture(PictureSize image, PictureSize box) {
    return {(box.width - image.width) / 2, (box.height - image.height) / 2};
}

}  // namespace almx
