// fnx dump MODEL.fnx
// Lists the materials, the groups (with their extent) and the lights of a model.
#include <algorithm>
#include <cstdio>
#include <string_view>

#include "game/course/fnx_loader.h"

namespace {

void DumpModel(const core::FnxModel& model) {
    std::printf("materials %zu, groups %zu, lights %zu\n", model.materials.size(), model.groups.size(),
                model.lights.size());
    for (size_t i = 0; i < model.materials.size(); ++i) {
        const core::FnxMaterial& m = model.materials[i];
        std::printf("material %3zu %-19s diffuse %.2f %.2f %.2f %.2f texture \"%s\"\n", i, m.name,
                    m.diffuse.r, m.diffuse.g, m.diffuse.b, m.diffuse.a, m.textureName);
    }
    for (size_t i = 0; i < model.groups.size(); ++i) {
        const core::FnxGroup& g = model.groups[i];
        float lo[3] = {1e30f, 1e30f, 1e30f};
        float hi[3] = {-1e30f, -1e30f, -1e30f};
        for (const core::FnxVertex& v : g.vertices) {
            const float p[3] = {v.x, v.y, v.z};
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::min(lo[k], p[k]);
                hi[k] = std::max(hi[k], p[k]);
            }
        }
        std::printf("group %4zu %-17s vertices %5u triangles %5u material %4u", i, g.name, g.vertexCount,
                    g.indexCount / 3u, g.materialIndex);
        if (!g.vertices.empty()) {
            std::printf("  x %.1f..%.1f y %.2f..%.2f z %.1f..%.1f", lo[0], hi[0], lo[1], hi[1], lo[2], hi[2]);
        }
        std::printf("\n");
    }
    for (size_t i = 0; i < model.lights.size(); ++i) {
        const core::FnxLight& l = model.lights[i];
        std::printf("light %zu %-19s type %u direction %.2f %.2f %.2f colour %.2f %.2f %.2f\n", i, l.name,
                    l.type, l.direction[0], l.direction[1], l.direction[2], l.color.r, l.color.g, l.color.b);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || std::string_view(argv[1]) != "dump") {
        std::fprintf(stderr, "usage: fnx dump MODEL.fnx\n");
        return 2;
    }
    core::FnxModel* model = course::LoadFnxModel(argv[2]);
    if (model == nullptr) {
        std::fprintf(stderr, "fnx: %s: not a readable FNX model\n", argv[2]);
        return 1;
    }
    DumpModel(*model);
    course::FreeFnxModel(model);
    return 0;
}
