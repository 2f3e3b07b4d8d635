#include "platform/draw_surface.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

using platform::CreateDrawSurface;
using platform::DrawSurface;
using platform::ReleaseDrawSurface;
using platform::SurfaceRect;

struct SurfaceDeleter {
    void operator()(DrawSurface* s) const { ReleaseDrawSurface(s); }
};
using SurfacePtr = std::unique_ptr<DrawSurface, SurfaceDeleter>;

TEST(DrawSurface, RefusesImpossibleSizesAndDepths) {
    EXPECT_EQ(CreateDrawSurface(0, 10, platform::kRgb565), nullptr);
    EXPECT_EQ(CreateDrawSurface(10, -1, platform::kRgb565), nullptr);
    EXPECT_EQ(CreateDrawSurface(4, 4, platform::PixelFormat{8, 0, 0, 0, 0}), nullptr);
}

TEST(DrawSurface, FillIsCutToTheSurface) {
    SurfacePtr s(CreateDrawSurface(4, 3, platform::kRgb565));
    ASSERT_NE(s, nullptr);
    SurfaceRect r{-5, 1, 100, 2};
    EXPECT_EQ(platform::ColorFill(*s, &r, 0xF800), platform::kSurfaceOk);
    EXPECT_EQ(platform::ReadPixelRgb(*s, 0, 0), 0u);
    EXPECT_EQ(platform::ReadPixelRgb(*s, 3, 1), 0xFF0000u);
    EXPECT_EQ(platform::ReadPixelRgb(*s, 0, 2), 0u);
}

TEST(DrawSurface, KeyedCopySkipsKeyPixelsAndClipsAtEdges) {
    SurfacePtr target(CreateDrawSurface(4, 4, platform::kXrgb8888));
    SurfacePtr source(CreateDrawSurface(2, 2, platform::kXrgb8888));
    ASSERT_NE(target, nullptr);
    ASSERT_NE(source, nullptr);
    platform::ColorFill(*target, nullptr, 0x0000FF);
    platform::ColorFill(*source, nullptr, 0x00FF00);
    SurfaceRect corner{0, 0, 1, 1};
    platform::ColorFill(*source, &corner, 0);
    platform::SetSourceColorKey(*source, 0);
    EXPECT_EQ(platform::CopyRect(*target, 3, 3, *source, SurfaceRect{0, 0, 2, 2}, true), 0);
    EXPECT_EQ(platform::ReadPixelRgb(*target, 3, 3), 0x0000FFu);  // key pixel skipped
    EXPECT_EQ(platform::CopyRect(*target, 0, 0, *source, SurfaceRect{0, 0, 2, 2}, true), 0);
    EXPECT_EQ(platform::ReadPixelRgb(*target, 0, 0), 0x0000FFu);
    EXPECT_EQ(platform::ReadPixelRgb(*target, 1, 0), 0x00FF00u);
    EXPECT_EQ(platform::CopyRect(*target, -1, -1, *source, SurfaceRect{0, 0, 2, 2}, false), 0);
    EXPECT_EQ(platform::ReadPixelRgb(*target, 0, 0), 0x00FF00u);
}

// Counts how often it is finished and, like a real owner, leaves the surfaces it was pending on.
struct CountedWork : platform::PendingSurfaceWork {
    std::vector<DrawSurface*> on;
    int finished = 0;
    void Finish() override {
        ++finished;
        for (DrawSurface* s : on) {
            s->pending = nullptr;
        }
    }
    void PendOn(DrawSurface& s) {
        s.pending = this;
        on.push_back(&s);
    }
};

TEST(DrawSurface, EveryPixelAccessFinishesPendingWorkFirst) {
    SurfacePtr a(CreateDrawSurface(4, 4, platform::kRgb565)), b(CreateDrawSurface(4, 4, platform::kRgb565));
    CountedWork work;
    const std::vector<std::function<void()>> calls{
        [&] {
            platform::LockedPixels px;
            platform::LockSurface(*a, px);
            platform::UnlockSurface(*a);
        },
        [&] { platform::ColorFill(*a, nullptr, 1); },
        [&] {
            platform::CopyRect(*a, 0, 0, *b, {0, 0, 4, 4}, false);
        },  // into it
        [&] {
            platform::CopyRect(*b, 0, 0, *a, {0, 0, 4, 4}, false);
        },  // out of it
        [&] { platform::ReadPixelRgb(*a, 1, 1); },
        [&] { platform::MarkSurfaceLost(*a); },
    };
    for (size_t i = 0; i < calls.size(); ++i) {
        work.PendOn(*a);
        calls[i]();
        EXPECT_EQ(work.finished, static_cast<int>(i) + 1) << "call " << i;
        EXPECT_EQ(a->pending, nullptr);
        platform::RestoreSurface(*a);
    }
    // Nothing pending: nothing to finish. Released: finished before the pixels go.
    platform::ColorFill(*a, nullptr, 2);
    EXPECT_EQ(work.finished, static_cast<int>(calls.size()));
    work.PendOn(*a);
    a.reset();
    EXPECT_EQ(work.finished, static_cast<int>(calls.size()) + 1);
}

}  // namespace
