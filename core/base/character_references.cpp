#include "core/base/character_references.h"

namespace zc {
namespace {

void AppendReference(Text& out, char32_t codePoint) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  Text digits;
  do {
    digits.insert(digits.begin(), kDigits[codePoint & 0xF]);
    codePoint >>= 4;
  } while (codePoint != 0);
  out.append(u"&#x").append(digits).push_back(u';');
}

int HexValue(char16_t unit) {
  if (unit >= u'0' && unit <= u'9') return unit - u'0';
  if (unit >= u'A' && unit <= u'F') return unit - u'A' + 10;
  if (unit >= u'a' && unit <= u'f') return unit - u'a' + 10;
  return -1;
}

}  // namespace

Text WithCharacterReferences(TextView text, const CodePointTest& holds) {
  Text out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    const bool startsReference = unit == u'&' && i + 1 < text.size() && text[i + 1] == u'#';
    if (startsReference || unit == u'\r' || unit == u'\n') {
      AppendReference(out, unit);
      continue;
    }
    if (unit >= 0x20 && unit < 0x7F) {  // printable ASCII: every ANSI code page holds it
      out.push_back(unit);
      continue;
    }
    size_t units = 1;
    const char32_t codePoint = CodePointAt(text, i, units);
    if (holds(codePoint)) {
      out.append(text.substr(i, units));
    } else {
      AppendReference(out, codePoint);
    }
    i += units - 1;
  }
  return out;
}

Text WithoutCharacterReferences(TextView text) {
  Text out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (text.substr(i, 3) == u"&#x") {
      size_t end = i + 3;
      char32_t codePoint = 0;
      while (end < text.size() && end - (i + 3) < 6 && HexValue(text[end]) >= 0) {
        codePoint = (codePoint << 4) | static_cast<char32_t>(HexValue(text[end]));
        ++end;
      }
      if (end > i + 3 && end < text.size() && text[end] == u';' && codePoint <= 0x10FFFF) {
        AppendCodePoint(out, codePoint);
        i = end + 1;
        continue;
      }
    }
    out.push_back(text[i]);
    ++i;
  }
  return out;
}

}  // namespace zc
