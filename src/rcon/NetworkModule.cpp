// The network module's two entry points (see NetworkModule.h).

#include "rcon/NetworkModule.h"

#include "rcon/QtNetworkUdpLink.h"
#include "version/BuildVersion.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT const char* brimhold_rcon_network_version() {
    return BRIMHOLD_VERSION_STRING;
}

extern "C" Q_DECL_EXPORT brimhold::rcon::UdpLink* brimhold_rcon_network_create_udp_link(
    brimhold::rcon::UdpLink::Request* request) {
    return new brimhold::rcon::QtNetworkUdpLink(std::move(*request));
}
