#include "game/core/surface_kind.h"

#include <cctype>
#include <cstddef>

namespace core {

namespace {

bool StartsWithIgnoringCase(const char* name, const char* code) {
    for (; *code; ++name, ++code) {
        if (std::toupper(static_cast<unsigned char>(*name)) != *code) {
            return false;
        }
    }
    return true;
}

}  // namespace

SurfaceKind SurfaceKindOfName(const char* name) {
    for (int kind = 0; kind < kSurfaceKindCount; ++kind) {
        if (StartsWithIgnoringCase(name, kSurfaceCodes[kind])) {
            return static_cast<SurfaceKind>(kind);
        }
    }
    return kSurfaceNone;
}

SurfaceKind SurfaceKindOfGroup(const FnxModel& model, int group) {
    if (group < 0 || static_cast<size_t>(group) >= model.groups.size()) {
        return kSurfaceNone;
    }
    return SurfaceKindOfName(model.groups[group].name);
}

}  // namespace core
