#include "core/definitions/version.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "core/base/rounding.h"

namespace zc {
namespace {

// Walks a text with the blanks left out.
class BlankSkippingCursor {
 public:
  explicit BlankSkippingCursor(TextView text) : text_(text) {}

  // The current character, or 0 at the end.
  char16_t Peek() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    return pos_ < text_.size() ? text_[pos_] : u'\0';
  }
  void Advance() { ++pos_; }
  size_t Position() const { return pos_; }
  void Rewind(size_t pos) { pos_ = pos; }

 private:
  static bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }

  TextView text_;
  size_t pos_ = 0;
};

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int DigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return 99;
}

double ReadRadixDigits(BlankSkippingCursor& cursor, int radix) {
  double value = 0;
  for (char16_t c = cursor.Peek(); DigitValue(c) < radix; c = cursor.Peek()) {
    value = value * radix + DigitValue(c);
    cursor.Advance();
  }
  return value;
}

// Appends the run of decimal digits at the cursor to `out`; returns how many there were.
size_t ReadDigits(BlankSkippingCursor& cursor, std::string& out) {
  size_t count = 0;
  for (char16_t c = cursor.Peek(); IsDigit(c); c = cursor.Peek()) {
    out.push_back(static_cast<char>(c));
    cursor.Advance();
    ++count;
  }
  return count;
}

// Where from_chars finds the value out of range: overflow when the first significant
// digit lies at or beyond the 10^0 place once the exponent is applied, else underflow.
double OutOfRange(const std::string& integer, const std::string& fraction, const std::string& exponent) {
  long long magnitude = 0;  // decimal place of the first non-zero digit
  const size_t firstInteger = integer.find_first_not_of('0');
  const size_t firstFraction = fraction.find_first_not_of('0');
  if (firstInteger != std::string::npos) {
    magnitude = static_cast<long long>(integer.size() - firstInteger);
  } else if (firstFraction != std::string::npos) {
    magnitude = -static_cast<long long>(firstFraction);
  } else {
    return 0.0;  // all zeros, whatever the exponent
  }
  const bool negativeExponent = !exponent.empty() && exponent[0] == '-';
  // A huge exponent decides alone; a modest one moves the magnitude.
  if (exponent.size() > 12) return negativeExponent ? 0.0 : std::numeric_limits<double>::infinity();
  long long shift = 0;
  if (!exponent.empty()) std::from_chars(exponent.data(), exponent.data() + exponent.size(), shift);
  return magnitude + shift > 0 ? std::numeric_limits<double>::infinity() : 0.0;
}

}  // namespace

double ReadLeadingNumber(TextView text) {
  BlankSkippingCursor cursor(text);
  if (cursor.Peek() == u'&') {
    cursor.Advance();
    const char16_t radix = cursor.Peek();
    cursor.Advance();
    if (radix == u'H' || radix == u'h') return ReadRadixDigits(cursor, 16);
    if (radix == u'O' || radix == u'o') return ReadRadixDigits(cursor, 8);
    return 0;
  }

  bool negative = false;
  if (cursor.Peek() == u'+' || cursor.Peek() == u'-') {
    negative = cursor.Peek() == u'-';
    cursor.Advance();
  }
  std::string integer;
  std::string fraction;
  size_t digits = ReadDigits(cursor, integer);
  if (cursor.Peek() == u'.') {
    cursor.Advance();
    digits += ReadDigits(cursor, fraction);
  }
  if (digits == 0) return 0;

  std::string exponent;
  const char16_t marker = cursor.Peek();
  if (marker == u'e' || marker == u'E' || marker == u'd' || marker == u'D') {
    const size_t before = cursor.Position();
    cursor.Advance();
    if (cursor.Peek() == u'+' || cursor.Peek() == u'-') {
      if (cursor.Peek() == u'-') exponent.push_back('-');
      cursor.Advance();
    }
    if (ReadDigits(cursor, exponent) == 0) {
      exponent.clear();  // "1e" or "1e+" read as 1: the exponent did not continue the number
      cursor.Rewind(before);
    }
  }

  std::string number = integer.empty() ? std::string("0") : integer;
  if (!fraction.empty()) number += "." + fraction;
  if (!exponent.empty()) number += "e" + exponent;
  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error == std::errc::result_out_of_range) value = OutOfRange(integer, fraction, exponent);
  (void)end;
  return negative ? -value : value;
}

int64_t VersionDifference(TextView minuend, TextView subtrahend) {
  return RoundHalfEven(ReadLeadingNumber(minuend) - ReadLeadingNumber(subtrahend));
}

int64_t OwnVersion(const ConstantTexts& texts) {
  const Text minuend = texts.Get(enc::OwnVersionMinuend);
  const Text subtrahend = texts.Get(enc::OwnVersionSubtrahend);
  return VersionDifference(minuend, subtrahend);
}

Text LatestVersion(const DefinitionsSet& set, const ConstantTexts& texts) {
  if (set.DefinitionsElements.size() <= 5) return {};
  return texts.Get(set.DefinitionsElements[5]);
}

bool IsNewerVersionPublished(const DefinitionsSet& set, const ConstantTexts& texts) {
  const int64_t own = OwnVersion(texts);
  return ReadLeadingNumber(LatestVersion(set, texts)) > static_cast<double>(own);
}

}  // namespace zc
