// The vector span shaders built for AVX2: the same source as the SSE2 ones, with three-operand
// instructions and the texels of eight pixels fetched and mixed at once. Chosen only where the
// processor has AVX2 (VectorPathRuns).

#define DEVICE3D_SPAN_AVX2
#include "platform/device3d_span_lanes.h"

namespace platform::device_detail {

SpanShader ChooseAvx2SpanShader(const RasterTarget& target, const PixelState& state, bool bilinear) {
    return ChooseLaneShader(target, state, bilinear);
}

}  // namespace platform::device_detail
