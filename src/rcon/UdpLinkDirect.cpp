// createUdpLink for programs that link Qt Network themselves.

#include "rcon/QtNetworkUdpLink.h"

namespace brimhold::rcon {

MadeUdpLink createUdpLink(UdpLink::Request request) {
    return {std::make_unique<QtNetworkUdpLink>(std::move(request)), QString()};
}

}  // namespace brimhold::rcon
