// Frame files: the recording's values one after another in the machine's own layout (the files are
// made and read on the same machine, under the build), checked field by field when read.

#include <cstdio>
#include <cstring>
#include <memory>
#include <type_traits>

#include "platform/device3d.h"

namespace platform {

namespace {

constexpr char kMagic[8] = {'B', 'L', 'F', 'R', 'A', 'M', 'E', '1'};
constexpr int kMaxFrameSide = 8192;

class Writer {
  public:
    template <typename T>
    void Put(const T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        const auto* p = reinterpret_cast<const uint8_t*>(&value);
        bytes_.insert(bytes_.end(), p, p + sizeof(T));
    }
    template <typename T>
    void PutVector(const std::vector<T>& values) {
        static_assert(std::is_trivially_copyable_v<T>);
        Put(static_cast<uint32_t>(values.size()));
        const auto* p = reinterpret_cast<const uint8_t*>(values.data());
        bytes_.insert(bytes_.end(), p, p + values.size() * sizeof(T));
    }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

  private:
    std::vector<uint8_t> bytes_;
};

class Reader {
  public:
    explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    template <typename T>
    bool Get(T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        if (bytes_.size() - at_ < sizeof(T)) {
            return false;
        }
        std::memcpy(&value, bytes_.data() + at_, sizeof(T));
        at_ += sizeof(T);
        return true;
    }
    // A vector of expected length (any length when expected is negative).
    template <typename T>
    bool GetVector(std::vector<T>& values, int64_t expected = -1) {
        uint32_t count = 0;
        if (!Get(count) || (expected >= 0 && count != expected) ||
            (bytes_.size() - at_) / sizeof(T) < count) {
            return false;
        }
        values.resize(count);
        std::memcpy(values.data(), bytes_.data() + at_, count * sizeof(T));
        at_ += count * sizeof(T);
        return true;
    }
    bool AtEnd() const { return at_ == bytes_.size(); }

  private:
    const std::vector<uint8_t>& bytes_;
    size_t at_ = 0;
};

void WriteCall(Writer& w, const RecordedCall& call) {
    w.Put(call.kind);
    switch (call.kind) {
        case RecordedKind::kClear:
            w.Put(call.viewport);
            w.PutVector(call.rects);
            w.Put(call.flags);
            w.Put(call.color);
            w.Put(call.z);
            break;
        case RecordedKind::kPicture:
            w.Put(call.area);
            w.PutVector(call.pixels);
            break;
        case RecordedKind::kDraw:
            w.Put(call.state);
            w.PutVector(call.vertices);
            w.PutVector(call.indices);
            break;
        case RecordedKind::kBeginScene:
            break;
    }
}

int64_t Area(int width, int height) {
    return int64_t{width} * height;
}

bool ReadTexture(Reader& r, RecordedTexture& t) {
    return r.Get(t.format) && r.Get(t.width) && r.Get(t.height) && t.format.bitsPerPixel == 16 &&
           t.width > 0 && t.height > 0 && t.width <= kMaxTextureSize && t.height <= kMaxTextureSize &&
           r.GetVector(t.pixels, Area(t.width, t.height)) && r.GetVector(t.texels, Area(t.width, t.height));
}

bool ReadState(Reader& r, RecordedState& s, size_t textureCount) {
    return r.Get(s.world) && r.Get(s.view) && r.Get(s.projection) && r.Get(s.viewport) && r.Get(s.material) &&
           r.GetVector(s.lights) && r.Get(s.renderStates) && r.Get(s.stageStates) && r.Get(s.texture) &&
           s.texture >= -1 && s.texture < static_cast<int64_t>(textureCount);
}

bool ReadCall(Reader& r, RecordedCall& call, const FrameRecording& frame) {
    if (!r.Get(call.kind)) {
        return false;
    }
    switch (call.kind) {
        case RecordedKind::kClear:
            return r.Get(call.viewport) && r.GetVector(call.rects) && r.Get(call.flags) &&
                   r.Get(call.color) && r.Get(call.z);
        case RecordedKind::kPicture: {
            const SurfaceRect& a = call.area;
            return r.Get(call.area) && a.left >= 0 && a.top >= 0 && a.left < a.right && a.top < a.bottom &&
                   a.right <= frame.width && a.bottom <= frame.height &&
                   r.GetVector(call.pixels, Area(a.right - a.left, a.bottom - a.top));
        }
        case RecordedKind::kDraw:
            return r.Get(call.state) && call.state < frame.states.size() && r.GetVector(call.vertices) &&
                   r.GetVector(call.indices);
        case RecordedKind::kBeginScene:
            return true;
    }
    return false;
}

bool ReadFrame(Reader& r, FrameRecording& frame) {
    char magic[8];
    uint32_t textures = 0, states = 0, calls = 0;
    if (!r.Get(magic) || std::memcmp(magic, kMagic, sizeof magic) != 0 || !r.Get(frame.width) ||
        !r.Get(frame.height) || frame.width <= 0 || frame.height <= 0 || frame.width > kMaxFrameSide ||
        frame.height > kMaxFrameSide || !r.Get(frame.view) || !r.Get(textures)) {
        return false;
    }
    // Counts are checked against the bytes as each element is read, never trusted for reserving.
    for (uint32_t i = 0; i < textures; ++i) {
        if (!ReadTexture(r, frame.textures.emplace_back())) {
            return false;
        }
    }
    if (!r.Get(states)) {
        return false;
    }
    for (uint32_t i = 0; i < states; ++i) {
        if (!ReadState(r, frame.states.emplace_back(), frame.textures.size())) {
            return false;
        }
    }
    if (!r.Get(calls)) {
        return false;
    }
    for (uint32_t i = 0; i < calls; ++i) {
        if (!ReadCall(r, frame.calls.emplace_back(), frame)) {
            return false;
        }
    }
    return r.AtEnd();
}

}  // namespace

bool WriteFrameRecording(const FrameRecording& frame, const std::string& path, std::string& error) {
    Writer w;
    w.Put(kMagic);
    w.Put(frame.width);
    w.Put(frame.height);
    w.Put(frame.view);
    w.Put(static_cast<uint32_t>(frame.textures.size()));
    for (const RecordedTexture& t : frame.textures) {
        w.Put(t.format);
        w.Put(t.width);
        w.Put(t.height);
        w.PutVector(t.pixels);
        w.PutVector(t.texels);
    }
    w.Put(static_cast<uint32_t>(frame.states.size()));
    for (const RecordedState& s : frame.states) {
        w.Put(s.world);
        w.Put(s.view);
        w.Put(s.projection);
        w.Put(s.viewport);
        w.Put(s.material);
        w.PutVector(s.lights);
        w.Put(s.renderStates);
        w.Put(s.stageStates);
        w.Put(s.texture);
    }
    w.Put(static_cast<uint32_t>(frame.calls.size()));
    for (const RecordedCall& call : frame.calls) {
        WriteCall(w, call);
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (file == nullptr ||
        std::fwrite(w.Bytes().data(), 1, w.Bytes().size(), file.get()) != w.Bytes().size()) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool ReadFrameRecording(const std::string& path, FrameRecording& frame, std::string& error) {
    std::vector<uint8_t> bytes;
    {
        const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                                   std::fclose);
        if (file == nullptr) {
            error = "cannot read " + path;
            return false;
        }
        uint8_t chunk[65536];
        size_t n = 0;
        while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
            bytes.insert(bytes.end(), chunk, chunk + n);
        }
    }
    frame = FrameRecording{};
    Reader r(bytes);
    if (!ReadFrame(r, frame)) {
        frame = FrameRecording{};
        error = path + ": not a whole frame recording";
        return false;
    }
    return true;
}

}  // namespace platform
