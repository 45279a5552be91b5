#pragma once
// An address and port written as the connection listing shows them:
//     10.0.0.5:49702      [::1]:135      [fe80::1%12]:49670      [::ffff:10.0.0.5]:80
// IPv6 addresses are lower-case hexadecimal with the longest run of two or more zero
// groups (the first of equal runs) written as "::"; an IPv4-mapped address keeps its
// dotted tail; a scoped address carries "%scope".

#include "core/base/text.h"
#include "core/platform/connection_table_api.h"

namespace zc {

Text AddressText(const IpEndpoint& endpoint);
Text EndpointText(const IpEndpoint& endpoint);

}  // namespace zc
