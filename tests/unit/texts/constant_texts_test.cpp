// The generated table of enciphered text constants: every stored form deciphers to the
// value written in core/texts/plain_texts.txt, through ConstantTexts::Get, without a
// report; nothing in the table is plain.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "core/crypto/text_cipher.h"
#include "core/texts/constant_texts.h"
#include "tests/fakes/fake_activity_log.h"

namespace zc {
namespace {

// Name -> UTF-8 value, read the way constgen reads the file.
std::map<std::string, std::string> PlainValues() {
  std::ifstream in(ZC_PLAIN_TEXTS_FILE);
  std::map<std::string, std::string> values;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    const auto eq = line.find('=');
    const auto open = line.find('"');
    const auto close = line.rfind('"');
    std::string name = line.substr(0, eq);
    name.erase(name.find_last_not_of(" \t") + 1);
    name.erase(0, name.find_first_not_of(" \t"));
    std::string value = line.substr(open + 1, close - open - 1);
    const std::string placeholder = "@DEFINITIONS_URL@";
    if (const auto at = value.find(placeholder); at != std::string::npos)
      value.replace(at, placeholder.size(), ZC_DEFINITIONS_URL_VALUE);
    values[name] = value;
  }
  return values;
}

TEST(ConstantTexts, EveryConstantDeciphersToItsPlainValue) {
  const auto plain = PlainValues();
  ASSERT_FALSE(plain.empty());
  EXPECT_EQ(std::size(enc::kAll), plain.size());
  fakes::FakeFailureReporter reporter;
  const ConstantTexts texts(reporter);
  for (const auto& constant : enc::kAll) {
    const auto found = plain.find(constant.name);
    ASSERT_NE(found, plain.end()) << constant.name;
    EXPECT_EQ(ToUtf8(texts.Get(constant.stored)), found->second) << constant.name;
    const TextView stored(constant.stored);
    EXPECT_EQ(stored.size() % 64, 0u) << constant.name;
    EXPECT_EQ(stored.find_first_not_of(u"0123456789ABCDEF"), TextView::npos) << constant.name;
    EXPECT_NE(ToUtf8(stored), found->second);
  }
  EXPECT_TRUE(reporter.reports.empty());
}

TEST(ConstantTexts, KnownConstants) {
  fakes::FakeFailureReporter reporter;
  const ConstantTexts texts(reporter);
  EXPECT_EQ(texts.Get(enc::DefinitionsAddress), FromUtf8(ZC_DEFINITIONS_URL_VALUE));
  EXPECT_FALSE(texts.Get(enc::LogFileName).empty());
  EXPECT_FALSE(texts.Get(enc::WindowCaption).empty());
  EXPECT_TRUE(reporter.reports.empty());
}

TEST(ConstantTexts, GetReportsMalformedFormsUnderPreFer) {
  fakes::FakeFailureReporter reporter;
  const ConstantTexts texts(reporter);
  EXPECT_EQ(texts.Get(u"ABC"), u"");
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_EQ(reporter.reports[0].first, u"PreFer");
}

}  // namespace
}  // namespace zc
