// zdefs' text and envelope commands, through the command table as the program runs them.

#include <gtest/gtest.h>

#include <sstream>

#include "tests/unit/tools/zdefs_run.h"
#include "tools/zdefs/command.h"

namespace zc::zdefs {
namespace {

constexpr char kStoredZombie[] = "A187FF9076FD8BF8C1377D1EF863C72CD805067C094D17F964B2524760F8E73C";

struct CliCase {
  const char* what;
  std::vector<std::string> args;
  int status;
  std::string out;          // exact stdout
  std::string err_contains;  // "" when stderr must stay empty
};

class ZdefsCases : public ::testing::TestWithParam<CliCase> {};

TEST_P(ZdefsCases, OutputAndExitCode) {
  const CliCase& c = GetParam();
  const Outcome o = Zdefs(c.args);
  EXPECT_EQ(o.status, c.status);
  EXPECT_EQ(o.out, c.out);
  if (c.err_contains.empty()) {
    EXPECT_EQ(o.err, "");
  } else {
    EXPECT_NE(o.err.find(c.err_contains), std::string::npos) << o.err;
  }
}

const std::string kZombieLine = std::string(kStoredZombie) + "\n";

INSTANTIATE_TEST_SUITE_P(
    Commands, ZdefsCases,
    ::testing::Values(
        CliCase{"TextEncrypt", {"text-encrypt", "좀비"}, 0, kZombieLine, ""},
        CliCase{"TextDecrypt", {"text-decrypt", kStoredZombie}, 0, "좀비\n", ""},
        CliCase{"TextDecryptLowerCase", {"text-decrypt", "a187ff9076fd8bf8c1377d1ef863c72cd805067c094d17f964b2524760f8e73c"}, 0, "좀비\n", ""},
        CliCase{"TextDecryptOddDigitsReportsPreFer", {"text-decrypt", "A18"}, 0, "\n", "PreFer: Subscript out of range"},
        CliCase{"TextDecryptNonHexReportsPreFer", {"text-decrypt", "ZZ"}, 0, "\n", "PreFer: Type mismatch"},
        CliCase{"TextDecryptNotAWholeBlockIsQuiet", {"text-decrypt", "A187"}, 0, "\n", ""},
        CliCase{"TextDecryptEmpty", {"text-decrypt", ""}, 0, "\n", ""},
        CliCase{"TextEncryptEmptyIsRefused", {"text-encrypt", ""}, 0, "\n", "EncryptData"},
        CliCase{"EnvelopeEncrypt", {"envelope-encrypt", "80C8", "80C844BE"}, 0, kZombieLine, ""},
        CliCase{"EnvelopeEncryptLowerCaseKey", {"envelope-encrypt", "80c8", "80c844be"}, 0, kZombieLine, ""},
        CliCase{"EnvelopeEncryptKeyPaddedWithZeros", {"envelope-encrypt", "80C80000", "80C844BE"}, 0, kZombieLine, ""},
        CliCase{"EnvelopeDecrypt", {"envelope-decrypt", "80C8", kStoredZombie}, 0, "80C844BE\n", ""},
        CliCase{"EnvelopeDecryptWrongLengthIsQuiet", {"envelope-decrypt", "80C8", "00"}, 0, "\n", ""},
        CliCase{"EnvelopeDecryptEmptyEnvelopeReports", {"envelope-decrypt", "80C8", ""}, 0, "\n", "DecryptData"},
        CliCase{"EnvelopeEncryptEmptyPayloadReports", {"envelope-encrypt", "80C8", ""}, 0, "\n", "EncryptData"},
        CliCase{"NoArguments", {}, 2, "", "usage"},
        CliCase{"UnknownCommand", {"frobnicate"}, 2, "", "usage"},
        CliCase{"TextEncryptMissingText", {"text-encrypt"}, 2, "", "usage: zdefs text-encrypt TEXT"},
        // A TEXT that is not UTF-8 would be enciphered as U+FFFD in its place.
        CliCase{"TextEncryptLatin1", {"text-encrypt", "caf\xE9"}, 2, "", "usage: zdefs text-encrypt TEXT"},
        CliCase{"TextEncryptCp949", {"text-encrypt", "\xC1\xBB\xBA\xF1"}, 2, "", "not valid UTF-8"},
        CliCase{"TextEncryptCutShort", {"text-encrypt", "\xEC\xA2"}, 2, "", "usage: zdefs text-encrypt TEXT"},
        CliCase{"TextEncryptOverlong", {"text-encrypt", "\xC0\xAF"}, 2, "", "usage: zdefs text-encrypt TEXT"},
        CliCase{"TextEncryptSurrogate", {"text-encrypt", "\xED\xA0\x80"}, 2, "", "usage: zdefs text-encrypt TEXT"},
        CliCase{"TextEncryptAbove10FFFF", {"text-encrypt", "\xF4\x90\x80\x80"}, 2, "", "not valid UTF-8"},
        CliCase{"TextDecryptTwoArguments", {"text-decrypt", "A1", "B2"}, 2, "", "usage: zdefs text-decrypt HEX"},
        CliCase{"EnvelopeOddKey", {"envelope-encrypt", "80C", "00"}, 2, "", "usage: zdefs envelope-encrypt"},
        CliCase{"EnvelopeNonHexData", {"envelope-decrypt", "80C8", "0G"}, 2, "", "usage: zdefs envelope-decrypt"},
        CliCase{"EnvelopeMissingData", {"envelope-decrypt", "80C8"}, 2, "", "usage: zdefs envelope-decrypt"}),
    [](const auto& param_info) { return std::string(param_info.param.what); });

TEST(Zdefs, HelpListsTheTextCommands) {
  const Outcome o = Zdefs({"help"});
  for (const char* usage : {"zdefs text-encrypt TEXT", "zdefs text-decrypt HEX",
                            "zdefs envelope-encrypt KEYHEX DATAHEX", "zdefs envelope-decrypt KEYHEX DATAHEX"})
    EXPECT_NE(o.out.find(usage), std::string::npos) << usage;
}

TEST(Zdefs, ValidUtf8OfEveryLengthIsTakenAsItStands) {
  for (const std::string text : {"a", "\xC3\xA9", "좀비", "\xEF\xBF\xBD", "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF"}) {
    const Outcome sealed = Zdefs({"text-encrypt", text});
    ASSERT_EQ(sealed.status, 0) << text;
    EXPECT_EQ(Zdefs({"text-decrypt", sealed.out.substr(0, sealed.out.size() - 1)}).out, text + "\n");
  }
}

TEST(Zdefs, EnvelopeRoundTripThroughTheCommands) {
  const std::string key = "00112233445566778899AABBCCDDEEFF00112233445566778899AABBCCDDEEFF0102";
  const std::string data = "48656C6C6F2C207A646566732120546869732069732061207465737420706179";  // 32 bytes
  const Outcome sealed = Zdefs({"envelope-encrypt", key, data});
  ASSERT_EQ(sealed.status, 0);
  ASSERT_EQ(sealed.out.size(), 128u + 1);  // 36 bytes of envelope -> 64
  const Outcome opened = Zdefs({"envelope-decrypt", key, sealed.out.substr(0, 128)});
  EXPECT_EQ(opened.out, data + "\n");
}

}  // namespace
}  // namespace zc::zdefs
