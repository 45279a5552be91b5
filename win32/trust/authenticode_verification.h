#pragma once
// One Authenticode verification through WinVerifyTrust with the generic verify action:
// no user interface, revocation answered from the machine's cache only (nothing is
// fetched; an offline or unknown revocation answer is allowed, a revoked certificate is
// not), the verified state read and then closed. Who signed is decided from the
// verified chain: Microsoft when the chain ends at one of Microsoft's roots (its own
// product root or its application root, compared by key, never by a name), else
// another publisher the machine trusts.

#include <windows.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <string>

#include "core/platform/file_trust_api.h"

namespace zc::win {

struct SignatureCheck {
  LONG status = TRUST_E_NOSIGNATURE;  // WinVerifyTrust's answer
  FileSigner signer = FileSigner::None;
  Text publisher;  // the signer certificate's display name, when it verified
};

// Verifies `data`, whose subject (file or catalog member) the caller has filled in; the
// remaining fields are set here.
SignatureCheck VerifyAuthenticode(WINTRUST_DATA& data);

// The embedded signature of the open `file` (read from its start; `path` names it).
SignatureCheck VerifyEmbeddedSignature(HANDLE file, const std::wstring& path);

// Whether an answer says the file carries no embedded signature to check, so that a
// catalog of the system may still vouch for it.
bool LacksEmbeddedSignature(LONG status);

}  // namespace zc::win
