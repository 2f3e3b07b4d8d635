#include "lobby/port_mapping.h"

namespace lobby {

MappingOutcome MapPort(const std::vector<PortMapper>& mappers, uint16_t port, int timeoutMs) {
    MappingOutcome outcome;
    for (size_t i = 0; i < mappers.size(); ++i) {
        const MappingResult result = mappers[i].map(port, timeoutMs);
        if (result.mapped) {
            outcome.mapped = true;
            outcome.mapper = i;
            outcome.text = "the router forwards " + result.external + " to port " + std::to_string(port) +
                           " (" + mappers[i].name + ")";
            return outcome;
        }
        outcome.text += (outcome.text.empty() ? "" : "; ") + mappers[i].name + ": " + result.failure;
    }
    outcome.text = "no port mapping (" + outcome.text +
                   "): players elsewhere reach this host only if its port is open to them";
    return outcome;
}

PortMapping::PortMapping(std::vector<PortMapper> mappers, uint16_t port, int timeoutMs)
    : mappers_(std::move(mappers)), port_(port), outcome_(MapPort(mappers_, port, timeoutMs)) {}

PortMapping::~PortMapping() {
    if (outcome_.mapped) {
        mappers_[outcome_.mapper].remove(port_);
    }
}

}  // namespace lobby
