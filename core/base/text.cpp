#include "core/base/text.h"

#include <cstdint>

namespace zc {

void AppendCodePoint(Text& out, char32_t codePoint) {
  if (codePoint < 0x10000) {
    out.push_back(static_cast<char16_t>(codePoint));
    return;
  }
  codePoint -= 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

char32_t CodePointAt(TextView text, size_t at, size_t& units) {
  const char16_t unit = text[at];
  units = 1;
  if (unit >= 0xD800 && unit <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF) {
    units = 2;
    return 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[at + 1] - 0xDC00u);
  }
  return unit;
}

Text FromUtf8(std::string_view utf8) {
  Text out;
  out.reserve(utf8.size());
  size_t i = 0;
  const size_t n = utf8.size();
  auto byte = [&](size_t k) { return static_cast<uint8_t>(utf8[k]); };
  while (i < n) {
    const uint8_t b0 = byte(i);
    uint32_t cp = 0xFFFD;
    size_t len = 1;
    if (b0 < 0x80) {
      cp = b0;
    } else if ((b0 & 0xE0) == 0xC0 && i + 1 < n && (byte(i + 1) & 0xC0) == 0x80) {
      cp = ((b0 & 0x1Fu) << 6) | (byte(i + 1) & 0x3Fu);
      len = 2;
      if (cp < 0x80) cp = 0xFFFD;
    } else if ((b0 & 0xF0) == 0xE0 && i + 2 < n && (byte(i + 1) & 0xC0) == 0x80 &&
               (byte(i + 2) & 0xC0) == 0x80) {
      cp = ((b0 & 0x0Fu) << 12) | ((byte(i + 1) & 0x3Fu) << 6) | (byte(i + 2) & 0x3Fu);
      len = 3;
      if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    } else if ((b0 & 0xF8) == 0xF0 && i + 3 < n && (byte(i + 1) & 0xC0) == 0x80 &&
               (byte(i + 2) & 0xC0) == 0x80 && (byte(i + 3) & 0xC0) == 0x80) {
      cp = ((b0 & 0x07u) << 18) | ((byte(i + 1) & 0x3Fu) << 12) | ((byte(i + 2) & 0x3Fu) << 6) |
           (byte(i + 3) & 0x3Fu);
      len = 4;
      if (cp < 0x10000 || cp > 0x10FFFF) cp = 0xFFFD;
    }
    i += len;
    AppendCodePoint(out, cp);
  }
  return out;
}

std::string ToUtf8(TextView text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0, units = 1; i < text.size(); i += units) {
    uint32_t cp = CodePointAt(text, i, units);
    if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;  // unpaired
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

Text FromAscii(std::string_view ascii) {
  Text out(ascii.size(), u'\0');
  for (size_t i = 0; i < ascii.size(); ++i) out[i] = static_cast<unsigned char>(ascii[i]);
  return out;
}

Text DecimalText(long long value) { return FromAscii(std::to_string(value)); }

Text FoldCase(TextView text) {
  Text out(text);
  for (char16_t& c : out) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
      c = static_cast<char16_t>(c + 32);
    }
  }
  return out;
}

Text TrimSpaces(TextView text) {
  size_t b = 0;
  size_t e = text.size();
  while (b < e && text[b] == u' ') ++b;
  while (e > b && text[e - 1] == u' ') --e;
  return Text(text.substr(b, e - b));
}

}  // namespace zc
