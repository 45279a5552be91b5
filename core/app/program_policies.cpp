#include "core/app/program_policies.h"

#include <optional>

#include "core/app/web_address.h"

namespace zc {
namespace {

constexpr uint32_t kTextType = 1;    // REG_SZ
constexpr uint32_t kNumberType = 4;  // REG_DWORD
// How much of an unusable text the log line quotes.
constexpr size_t kQuotedLength = 120;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsHexDigit(char16_t c) { return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }
bool IsHostCharacter(char16_t c) {
  return IsDigit(c) || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'.' || c == u'-';
}

// Removes blanks and tabs at both ends (a text typed into a policy's box may carry them).
Text TrimBlanks(TextView text) {
  size_t begin = 0, end = text.size();
  while (begin < end && (text[begin] == u' ' || text[begin] == u'\t')) ++begin;
  while (end > begin && (text[end - 1] == u' ' || text[end - 1] == u'\t')) --end;
  return Text(text.substr(begin, end - begin));
}

class PolicyReader {
 public:
  PolicyReader(RawRegistryApi& registry, const ConstantTexts& texts, ProgramPolicies& policies)
      : registry_(registry), texts_(texts), policies_(policies), key_(texts.Get(enc::PolicyKeyPath)) {}

  // The value as a text: nothing when it is not set or not usable (then logged). The
  // stored text ends at its first terminating zero.
  std::optional<Text> ReadText(TextView enciphered, size_t maxLength) {
    const Text name = texts_.Get(enciphered);
    const std::optional<RawRegistryValue> value = registry_.ReadRawValue(kLocalMachineRoot, key_, name);
    if (!value) return std::nullopt;
    if (value->type != kTextType || value->data.size() % 2 != 0) return Ignore(name, enc::PolicyWrongType, {});
    Text text;
    for (size_t i = 0; i + 1 < value->data.size(); i += 2) {
      const char16_t unit = static_cast<char16_t>(value->data[i] | (value->data[i + 1] << 8));
      if (unit == 0) break;
      text.push_back(unit);
    }
    text = TrimBlanks(text);
    if (text.empty()) return Ignore(name, enc::PolicyEmpty, {});
    if (text.size() > maxLength) return Ignore(name, enc::PolicyTooLong, text);
    return text;
  }

  // The value as a switch: nothing when it is not set or not usable (then logged).
  std::optional<bool> ReadSwitch(TextView enciphered) {
    const Text name = texts_.Get(enciphered);
    const std::optional<RawRegistryValue> value = registry_.ReadRawValue(kLocalMachineRoot, key_, name);
    if (!value) return std::nullopt;
    if (value->type != kNumberType || value->data.size() != 4) {
      Ignore(name, enc::PolicyWrongType, {});
      return std::nullopt;
    }
    const uint32_t number = static_cast<uint32_t>(value->data[0]) | (static_cast<uint32_t>(value->data[1]) << 8) |
                            (static_cast<uint32_t>(value->data[2]) << 16) |
                            (static_cast<uint32_t>(value->data[3]) << 24);
    if (number > 1) {
      Ignore(name, enc::PolicyNotZeroOrOne, DecimalText(static_cast<long long>(number)));
      return std::nullopt;
    }
    return number == 1;
  }

  // Logs "<lead><name>: <reason>[: <value>]" and gives nothing.
  std::nullopt_t Ignore(TextView name, TextView reason, TextView value) {
    Text line = texts_.Get(enc::PolicyIgnored);
    line += name;
    line += u": ";
    line += texts_.Get(reason);
    if (!value.empty()) {
      line += u": ";
      line += PrintableAddress(value.substr(0, kQuotedLength));
      if (value.size() > kQuotedLength) line += u"...";
    }
    policies_.ignored.push_back(std::move(line));
    return std::nullopt;
  }

 private:
  RawRegistryApi& registry_;
  const ConstantTexts& texts_;
  ProgramPolicies& policies_;
  const Text key_;
};

}  // namespace

bool IsHostAndPort(TextView text) {
  const size_t colon = text.rfind(u':');
  if (colon == TextView::npos) return false;
  const TextView host = text.substr(0, colon);
  const TextView port = text.substr(colon + 1);

  if (host.empty()) return false;
  if (host.front() == u'[') {
    if (host.size() < 3 || host.back() != u']') return false;
    for (const char16_t c : host.substr(1, host.size() - 2)) {
      if (!IsHexDigit(c) && c != u':' && c != u'.') return false;
    }
  } else {
    for (const char16_t c : host) {
      if (!IsHostCharacter(c)) return false;
    }
  }

  if (port.empty() || port.size() > 5) return false;
  uint32_t number = 0;
  for (const char16_t c : port) {
    if (!IsDigit(c)) return false;
    number = number * 10 + static_cast<uint32_t>(c - u'0');
  }
  return number >= 1 && number <= 65535;
}

ProgramPolicies ReadProgramPolicies(RawRegistryApi& registry, const ConstantTexts& texts) {
  ProgramPolicies policies;
  PolicyReader reader(registry, texts, policies);

  if (auto address = reader.ReadText(enc::PolicyDefinitionsAddress, kPolicyAddressMaxLength)) {
    const Text name = texts.Get(enc::PolicyDefinitionsAddress);
    if (!IsOpenableWebAddress(*address)) {
      reader.Ignore(name, enc::PolicyNotWebAddress, *address);
    } else if (address->find_first_of(u"?#") != Text::npos) {
      // The signature is fetched from the address with ".sig" after it.
      reader.Ignore(name, enc::PolicyAddressHasQuery, *address);
    } else {
      policies.definitionsAddress = std::move(*address);
    }
  }
  if (auto proxy = reader.ReadText(enc::PolicyLocalSystemProxy, kPolicyProxyMaxLength)) {
    if (IsHostAndPort(*proxy)) {
      policies.localSystemProxy = std::move(*proxy);
    } else {
      reader.Ignore(texts.Get(enc::PolicyLocalSystemProxy), enc::PolicyNotHostPort, *proxy);
    }
  }
  policies.neverOpenHomepage = reader.ReadSwitch(enc::PolicyNeverOpenHomepage).value_or(false);
  policies.startAtLogonForAllUsers = reader.ReadSwitch(enc::PolicyStartAtLogonForAllUsers).value_or(false);
  return policies;
}

}  // namespace zc
