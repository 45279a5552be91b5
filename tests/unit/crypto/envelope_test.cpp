// The envelope, EncryptData and DecryptData.

#include <gtest/gtest.h>

#include <span>
#include <utility>
#include <vector>

#include "core/crypto/aes.h"
#include "tests/fakes/fake_activity_log.h"
#include "tests/unit/crypto/test_util.h"

namespace zc {
namespace {

using testing_util::Bytes;
using testing_util::Counting;
using testing_util::Hex;

const ByteArray kTextKeyBytes = std::vector<std::uint8_t>{0x80, 0xC8};  // U+C880, UTF-16LE

ByteArray Encrypt(const ByteArray& message, const ByteArray& password, FailureReporter& reporter) {
  AES aes(reporter);
  return aes.EncryptData(message, password);
}

ByteArray Decrypt(const ByteArray& envelope, const ByteArray& password, FailureReporter& reporter) {
  AES aes(reporter);
  return aes.DecryptData(envelope, password);
}

// Builds (or opens) an envelope by hand: every whole 32-byte block of `bytes` through the
// bare cipher with a zero-padded 32-byte key, without the envelope's length field or
// refusals.
std::vector<std::uint8_t> RunBlocks(std::vector<std::uint8_t> bytes, std::vector<std::uint8_t> key,
                                    bool encipher) {
  fakes::FakeFailureReporter reporter;
  AES aes(reporter);
  aes.gentables();
  key.resize(32, 0);
  aes.gkey(8, 8, key);
  for (std::size_t offset = 0; offset + 32 <= bytes.size(); offset += 32) {
    const auto block = std::span<std::uint8_t>(bytes).subspan(offset, 32);
    encipher ? aes.Encrypt(block) : aes.Decrypt(block);
  }
  return bytes;
}

std::vector<std::uint8_t> SealBlocks(std::vector<std::uint8_t> plain, std::vector<std::uint8_t> key) {
  return RunBlocks(std::move(plain), std::move(key), true);
}

std::vector<std::uint8_t> OpenBlocks(std::vector<std::uint8_t> envelope, std::vector<std::uint8_t> key) {
  return RunBlocks(std::move(envelope), std::move(key), false);
}

std::vector<std::uint8_t> WithLength(std::int32_t length, std::vector<std::uint8_t> rest, std::size_t total) {
  std::vector<std::uint8_t> out(4);
  const auto u = static_cast<std::uint32_t>(length);
  for (int i = 0; i < 4; ++i) out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(u >> (8 * i));
  out.insert(out.end(), rest.begin(), rest.end());
  out.resize(total, 0);
  return out;
}

struct SizeCase {
  std::size_t payload;
  std::size_t envelope;
};

class EnvelopeSizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(EnvelopeSizes, LengthFieldPayloadAndZeroFill) {
  const SizeCase c = GetParam();
  fakes::FakeFailureReporter reporter;
  const auto message = Counting(c.payload, 0x41, 3);
  const ByteArray envelope = Encrypt(message, kTextKeyBytes, reporter);
  ASSERT_TRUE(envelope.has_value());
  EXPECT_EQ(envelope->size(), c.envelope);
  // Deciphered block by block: L, the payload, then zero bytes only.
  EXPECT_EQ(OpenBlocks(*envelope, *kTextKeyBytes),
            WithLength(static_cast<std::int32_t>(c.payload), message, c.envelope));
  EXPECT_EQ(Decrypt(envelope, kTextKeyBytes, reporter), ByteArray(message));
  EXPECT_TRUE(reporter.reports.empty());
}

INSTANTIATE_TEST_SUITE_P(Blocks, EnvelopeSizes,
                         ::testing::Values(SizeCase{1, 32}, SizeCase{2, 32}, SizeCase{28, 32},
                                           SizeCase{29, 64}, SizeCase{60, 64},  // L + 4 = 64: no zero block
                                           SizeCase{61, 96}, SizeCase{92, 96}, SizeCase{93, 128},
                                           SizeCase{1000, 1024}));

TEST(Envelope, RoundTripForEveryPayloadLengthUpTo200) {
  fakes::FakeFailureReporter reporter;
  for (std::size_t n = 1; n <= 200; ++n) {
    const auto message = Counting(n, static_cast<std::uint8_t>(n), 13);
    const auto password = Counting(n % 40, 0x99, 7);
    const ByteArray envelope = Encrypt(message, password, reporter);
    ASSERT_TRUE(envelope.has_value());
    EXPECT_EQ(envelope->size() % 32, 0u);
    EXPECT_EQ(envelope->size(), ((n + 4 + 31) / 32) * 32);
    EXPECT_EQ(Decrypt(envelope, password, reporter), ByteArray(message)) << n;
  }
  EXPECT_TRUE(reporter.reports.empty());
}

// Known answer from an independent Rijndael (rijndael-js 2.0.0): the envelope of the text
// "좀비" (UTF-16LE 80 C8 44 BE) under the text key.
TEST(Envelope, KnownAnswerUnderTheTextKey) {
  fakes::FakeFailureReporter reporter;
  const ByteArray envelope = Encrypt(Bytes("80C844BE"), kTextKeyBytes, reporter);
  ASSERT_TRUE(envelope.has_value());
  EXPECT_EQ(Hex(*envelope), "A187FF9076FD8BF8C1377D1EF863C72CD805067C094D17F964B2524760F8E73C");
}

TEST(Envelope, PasswordBeyond32BytesIsIgnoredAndAShortOneIsZeroFilled) {
  fakes::FakeFailureReporter reporter;
  const auto message = Counting(45, 1, 1);
  const auto long_password = Counting(40, 0x30, 1);
  const auto first32 = Counting(32, 0x30, 1);
  EXPECT_EQ(Encrypt(message, long_password, reporter), Encrypt(message, first32, reporter));
  const ByteArray sealed = Encrypt(message, long_password, reporter);
  EXPECT_EQ(Decrypt(sealed, first32, reporter), ByteArray(message));

  std::vector<std::uint8_t> padded = *kTextKeyBytes;
  padded.resize(32, 0);
  EXPECT_EQ(Encrypt(message, kTextKeyBytes, reporter), Encrypt(message, padded, reporter));
  EXPECT_EQ(Decrypt(Encrypt(message, padded, reporter), kTextKeyBytes, reporter), ByteArray(message));
  // An empty (dimensioned) password is the all-zero key.
  EXPECT_EQ(Encrypt(message, std::vector<std::uint8_t>{}, reporter),
            Encrypt(message, std::vector<std::uint8_t>(32, 0), reporter));
  EXPECT_TRUE(reporter.reports.empty());
}

// Refusals: no bytes, and a report only where the design says so.
struct RefusalCase {
  const char* what;
  bool decrypt;
  ByteArray data;
  ByteArray password;
  std::vector<std::pair<Text, Text>> reports;
};

class EnvelopeRefusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(EnvelopeRefusals, NoBytes) {
  const RefusalCase& c = GetParam();
  fakes::FakeFailureReporter reporter;
  const ByteArray result =
      c.decrypt ? Decrypt(c.data, c.password, reporter) : Encrypt(c.data, c.password, reporter);
  EXPECT_FALSE(result.has_value());
  EXPECT_EQ(reporter.reports, c.reports);
}

const std::vector<std::uint8_t> kKey{0x80, 0xC8};
const std::pair<Text, Text> kEncryptSubscript{u"EncryptData", u"Subscript out of range"};
const std::pair<Text, Text> kDecryptSubscript{u"DecryptData", u"Subscript out of range"};

INSTANTIATE_TEST_SUITE_P(
    Cases, EnvelopeRefusals,
    ::testing::Values(
        RefusalCase{"EncryptUndimensionedMessage", false, std::nullopt, kKey, {}},
        RefusalCase{"EncryptUndimensionedPassword", false, Counting(5), std::nullopt, {}},
        RefusalCase{"EncryptEmptyMessageFails", false, std::vector<std::uint8_t>{}, kKey, {kEncryptSubscript}},
        RefusalCase{"DecryptUndimensionedEnvelope", true, std::nullopt, kKey, {}},
        RefusalCase{"DecryptUndimensionedPassword", true, Counting(32), std::nullopt, {}},
        RefusalCase{"DecryptLength31", true, Counting(31), kKey, {}},
        RefusalCase{"DecryptLength33", true, Counting(33), kKey, {}},
        RefusalCase{"DecryptLengthFieldBeyondEnvelope", true, SealBlocks(WithLength(29, {}, 32), kKey), kKey, {}},
        RefusalCase{"DecryptLengthFieldFarBeyond", true, SealBlocks(WithLength(0x7FFFFFFF, {}, 64), kKey), kKey, {}},
        RefusalCase{"DecryptLengthFieldZeroFails", true, SealBlocks(WithLength(0, {}, 32), kKey), kKey,
                    {kDecryptSubscript}},
        RefusalCase{"DecryptNegativeLengthFails", true, SealBlocks(WithLength(-1, {}, 32), kKey), kKey,
                    {kDecryptSubscript}},
        RefusalCase{"DecryptEmptyEnvelopeFails", true, std::vector<std::uint8_t>{}, kKey, {kDecryptSubscript}}),
    [](const auto& param_info) { return std::string(param_info.param.what); });

TEST(Envelope, LengthFieldOfExactlyTheEnvelopeMinus4IsAccepted) {
  fakes::FakeFailureReporter reporter;
  const auto payload = Counting(28, 9, 9);
  const ByteArray opened = Decrypt(SealBlocks(WithLength(28, payload, 32), kKey), kKey, reporter);
  EXPECT_EQ(opened, ByteArray(payload));
  // The zero fill is not checked: whatever follows the payload is ignored.
  const ByteArray short_payload =
      Decrypt(SealBlocks(WithLength(3, Counting(28, 0xF0, 1), 32), kKey), kKey, reporter);
  EXPECT_EQ(short_payload, ByteArray(Counting(3, 0xF0, 1)));
  EXPECT_TRUE(reporter.reports.empty());
}

TEST(Envelope, EachUseRegeneratesTablesAndKeySoOneObjectServesSeveralPasswords) {
  fakes::FakeFailureReporter reporter;
  AES aes(reporter);
  const auto message = Counting(10);
  const ByteArray a = aes.EncryptData(message, Counting(5));
  const ByteArray b = aes.EncryptData(message, Counting(6));
  EXPECT_NE(a, b);
  EXPECT_EQ(aes.DecryptData(a, Counting(5)), ByteArray(message));
  EXPECT_EQ(aes.DecryptData(b, Counting(6)), ByteArray(message));
  EXPECT_TRUE(reporter.reports.empty());
}

}  // namespace
}  // namespace zc
