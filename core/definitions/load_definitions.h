#pragma once
// Downloading and parsing the definitions set (start-up steps 7 and 10). Nothing here
// recovers: every error value ends start-up. An element that does not decipher is not
// an error; its list or text is simply empty.

#include <cstddef>

#include "core/base/text.h"
#include "core/definitions/definitions_set.h"
#include "core/definitions/definitions_signer.h"
#include "core/platform/http_api.h"
#include "core/texts/constant_texts.h"

namespace zc {

enum class DefinitionsError {
  None,
  RequestNotSent,           // the GET could not be opened or sent
  BodyTooLong,              // the answer was longer than the client takes; none of it was read
  TooFewElements,           // the body lacks an element the program reads
  InputTunnelListTooLong,   // element 1 holds more entries than its table has slots
  OutputTunnelListTooLong,  // element 3 likewise
  SignatureNotFetched,      // the signature's request could not be sent
  SignatureMissing,         // the server has no signature (count: its HTTP status)
  SignatureMalformed,       // the signature file is not 128 hexadecimal digits
  SignatureWrong,           // not the publisher's signature of the bytes received
  SignatureKeyUnusable,     // the program's own key is not a usable public key
  SetNotServed,             // the server answered with another status than 200 (count: it)
};

struct DefinitionsResult {
  DefinitionsError error = DefinitionsError::None;
  size_t element = 0;  // TooFewElements: the first element missing; ...TooLong: 1 or 3
  size_t count = 0;    // TooFewElements: elements the body has; ...TooLong: its entries
  Text detail;         // RequestNotSent, BodyTooLong: what the platform said; Signature...:
                       // the signature's address and what is wrong with it

  bool ok() const { return error == DefinitionsError::None; }
};

// Splits `body` at "@@" into set.DefinitionsElements, then deciphers elements 1, 3, 9,
// 11 and 13 in this order, splitting each at "|", then element 7 into HomepageUrl.
// Stops with TooFewElements at the first of these the body does not have; the elements
// deciphered before it stay in `set`.
DefinitionsResult ParseDefinitions(TextView body, const ConstantTexts& texts, DefinitionsSet& set);

// Fills the two 100-slot pattern tables from the lists of elements 1 and 3 (in that
// order). A list with more than 100 entries leaves its table empty and gives
// InputTunnelListTooLong or OutputTunnelListTooLong.
DefinitionsResult FillPatternTables(DefinitionsSet& set);

// Start-up step 7: one GET to `address` (empty: the enciphered built-in definitions
// address), then ParseDefinitions
// on the body of an answer with status 200 (any other answer is SetNotServed: an error
// page is never read as a set). When `signer` signs sets,
// the body's bytes must first pass its signature check (definitions_signature.h); a set
// that does not pass leaves `set` untouched.
DefinitionsResult LoadDefinitions(HttpApi& http, const ConstantTexts& texts, DefinitionsSet& set,
                                  const DefinitionsSigner& signer, TextView address = {});

// One line in plain words for error reports and the maker's tool; empty for None.
Text DescribeDefinitionsResult(const DefinitionsResult& result);

}  // namespace zc
