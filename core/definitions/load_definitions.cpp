#include "core/definitions/load_definitions.h"

#include "core/definitions/definitions_signature.h"
#include "core/definitions/split_pieces.h"

namespace zc {
namespace {

constexpr char16_t kElementSeparator[] = u"@@";
constexpr char16_t kListSeparator[] = u"|";

// "1 element", "3 elements".
Text Counted(size_t count, const char16_t* one, const char16_t* many) {
  return DecimalText(static_cast<long long>(count)) + u" " + (count == 1 ? one : many);
}

DefinitionsResult MissingElement(size_t element, size_t count) {
  DefinitionsResult result;
  result.error = DefinitionsError::TooFewElements;
  result.element = element;
  result.count = count;
  return result;
}

// Copies the inner pieces of `patterns` into `table`, or reports the list as too long.
bool FillTable(const std::vector<Text>& patterns, PatternTable& table) {
  table.fill(Text());
  if (patterns.size() > kPatternTableSlots + 2) return false;
  for (size_t k = 1; k + 1 < patterns.size(); ++k) table[k - 1] = patterns[k];
  return true;
}

}  // namespace

DefinitionsResult ParseDefinitions(TextView body, const ConstantTexts& texts, DefinitionsSet& set) {
  set.DefinitionsElements = SplitPieces(body, kElementSeparator);
  const std::vector<Text>& elements = set.DefinitionsElements;

  const struct {
    size_t element;
    std::vector<Text>* list;
  } lists[] = {
      {1, &set.InputTunnelPatterns},  {3, &set.OutputTunnelPatterns}, {9, &set.RegistryEntryList},
      {11, &set.ServiceNameList},     {13, &set.ConnectionKillPatterns},
  };
  for (const auto& entry : lists) {
    if (entry.element >= elements.size()) return MissingElement(entry.element, elements.size());
    *entry.list = SplitPieces(texts.Get(elements[entry.element]), kListSeparator);
  }
  // Element 13 exists, so element 7 does too.
  set.HomepageUrl = texts.Get(elements[7]);
  return {};
}

DefinitionsResult FillPatternTables(DefinitionsSet& set) {
  const struct {
    const std::vector<Text>* patterns;
    PatternTable* table;
    DefinitionsError tooLong;
    size_t element;
  } tables[] = {
      {&set.InputTunnelPatterns, &set.InputTunnelTable, DefinitionsError::InputTunnelListTooLong, 1},
      {&set.OutputTunnelPatterns, &set.OutputTunnelTable, DefinitionsError::OutputTunnelListTooLong, 3},
  };
  for (const auto& t : tables) {
    if (!FillTable(*t.patterns, *t.table)) {
      DefinitionsResult result;
      result.error = t.tooLong;
      result.element = t.element;
      result.count = t.patterns->size() - 2;
      return result;
    }
  }
  return {};
}

DefinitionsResult LoadDefinitions(HttpApi& http, const ConstantTexts& texts, DefinitionsSet& set,
                                  const DefinitionsSigner& signer, TextView givenAddress) {
  const Text address = givenAddress.empty() ? texts.Get(enc::DefinitionsAddress) : Text(givenAddress);
  HttpResponse response = http.Get(address);
  if (!response.sent || response.bodyTooLong) {
    DefinitionsResult result;
    result.error = response.sent ? DefinitionsError::BodyTooLong : DefinitionsError::RequestNotSent;
    result.detail = std::move(response.error);
    return result;
  }
  if (response.status != 200) {
    DefinitionsResult result;
    result.error = DefinitionsError::SetNotServed;
    result.detail = address;
    result.count = static_cast<size_t>(response.status < 0 ? 0 : response.status);
    return result;
  }
  if (signer.SignsSets()) {
    DefinitionsResult signature = CheckDefinitionsSignature(http, address, response.bytes, signer, texts);
    if (!signature.ok()) return signature;
  }
  return ParseDefinitions(response.body, texts, set);
}

Text DescribeDefinitionsResult(const DefinitionsResult& result) {
  switch (result.error) {
    case DefinitionsError::None:
      return {};
    case DefinitionsError::RequestNotSent:
      return u"the definitions request could not be sent: " + result.detail;
    case DefinitionsError::BodyTooLong:
      return u"the definitions text is too long to be read: " + result.detail;
    case DefinitionsError::TooFewElements:
      return u"the definitions text has " + Counted(result.count, u"element", u"elements") + u"; element " +
             DecimalText(static_cast<long long>(result.element)) +
             u" is missing (14 are needed)";
    case DefinitionsError::InputTunnelListTooLong:
    case DefinitionsError::OutputTunnelListTooLong:
      return u"the list of element " + DecimalText(static_cast<long long>(result.element)) + u" has " +
             Counted(result.count, u"entry", u"entries") + u"; its table holds " +
             DecimalText(static_cast<long long>(kPatternTableSlots));
    case DefinitionsError::SignatureNotFetched:
      return u"the definitions signature could not be fetched: " + result.detail;
    case DefinitionsError::SignatureMissing:
      return u"the definitions signature is missing: " + result.detail + u" answered with status " +
             DecimalText(static_cast<long long>(result.count));
    case DefinitionsError::SignatureMalformed:
      return u"the definitions signature is malformed: " + result.detail;
    case DefinitionsError::SignatureWrong:
      return u"the definitions signature does not match the definitions set: " + result.detail +
             u" is not the publisher's signature of the set received";
    case DefinitionsError::SignatureKeyUnusable:
      return u"the definitions signature cannot be checked: " + result.detail;
    case DefinitionsError::SetNotServed:
      return u"the definitions set was not served: " + result.detail + u" answered with status " +
             DecimalText(static_cast<long long>(result.count));
  }
  return {};
}

}  // namespace zc
