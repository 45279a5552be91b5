// The text form of signatures and keys: 128 hexadecimal digits, one optional line end
// for a signature file, nothing else.

#include "core/definitions/signature_text.h"

#include <gtest/gtest.h>

namespace zc {
namespace {

P256Signature Counting() {
  P256Signature value{};
  for (size_t i = 0; i < value.size(); ++i) value[i] = static_cast<uint8_t>(i * 37 + 5);
  return value;
}

TEST(SignatureText, WritesUpperCaseDigitsThatReadBack) {
  const P256Signature value = Counting();
  const std::string text = WriteP256Hex(value);
  ASSERT_EQ(text.size(), 128u);
  EXPECT_EQ(text.substr(0, 6), "052A4F");
  Text problem;
  EXPECT_EQ(ReadSignatureText(text, problem), value);
}

TEST(SignatureText, ReadsOnlyDigitsWithOneOptionalLineEnd) {
  const std::string digits = WriteP256Hex(Counting());
  std::string lower = digits;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::string badDigit = digits;
  badDigit[100] = 'G';

  struct Case {
    const char* what;
    std::string bytes;
    bool accepted;
    const char16_t* problem;
  };
  const Case cases[] = {
      {"bare digits", digits, true, u""},
      {"lower case", lower, true, u""},
      {"line feed", digits + "\n", true, u""},
      {"CR LF", digits + "\r\n", true, u""},
      {"two line ends", digits + "\n\n", false, u"it holds 129 characters; 128 hexadecimal digits are expected"},
      {"carriage return alone", digits + "\r", false, u"it holds 129 characters; 128 hexadecimal digits are expected"},
      {"trailing blank", digits + " ", false, u"it holds 129 characters; 128 hexadecimal digits are expected"},
      {"leading blank", " " + digits, false, u"character 1 is not a hexadecimal digit"},
      {"byte-order mark", "\xEF\xBB\xBF" + digits, false, u"character 1 is not a hexadecimal digit"},
      {"truncated by one digit", digits.substr(0, 127), false,
       u"it holds 127 characters; 128 hexadecimal digits are expected"},
      {"truncated to half", digits.substr(0, 64) + "\n", false,
       u"it holds 64 characters; 128 hexadecimal digits are expected"},
      {"one digit too many", digits + "0", false, u"it holds 129 characters; 128 hexadecimal digits are expected"},
      {"a letter that is no digit", badDigit, false, u"character 101 is not a hexadecimal digit"},
      {"empty", "", false, u"it is empty"},
      {"only a line end", "\n", false, u"it is empty"},
      // A DER signature begins with "0D" in ASCII: its third byte is the first non-digit.
      {"a DER signature", std::string("\x30\x44\x02\x20", 4) + std::string(64, '\x11'), false,
       u"character 3 is not a hexadecimal digit"},
      {"an error page", "<html><body>404 Not Found</body></html>", false, u"character 1 is not a hexadecimal digit"},
      {"a NUL among digits", digits.substr(0, 10) + std::string(1, '\0') + digits.substr(11), false,
       u"character 11 is not a hexadecimal digit"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Text problem;
    const std::optional<P256Signature> read = ReadSignatureText(c.bytes, problem);
    EXPECT_EQ(read.has_value(), c.accepted);
    if (c.accepted) {
      EXPECT_EQ(*read, Counting());
    }
    EXPECT_EQ(problem, c.problem);
  }
}

TEST(SignatureText, APublicKeyTakesNoLineEnd) {
  const Text digits = FromAscii(WriteP256Hex(Counting()));
  Text problem;
  EXPECT_EQ(ReadPublicKeyText(digits, problem), Counting());
  EXPECT_FALSE(ReadPublicKeyText(digits + u"\n", problem).has_value());
  EXPECT_FALSE(ReadPublicKeyText(u"", problem).has_value());
  EXPECT_EQ(problem, u"it is empty");
  // A non-ASCII code unit is no digit, even where its low byte would be one.
  Text wide = digits;
  wide[3] = static_cast<char16_t>(0x0130);
  EXPECT_FALSE(ReadPublicKeyText(wide, problem).has_value());
  EXPECT_EQ(problem, u"character 4 is not a hexadecimal digit");
}

}  // namespace
}  // namespace zc
