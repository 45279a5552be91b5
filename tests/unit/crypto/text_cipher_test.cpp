// Part 2.2: DecryptText and its inverse EncryptText.

#include <gtest/gtest.h>

#include "core/crypto/text_cipher.h"
#include "tests/fakes/fake_activity_log.h"

namespace zc {
namespace {

TEST(TextCipher, RoundTripOfKoreanText) {
  fakes::FakeFailureReporter reporter;
  const Text plain = u"좀비 PC 치료기";
  const Text stored = EncryptText(plain, kTextKey, reporter);
  EXPECT_EQ(stored.size(), 64u);
  for (const char16_t c : stored) EXPECT_TRUE((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'));
  EXPECT_EQ(DecryptText(stored, kTextKey, reporter), plain);
  EXPECT_TRUE(reporter.reports.empty());
}

}  // namespace
}  // namespace zc
