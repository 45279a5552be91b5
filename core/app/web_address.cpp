#include "core/app/web_address.h"

namespace zc {
namespace {

bool IsControl(char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool IsBlank(char16_t c) {
  return c == u' ' || c == 0x00A0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200B) || c == 0x2028 ||
         c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000 || c == 0xFEFF;
}

bool IsQuote(char16_t c) { return c == u'"' || c == u'\''; }

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool StartsWithIgnoringCase(TextView text, TextView lead) {
  if (text.size() < lead.size()) return false;
  for (size_t i = 0; i < lead.size(); ++i) {
    if (Lower(text[i]) != lead[i]) return false;
  }
  return true;
}

}  // namespace

bool IsOpenableWebAddress(TextView address) {
  size_t hostBegins = 0;
  if (StartsWithIgnoringCase(address, u"http://")) {
    hostBegins = 7;
  } else if (StartsWithIgnoringCase(address, u"https://")) {
    hostBegins = 8;
  } else {
    return false;
  }
  if (address.size() == hostBegins || address[hostBegins] == u'/' || address[hostBegins] == u'\\') return false;
  for (const char16_t c : address) {
    if (IsControl(c) || IsBlank(c) || IsQuote(c)) return false;
  }
  return true;
}

Text PrintableAddress(TextView address) {
  Text printable(address);
  for (char16_t& c : printable) {
    if (IsControl(c)) c = u'?';
  }
  return printable;
}

}  // namespace zc
