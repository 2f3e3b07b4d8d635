#include "tools/toolkit/fnx_writer.h"

#include <bit>
#include <cstdio>

namespace tools {

namespace {

class ByteWriter {
  public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}

    void U16(uint16_t v) {
        out_.push_back(static_cast<uint8_t>(v));
        out_.push_back(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v) {
        for (int shift = 0; shift < 32; shift += 8) {
            out_.push_back(static_cast<uint8_t>(v >> shift));
        }
    }
    void F32(float f) { U32(std::bit_cast<uint32_t>(f)); }
    void Bytes(const void* data, size_t count) {
        const auto* p = static_cast<const uint8_t*>(data);
        out_.insert(out_.end(), p, p + count);
    }
    void Color(const core::FnxColor& c) {
        F32(c.r);
        F32(c.g);
        F32(c.b);
        F32(c.a);
    }

  private:
    std::vector<uint8_t>& out_;
};

bool FitsU16(size_t n) {
    return n <= 0xFFFF;
}

// Whether the loader would take the model back: every array fits its count field, every index
// points into its group and every material number is 5000 or inside the material table.
bool IsWritable(const core::FnxModel& model) {
    if (!FitsU16(model.materials.size()) || !FitsU16(model.groups.size()) || !FitsU16(model.lights.size())) {
        return false;
    }
    for (const core::FnxGroup& g : model.groups) {
        if (!FitsU16(g.vertices.size()) || !FitsU16(g.indices.size())) {
            return false;
        }
        if (g.materialIndex != core::kNoMaterial && g.materialIndex >= model.materials.size()) {
            return false;
        }
        for (uint16_t index : g.indices) {
            if (index >= g.vertices.size()) {
                return false;
            }
        }
    }
    return true;
}

void WriteMaterial(ByteWriter& w, const core::FnxMaterial& m) {
    w.Bytes(m.name, 19);
    w.Color(m.ambient);
    w.Color(m.diffuse);
    w.Color(m.specular);
    w.F32(m.power);
    w.Bytes(m.reserved, 8);
    w.Bytes(m.textureName, 17);
}

void WriteGroup(ByteWriter& w, const core::FnxGroup& g) {
    w.U16(g.reserved);
    w.Bytes(g.name, 17);
    w.U16(static_cast<uint16_t>(g.vertices.size()));
    w.U16(static_cast<uint16_t>(g.indices.size()));
    w.U16(g.materialIndex);
    for (const core::FnxVertex& v : g.vertices) {
        for (float f : {v.x, v.y, v.z, v.nx, v.ny, v.nz, v.u, v.v}) {
            w.F32(f);
        }
    }
    for (uint16_t index : g.indices) {
        w.U16(index);
    }
}

void WriteLight(ByteWriter& w, const core::FnxLight& l) {
    w.Bytes(l.name, 19);
    w.U32(l.type);
    for (float f : l.position) {
        w.F32(f);
    }
    for (float f : l.direction) {
        w.F32(f);
    }
    w.Color(l.color);
    w.F32(l.theta);
    w.F32(l.phi);
    w.F32(l.falloff);
}

}  // namespace

bool EncodeFnxModel(const core::FnxModel& model, std::vector<uint8_t>& out) {
    out.clear();
    if (!IsWritable(model)) {
        return false;
    }
    ByteWriter w(out);
    w.Bytes("FNX3DF", 6);
    w.U16(model.reserved);
    w.U16(static_cast<uint16_t>(model.materials.size()));
    w.U16(static_cast<uint16_t>(model.groups.size()));
    w.U16(static_cast<uint16_t>(model.lights.size()));
    for (const core::FnxMaterial& m : model.materials) {
        WriteMaterial(w, m);
    }
    for (const core::FnxGroup& g : model.groups) {
        WriteGroup(w, g);
    }
    for (const core::FnxLight& l : model.lights) {
        WriteLight(w, l);
    }
    return true;
}

bool WriteFnxModel(const core::FnxModel& model, const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!EncodeFnxModel(model, bytes)) {
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

}  // namespace tools
