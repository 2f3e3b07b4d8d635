// The vector span shaders built for SSE2, the baseline every x86-64 processor has.

#include "platform/device3d_span_lanes.h"

namespace platform::device_detail {

SpanShader ChooseSse2SpanShader(const RasterTarget& target, const PixelState& state, bool bilinear) {
    return ChooseLaneShader(target, state, bilinear);
}

}  // namespace platform::device_detail
