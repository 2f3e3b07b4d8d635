#pragma once
// Reading "FNX3DF" models. A model is read whole and checked before anything is kept: a file that
// is truncated, has the wrong magic, or holds an index that points outside its group or a material
// number outside the material table is refused, and nothing of it stays allocated or open.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "game/core/fnx_model.h"

namespace course {

// Decodes a whole model from memory into out. Returns false (out left empty) when the bytes are
// not a complete, consistent model. Bytes after the last light record are ignored.
bool ParseFnxModel(const uint8_t* data, size_t size, core::FnxModel& out);

// Loads the model file at path. Returns nullptr when the file cannot be read or is refused by
// ParseFnxModel. The caller owns the model and releases it with FreeFnxModel.
core::FnxModel* LoadFnxModel(const std::string& path);

// Releases a model and all of its arrays; accepts nullptr.
void FreeFnxModel(core::FnxModel* model);

struct FnxModelDeleter {
    void operator()(core::FnxModel* model) const { FreeFnxModel(model); }
};
// A loaded model that releases itself.
using FnxModelPtr = std::unique_ptr<core::FnxModel, FnxModelDeleter>;

}  // namespace course
