// The host's port mapping, tried with fake routers (the real protocols would talk to this
// machine's gateway): the first protocol that maps the port wins, its mapping is removed at the
// end, and a network without such a router is told as such.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lobby/port_mapping.h"

namespace {

struct FakeRouter {
    std::vector<std::string> calls;
    lobby::PortMapper Mapper(const std::string& name, bool maps) {
        return {name,
                [this, name, maps](uint16_t port, int timeoutMs) {
                    calls.push_back(name + " map " + std::to_string(port) + " within " +
                                    std::to_string(timeoutMs));
                    lobby::MappingResult result;
                    result.mapped = maps;
                    result.external = maps ? "198.51.100.7:" + std::to_string(port) : "";
                    result.failure = maps ? "" : "no router answered within 2 s";
                    return result;
                },
                [this, name](uint16_t port) { calls.push_back(name + " remove " + std::to_string(port)); }};
    }
};

TEST(PortMapping, TheFirstProtocolThatMapsWinsAndItsMappingIsRemovedAtTheEnd) {
    FakeRouter router;
    {
        const lobby::PortMapping mapping({router.Mapper("UPnP IGD", false), router.Mapper("NAT-PMP", true)},
                                         47615);
        EXPECT_TRUE(mapping.Outcome().mapped);
        EXPECT_EQ(mapping.Outcome().text, "the router forwards 198.51.100.7:47615 to port 47615 (NAT-PMP)");
    }
    EXPECT_EQ(router.calls,
              (std::vector<std::string>{"UPnP IGD map 47615 within 2000", "NAT-PMP map 47615 within 2000",
                                        "NAT-PMP remove 47615"}));
}

TEST(PortMapping, WithoutARouterEveryProtocolIsToldAndNothingIsRemoved) {
    FakeRouter router;
    {
        const lobby::PortMapping mapping({router.Mapper("UPnP IGD", false), router.Mapper("NAT-PMP", false)},
                                         5000, 100);
        EXPECT_FALSE(mapping.Outcome().mapped);
        EXPECT_EQ(
            mapping.Outcome().text,
            "no port mapping (UPnP IGD: no router answered within 2 s; NAT-PMP: no router answered within "
            "2 s): players elsewhere reach this host only if its port is open to them");
    }
    EXPECT_EQ(router.calls.size(), 2u);  // no removal
    // One protocol that maps at once leaves the other unasked.
    FakeRouter first;
    const lobby::MappingOutcome outcome =
        lobby::MapPort({first.Mapper("UPnP IGD", true), first.Mapper("NAT-PMP", true)}, 1, 10);
    EXPECT_EQ(outcome.mapper, 0u);
    EXPECT_EQ(first.calls.size(), 1u);
}

}  // namespace
