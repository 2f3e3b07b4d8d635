#include "bench/compare/pictures.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/draw_surface.h"
#include "platform/png_file.h"

namespace compare {

bool WriteViewPng(const uint16_t* pixels, int width, const platform::DeviceViewport& view,
                  const std::string& path) {
    platform::DrawSurface* part = platform::CreateDrawSurface(view.width, view.height, platform::kRgb565);
    if (part == nullptr) {
        return false;
    }
    platform::LockedPixels px;
    if (platform::LockSurface(*part, px) == platform::kSurfaceOk) {
        for (int y = 0; y < view.height; ++y) {
            std::memcpy(px.bits + static_cast<std::ptrdiff_t>(y) * px.pitch,
                        pixels + static_cast<size_t>(view.y + y) * static_cast<size_t>(width) + view.x,
                        static_cast<size_t>(view.width) * 2);
        }
        platform::UnlockSurface(*part);
    }
    const bool written = platform::WritePng(*part, path.c_str()) == 0;
    platform::ReleaseDrawSurface(part);
    return written;
}

PictureDifference ComparePngs(const std::string& a, const std::string& b) {
    PictureDifference d;
    int wa = 0, ha = 0, wb = 0, hb = 0;
    std::vector<uint32_t> pa, pb;
    if (platform::ReadPng(a.c_str(), wa, ha, pa) != 0 || platform::ReadPng(b.c_str(), wb, hb, pb) != 0 ||
        wa != wb || ha != hb || pa.empty()) {
        return d;
    }
    double sum = 0.0;
    size_t beyond = 0;
    for (size_t i = 0; i < pa.size(); ++i) {
        bool far = false;
        for (int shift = 0; shift < 24; shift += 8) {
            const int diff = std::abs(static_cast<int>((pa[i] >> shift) & 0xFF) -
                                      static_cast<int>((pb[i] >> shift) & 0xFF));
            sum += diff;
            far = far || diff > 16;
        }
        beyond += far ? 1 : 0;
    }
    d.compared = true;
    d.meanChannelDifference = sum / static_cast<double>(pa.size() * 3);
    d.shareBeyondDither = static_cast<double>(beyond) / static_cast<double>(pa.size());
    return d;
}

}  // namespace compare
