#pragma once
// Writing "FNX3DF" models, byte for byte the layout the loader reads. The counts written are the
// sizes of the model's arrays (the count fields of the records are not consulted), the magic is
// always "FNX3DF", and reserved fields are written as the records hold them.

#include <cstdint>
#include <string>
#include <vector>

#include "game/core/fnx_model.h"

namespace tools {

// Encodes the model. Returns false (out left empty) when the loader would refuse the result: an
// array too long for its 16-bit count, an index outside its group or a material number that is
// neither 5000 nor inside the material table.
bool EncodeFnxModel(const core::FnxModel& model, std::vector<uint8_t>& out);

// Encodes the model and writes it to path. Returns false when it cannot be encoded or written.
bool WriteFnxModel(const core::FnxModel& model, const std::string& path);

}  // namespace tools
