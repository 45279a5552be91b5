#pragma once
// The check of a downloaded definitions set against its detached signature, which the
// publisher serves beside the set at the set's address + ".sig". It runs on the bytes
// exactly as they arrived, before anything of the set is deciphered or used.

#include <string_view>

#include "core/base/text.h"
#include "core/definitions/definitions_signer.h"
#include "core/definitions/load_definitions.h"
#include "core/platform/http_api.h"
#include "core/texts/constant_texts.h"

namespace zc {

// The address of the signature of the set at `setAddress`.
Text SignatureAddress(TextView setAddress);

// Fetches the signature and verifies `setBytes` with it under the signer's key. Gives
// one of the Signature... errors, or None when the publisher signed exactly these bytes.
DefinitionsResult CheckDefinitionsSignature(HttpApi& http, TextView setAddress, std::string_view setBytes,
                                            const DefinitionsSigner& signer, const ConstantTexts& texts);

}  // namespace zc
