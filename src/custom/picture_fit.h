#pragma once
// The arithmetic of day pictures: which files are pictures, when the EXIF thumbnail serves,
// how a picture shrinks to fit a cell and where it sits.

#include <string_view>

namespace almx {

// ".bmp", ".gif", ".jpg", ".jpeg", ".tiff", ".tif", ".pcx" or ".png", ignoring case.
bool IsPictureExtension(std::string_view path);
// ".jpg" or ".jpeg", ignoring case.
bool IsJpegExtension(std::string_view path);

// The thumbnail is enough for a target at most 160 wide or 120 high.
inline bool ThumbnailServes(int targetWidth, int targetHeight) {
    return targetWidth <= 160 || targetHeight <= 120;
}

struct PictureSize {
    int width = 0;
    int height = 0;
    bool operator==(const PictureSize&) const = default;
};

// The size an image of the given size is drawn at in a box (each side at least 1): its own
// when it fits; otherwise the side that limits the fit gets the box's size and the other the
// proportional size, by ratios in whole hundredths, at least 1 and at most the image's own.
PictureSize FitPicture(PictureSize image, PictureSize box);

// Half the spare room on each side, truncated.
struct PictureOffset {
    int x = 0;
    int y = 0;
    bool operator==(const PictureOffset&) const = default;
};
PictureOffset CentrePicture(PictureSize image, PictureSize box);

}  // namespace almx
