// Feeds arbitrary bodies to the start-up parse: split, decipher, tables, version check.
// Each byte becomes one character, as a single-byte code page would give it; "@@", "|"
// and the hexadecimal digits are all single bytes.
//
// An input that begins with "!" is a plain body instead: its odd elements are enciphered
// before the parse, so that the lists behind the cipher get explored too.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/crypto/text_cipher.h"
#include "core/definitions/load_definitions.h"
#include "core/definitions/split_pieces.h"
#include "core/definitions/version.h"
#include "fuzz/fuzz_require.h"

using zc::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zc;
  SilentFailureReporter silent;
  Text body(size, u'\0');
  for (size_t i = 0; i < size; ++i) body[i] = data[i];
  if (!body.empty() && body[0] == u'!') {
    std::vector<Text> elements = SplitPieces(TextView(body).substr(1), u"@@");
    body.clear();
    for (size_t i = 0; i < elements.size(); ++i) {
      if (i > 0) body += u"@@";
      body += i % 2 == 1 ? EncryptText(elements[i], kTextKey, silent) : elements[i];
    }
  }

  const ConstantTexts texts(silent);
  DefinitionsSet set;
  const DefinitionsResult parsed = ParseDefinitions(body, texts, set);
  ReadLeadingNumber(body);
  if (!parsed.ok()) {
    Require(parsed.error == DefinitionsError::TooFewElements);
    Require(set.DefinitionsElements.size() < 14 && parsed.element < 14);
    return 0;
  }
  Require(set.DefinitionsElements.size() >= 14);
  // Each list is its element's deciphered text, every piece kept.
  const Text services = texts.Get(set.DefinitionsElements[11]);
  Require(SplitPieces(services, u"|") == set.ServiceNameList);

  IsNewerVersionPublished(set, texts);
  const DefinitionsResult tables = FillPatternTables(set);
  const std::vector<Text>* lists[] = {&set.InputTunnelPatterns, &set.OutputTunnelPatterns};
  const PatternTable* filled[] = {&set.InputTunnelTable, &set.OutputTunnelTable};
  for (size_t t = 0; t < 2; ++t) {
    const size_t count = PatternEntryCount(*lists[t]);
    Require(count <= kPatternTableSlots);
    if (!tables.ok()) continue;
    for (size_t k = 0; k < count; ++k) Require((*filled[t])[k] == (*lists[t])[k + 1]);
  }
  return 0;
}
