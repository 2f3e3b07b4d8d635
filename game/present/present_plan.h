#pragma once
// Which parts of the back buffer go to the screen when a frame is presented with the software
// cursor: strips around the cursor copied as they are, and the cursor's own rectangle composed in
// the small cursor surface. Pure arithmetic, so the layout can be checked without surfaces.

#include "platform/draw_surface.h"

namespace present {

struct PresentPlan {
    platform::SurfaceRect strips[8]{};
    int stripCount = 0;
    // The part of the picture under the cursor (empty when nothing of it is drawn) and the row of
    // the cursor picture that lies at its top.
    platform::SurfaceRect cursor{};
    int cursorSourceTop = 0;
};

// The cursor frame's rectangle at (cursorX, cursorY), cut at the right and bottom picture edges.
platform::SurfaceRect CutCursorRect(int width, int height, int cursorX, int cursorY, int frameWidth,
                                    int frameHeight);

// Around the cursor: above, below, left and right of it, then the cursor itself.
PresentPlan PlanCursorPresent(int width, int height, int cursorX, int cursorY, int frameWidth,
                              int frameHeight);

// The same while a chat window covers its rectangle of the picture: that rectangle is left out (in
// the loading states, which cover it too, it is copied), and so is the part of the cursor over it.
PresentPlan PlanChatWindowPresent(int width, int height, int cursorX, int cursorY, int frameWidth,
                                  int frameHeight, bool loadingState);

}  // namespace present
