#pragma once
// Where the fixed-size game picture goes inside a window or screen of another size, and how a
// position in the window maps back to the picture.

namespace platform {

struct PictureArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The largest whole-number scale (at least 1) at which the picture fits into the available size.
int IntegerScaleToFit(int availableWidth, int availableHeight, int pictureWidth, int pictureHeight);

// The picture scaled to fill the output as far as its aspect ratio allows, centred (letterboxed).
PictureArea LetterboxArea(int outputWidth, int outputHeight, int pictureWidth, int pictureHeight);

// Maps an output position to picture coordinates; positions on the bars or outside are pulled to
// the nearest picture pixel.
void OutputToPicture(const PictureArea& area, int pictureWidth, int pictureHeight, int outX, int outY,
                     int& pictureX, int& pictureY);

}  // namespace platform
