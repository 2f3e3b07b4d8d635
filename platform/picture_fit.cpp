#include "platform/picture_fit.h"

#include <algorithm>
#include <cstdint>

namespace platform {

int IntegerScaleToFit(int availableWidth, int availableHeight, int pictureWidth, int pictureHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0) {
        return 1;
    }
    return std::max(1, std::min(availableWidth / pictureWidth, availableHeight / pictureHeight));
}

PictureArea LetterboxArea(int outputWidth, int outputHeight, int pictureWidth, int pictureHeight) {
    if (outputWidth <= 0 || outputHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) {
        return {0, 0, std::max(outputWidth, 0), std::max(outputHeight, 0)};
    }
    PictureArea area;
    // Compare aspect ratios in integers: output wider than the picture means bars left and right.
    if (static_cast<int64_t>(outputWidth) * pictureHeight >
        static_cast<int64_t>(outputHeight) * pictureWidth) {
        area.height = outputHeight;
        area.width = static_cast<int>(static_cast<int64_t>(outputHeight) * pictureWidth / pictureHeight);
    } else {
        area.width = outputWidth;
        area.height = static_cast<int>(static_cast<int64_t>(outputWidth) * pictureHeight / pictureWidth);
    }
    area.x = (outputWidth - area.width) / 2;
    area.y = (outputHeight - area.height) / 2;
    return area;
}

void OutputToPicture(const PictureArea& area, int pictureWidth, int pictureHeight, int outX, int outY,
                     int& pictureX, int& pictureY) {
    if (area.width <= 0 || area.height <= 0) {
        pictureX = 0;
        pictureY = 0;
        return;
    }
    const int64_t px = static_cast<int64_t>(outX - area.x) * pictureWidth / area.width;
    const int64_t py = static_cast<int64_t>(outY - area.y) * pictureHeight / area.height;
    pictureX = static_cast<int>(std::clamp<int64_t>(px, 0, pictureWidth - 1));
    pictureY = static_cast<int>(std::clamp<int64_t>(py, 0, pictureHeight - 1));
}

}  // namespace platform
