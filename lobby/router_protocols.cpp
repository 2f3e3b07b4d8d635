// The two router protocols behind PortMapper: UPnP IGD through miniupnpc, NAT-PMP through
// libnatpmp. Both are asked for a TCP mapping of the host's port to the same external port.

#include <arpa/inet.h>
#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>
#include <miniupnpc/upnperrors.h>
#include <natpmp.h>
#include <sys/select.h>

#include <chrono>
#include <memory>

#include "lobby/port_mapping.h"

namespace lobby {

namespace {

constexpr const char* kDescription = "Brightlea match";

// What UPnP needs to remove the mapping again.
struct UpnpRouter {
    UPNPUrls urls{};
    IGDdatas data{};
    bool found = false;
    ~UpnpRouter() {
        if (found) {
            FreeUPNPUrls(&urls);
        }
    }
};

MappingResult UpnpMap(UpnpRouter& router, uint16_t port, int timeoutMs) {
    MappingResult result;
    int error = 0;
    UPNPDev* devices = upnpDiscover(timeoutMs, nullptr, nullptr, 0, 0, 2, &error);
    if (devices == nullptr) {
        result.failure = "no router answered within " + std::to_string(timeoutMs / 1000) + " s";
        return result;
    }
    char lan[64] = {};
    const int igd = UPNP_GetValidIGD(devices, &router.urls, &router.data, lan, sizeof lan);
    freeUPNPDevlist(devices);
    router.found = igd != 0;
    if (igd != 1) {
        result.failure = igd == 0 ? "no internet gateway among the devices that answered"
                                  : "the gateway that answered is not connected";
        return result;
    }
    const std::string text = std::to_string(port);
    const int added = UPNP_AddPortMapping(router.urls.controlURL, router.data.first.servicetype, text.c_str(),
                                          text.c_str(), lan, kDescription, "TCP", nullptr, "0");
    if (added != UPNPCOMMAND_SUCCESS) {
        result.failure = "the router refused the mapping (" + std::string(strupnperror(added)) + ")";
        return result;
    }
    char external[64] = {};
    UPNP_GetExternalIPAddress(router.urls.controlURL, router.data.first.servicetype, external);
    result.mapped = true;
    result.external = std::string(external) + ":" + text;
    return result;
}

// Sends nothing more once the deadline has passed; false without an answer.
bool NatPmpAnswer(natpmp_t& natpmp, natpmpresp_t& response, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        timeval wait{};
        getnatpmprequesttimeout(&natpmp, &wait);
        const long long asked = static_cast<long long>(wait.tv_sec) * 1000000 + wait.tv_usec;
        const long long waitUs = std::min<long long>(asked, left.count());
        wait.tv_sec = static_cast<time_t>(waitUs / 1000000);
        wait.tv_usec = static_cast<suseconds_t>(waitUs % 1000000);
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(natpmp.s, &readable);
        select(natpmp.s + 1, &readable, nullptr, nullptr, &wait);
        const int read = readnatpmpresponseorretry(&natpmp, &response);
        if (read != NATPMP_TRYAGAIN) {
            return read >= 0;
        }
    }
}

MappingResult NatPmpMap(uint16_t port, uint32_t lifetime, int timeoutMs) {
    MappingResult result;
    natpmp_t natpmp;
    if (initnatpmp(&natpmp, 0, 0) < 0) {
        result.failure = "no default gateway to ask";
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    natpmpresp_t response{};
    std::string address;
    if (sendpublicaddressrequest(&natpmp) >= 0 && NatPmpAnswer(natpmp, response, deadline) &&
        response.type == NATPMP_RESPTYPE_PUBLICADDRESS) {
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &response.pnu.publicaddress.addr, text, sizeof text);
        address = text;
    }
    if (sendnewportmappingrequest(&natpmp, NATPMP_PROTOCOL_TCP, port, port, lifetime) < 0 ||
        !NatPmpAnswer(natpmp, response, deadline) || response.type != NATPMP_RESPTYPE_TCPPORTMAPPING) {
        result.failure = "the gateway did not map the port within " + std::to_string(timeoutMs / 1000) + " s";
    } else {
        result.mapped = true;
        result.external = address + ":" + std::to_string(response.pnu.newportmapping.mappedpublicport);
    }
    closenatpmp(&natpmp);
    return result;
}

}  // namespace

std::vector<PortMapper> RouterMappers() {
    auto upnp = std::make_shared<UpnpRouter>();
    return {
        {"UPnP IGD", [upnp](uint16_t port, int timeoutMs) { return UpnpMap(*upnp, port, timeoutMs); },
         [upnp](uint16_t port) {
             const std::string text = std::to_string(port);
             UPNP_DeletePortMapping(upnp->urls.controlURL, upnp->data.first.servicetype, text.c_str(), "TCP",
                                    nullptr);
         }},
        {"NAT-PMP", [](uint16_t port, int timeoutMs) { return NatPmpMap(port, 7200, timeoutMs); },
         [](uint16_t port) { NatPmpMap(port, 0, kPortMappingTimeoutMs); }},  // lifetime 0 removes it
    };
}

}  // namespace lobby
