#include "core/engine/endpoint_text.h"

#include <cstddef>

namespace zc {
namespace {

Text DottedText(const uint8_t* bytes) {
  Text text;
  for (int i = 0; i < 4; ++i) {
    if (i != 0) text += u'.';
    text += DecimalText(bytes[i]);
  }
  return text;
}

Text HexGroup(unsigned value) {
  constexpr char16_t kDigits[] = u"0123456789abcdef";
  Text text;
  bool started = false;
  for (int shift = 12; shift >= 0; shift -= 4) {
    const unsigned digit = (value >> shift) & 0xF;
    if (digit != 0 || started || shift == 0) {
      text += kDigits[digit];
      started = true;
    }
  }
  return text;
}

bool IsMappedIpv4(const std::array<uint8_t, 16>& a) {
  for (size_t i = 0; i < 10; ++i) {
    if (a[i] != 0) return false;
  }
  return a[10] == 0xFF && a[11] == 0xFF;
}

Text Ipv6Text(const std::array<uint8_t, 16>& a) {
  if (IsMappedIpv4(a)) return u"::ffff:" + DottedText(a.data() + 12);
  unsigned groups[8];
  for (size_t i = 0; i < 8; ++i) groups[i] = (unsigned{a[2 * i]} << 8) | a[2 * i + 1];

  // The longest run of zero groups, two at least; the first one when runs tie.
  size_t bestStart = 8, bestLength = 0;
  for (size_t i = 0; i < 8;) {
    if (groups[i] != 0) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < 8 && groups[end] == 0) ++end;
    if (end - i > bestLength) {
      bestStart = i;
      bestLength = end - i;
    }
    i = end;
  }
  if (bestLength < 2) bestStart = 8;

  Text text;
  for (size_t i = 0; i < 8; ++i) {
    if (i == bestStart) {
      text += u"::";
      i += bestLength - 1;
      continue;
    }
    if (!text.empty() && text.back() != u':') text += u':';
    text += HexGroup(groups[i]);
  }
  return text;
}

}  // namespace

Text AddressText(const IpEndpoint& endpoint) {
  if (!endpoint.isIpv6) return DottedText(endpoint.address.data());
  Text text = Ipv6Text(endpoint.address);
  if (endpoint.scopeId != 0) text += u'%' + DecimalText(endpoint.scopeId);
  return text;
}

Text EndpointText(const IpEndpoint& endpoint) {
  const Text address = AddressText(endpoint);
  const Text port = DecimalText(endpoint.port);
  return endpoint.isIpv6 ? u"[" + address + u"]:" + port : address + u':' + port;
}

}  // namespace zc
