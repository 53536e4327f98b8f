// The network module's two entry points (see NetworkModule.h).

#include "rcon/NetworkModule.h"

#include "rcon/QtNetworkUdpLink.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT const char* brimholdRconNetworkBuild() {
    return brimhold::rcon::kNetworkModuleBuild;
}

extern "C" Q_DECL_EXPORT brimhold::rcon::UdpLink* brimholdRconNetworkCreateUdpLink(
    brimhold::rcon::UdpLink::Request* request) {
    return new brimhold::rcon::QtNetworkUdpLink(std::move(*request));
}
