#pragma once
// A hosting Ravelin asks the home router to forward its port (--map-port): UPnP IGD first, then
// NAT-PMP. Each protocol gets a short time to answer, so a network without such a router costs a
// few seconds and says so. The mapping that was made is removed again when the host ends. The
// flow is kept apart from the protocols so that it can be tried with fakes.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lobby {

// How long each protocol may take to find a router and map the port.
inline constexpr int kPortMappingTimeoutMs = 2000;

struct MappingResult {
    bool mapped = false;
    std::string external;  // mapped: "ADDRESS:PORT" as the router gives it (address may be empty)
    std::string failure;   // not mapped: why, in a few words
};

// One way of asking a router; Remove undoes what Map made.
struct PortMapper {
    std::string name;  // "UPnP IGD", "NAT-PMP"
    std::function<MappingResult(uint16_t port, int timeoutMs)> map;
    std::function<void(uint16_t port)> remove;
};

struct MappingOutcome {
    bool mapped = false;
    size_t mapper = 0;  // mapped: which of the mappers made it
    std::string text;   // for the log: what each protocol said
};

// Tries the mappers in order until one maps the port.
MappingOutcome MapPort(const std::vector<PortMapper>& mappers, uint16_t port, int timeoutMs);

// The router protocols of this machine: UPnP IGD (miniupnpc) and NAT-PMP (libnatpmp).
std::vector<PortMapper> RouterMappers();

// Holds a mapping for as long as it lives.
class PortMapping {
  public:
    PortMapping(std::vector<PortMapper> mappers, uint16_t port, int timeoutMs = kPortMappingTimeoutMs);
    ~PortMapping();
    PortMapping(const PortMapping&) = delete;
    PortMapping& operator=(const PortMapping&) = delete;
    const MappingOutcome& Outcome() const { return outcome_; }

  private:
    std::vector<PortMapper> mappers_;
    uint16_t port_;
    MappingOutcome outcome_;
};

}  // namespace lobby
