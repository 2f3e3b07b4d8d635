#include "game/course/fnx_loader.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace course {

namespace {

// A bounds-checked little-endian reader over the file's bytes.
class ByteReader {
  public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Has(size_t count) const { return count <= size_ - pos_; }

    uint8_t U8() { return data_[pos_++]; }
    uint16_t U16() {
        const uint16_t v = static_cast<uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
        pos_ += 2;
        return v;
    }
    uint32_t U32() {
        const uint32_t v = static_cast<uint32_t>(data_[pos_]) | static_cast<uint32_t>(data_[pos_ + 1]) << 8 |
                           static_cast<uint32_t>(data_[pos_ + 2]) << 16 |
                           static_cast<uint32_t>(data_[pos_ + 3]) << 24;
        pos_ += 4;
        return v;
    }
    float F32() { return std::bit_cast<float>(U32()); }
    void Bytes(void* out, size_t count) {
        std::memcpy(out, data_ + pos_, count);
        pos_ += count;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

core::FnxColor ReadColor(ByteReader& in) {
    core::FnxColor c;
    c.r = in.F32();
    c.g = in.F32();
    c.b = in.F32();
    c.a = in.F32();
    return c;
}

void ReadMaterial(ByteReader& in, core::FnxMaterial& m) {
    in.Bytes(m.name, 19);
    m.ambient = ReadColor(in);
    m.diffuse = ReadColor(in);
    m.specular = ReadColor(in);
    m.power = in.F32();
    in.Bytes(m.reserved, 8);
    in.Bytes(m.textureName, 17);
}

void ReadLight(ByteReader& in, core::FnxLight& l) {
    in.Bytes(l.name, 19);
    l.type = in.U32();
    for (float& f : l.position) {
        f = in.F32();
    }
    for (float& f : l.direction) {
        f = in.F32();
    }
    l.color = ReadColor(in);
    l.theta = in.F32();
    l.phi = in.F32();
    l.falloff = in.F32();
}

// Reads one group header and its arrays; false when the file ends early or an index is out of range.
bool ReadGroup(ByteReader& in, uint16_t materialCount, core::FnxGroup& g) {
    if (!in.Has(core::kFnxGroupHeaderSize)) {
        return false;
    }
    g.reserved = in.U16();
    in.Bytes(g.name, 17);
    g.vertexCount = in.U16();
    g.indexCount = in.U16();
    g.materialIndex = in.U16();
    if (g.materialIndex != core::kNoMaterial && g.materialIndex >= materialCount) {
        return false;
    }
    const size_t arrayBytes = size_t{g.vertexCount} * core::kFnxVertexSize + size_t{g.indexCount} * 2;
    if (!in.Has(arrayBytes)) {
        return false;
    }
    g.vertices.resize(g.vertexCount);
    for (core::FnxVertex& v : g.vertices) {
        v.x = in.F32();
        v.y = in.F32();
        v.z = in.F32();
        v.nx = in.F32();
        v.ny = in.F32();
        v.nz = in.F32();
        v.u = in.F32();
        v.v = in.F32();
    }
    g.indices.resize(g.indexCount);
    for (uint16_t& index : g.indices) {
        index = in.U16();
        if (index >= g.vertexCount) {
            return false;
        }
    }
    return true;
}

bool ParseInto(ByteReader& in, core::FnxModel& model) {
    if (!in.Has(core::kFnxHeaderSize)) {
        return false;
    }
    in.Bytes(model.magic, 6);
    if (std::memcmp(model.magic, "FNX3DF", 6) != 0) {
        return false;
    }
    model.reserved = in.U16();
    model.materialCount = in.U16();
    model.groupCount = in.U16();
    model.lightCount = in.U16();

    if (!in.Has(size_t{model.materialCount} * core::kFnxMaterialSize)) {
        return false;
    }
    model.materials.resize(model.materialCount);
    for (core::FnxMaterial& m : model.materials) {
        ReadMaterial(in, m);
    }
    // Every group needs at least its header, so a count that cannot fit is refused before the
    // group table is allocated.
    if (!in.Has(size_t{model.groupCount} * core::kFnxGroupHeaderSize)) {
        return false;
    }
    model.groups.resize(model.groupCount);
    for (core::FnxGroup& g : model.groups) {
        if (!ReadGroup(in, model.materialCount, g)) {
            return false;
        }
    }
    if (!in.Has(size_t{model.lightCount} * core::kFnxLightSize)) {
        return false;
    }
    model.lights.resize(model.lightCount);
    for (core::FnxLight& l : model.lights) {
        ReadLight(in, l);
    }
    return true;
}

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    uint8_t chunk[65536];
    bool ok = true;
    for (;;) {
        const size_t got = std::fread(chunk, 1, sizeof chunk, file);
        out.insert(out.end(), chunk, chunk + got);
        if (got < sizeof chunk) {
            ok = std::ferror(file) == 0;
            break;
        }
    }
    std::fclose(file);
    return ok;
}

}  // namespace

bool ParseFnxModel(const uint8_t* data, size_t size, core::FnxModel& out) {
    ByteReader in(data, data == nullptr ? 0 : size);
    core::FnxModel model;
    if (!ParseInto(in, model)) {
        out = core::FnxModel{};
        return false;
    }
    out = std::move(model);
    return true;
}

core::FnxModel* LoadFnxModel(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) {
        return nullptr;
    }
    auto model = std::make_unique<core::FnxModel>();
    if (!ParseFnxModel(bytes.data(), bytes.size(), *model)) {
        return nullptr;
    }
    return model.release();
}

void FreeFnxModel(core::FnxModel* model) {
    delete model;
}

}  // namespace course
