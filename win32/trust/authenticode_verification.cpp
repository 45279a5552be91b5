#include "win32/trust/authenticode_verification.h"

#include <softpub.h>

#include "win32/base/ansi.h"

namespace zc::win {
namespace {

// Answers that only say the revocation lists were out of reach (no network, nothing in
// the cache): the signature is then taken on its chain alone.
bool RevocationUnreachable(LONG status) {
  return status == static_cast<LONG>(CERT_E_REVOCATION_FAILURE) ||
         status == static_cast<LONG>(CRYPT_E_REVOCATION_OFFLINE) ||
         status == static_cast<LONG>(CRYPT_E_NO_REVOCATION_CHECK);
}

bool ChainsToMicrosoftRoot(PCCERT_CHAIN_CONTEXT chain) {
  CERT_CHAIN_POLICY_PARA policy{};
  policy.cbSize = sizeof(policy);
  // Microsoft's application root signs its programs beside Windows; both are Microsoft's.
  policy.dwFlags = MICROSOFT_ROOT_CERT_CHAIN_POLICY_CHECK_APPLICATION_ROOT_FLAG;
  CERT_CHAIN_POLICY_STATUS status{};
  status.cbSize = sizeof(status);
  return ::CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_MICROSOFT_ROOT, chain, &policy, &status) &&
         status.dwError == 0;
}

Text DisplayName(PCCERT_CONTEXT certificate) {
  const DWORD size = ::CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, nullptr, 0);
  if (size <= 1) return {};
  std::wstring name(size, L'\0');
  const DWORD written = ::CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name.data(), size);
  if (written <= 1) return {};
  name.resize(written - 1);  // the count includes the closing NUL
  return FromWide(name);
}

// Who signed, from the state of a verification that succeeded.
void ReadSigner(HANDLE state, SignatureCheck& check) {
  // The machine trusts the signature; without a chain to look at, it is not known to be
  // Microsoft's, and it is still a trusted publisher's.
  check.signer = FileSigner::Other;
  CRYPT_PROVIDER_DATA* provider = ::WTHelperProvDataFromStateData(state);
  if (provider == nullptr) return;
  CRYPT_PROVIDER_SGNR* signer = ::WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0);
  if (signer == nullptr) return;
  if (signer->pChainContext != nullptr && ChainsToMicrosoftRoot(signer->pChainContext)) {
    check.signer = FileSigner::Microsoft;
  }
  CRYPT_PROVIDER_CERT* certificate = ::WTHelperGetProvCertFromChain(signer, 0);
  if (certificate != nullptr && certificate->pCert != nullptr) check.publisher = DisplayName(certificate->pCert);
}

// The subject's open file, read from its start by each verification.
void RewindSubject(const WINTRUST_DATA& data) {
  HANDLE file = nullptr;
  if (data.dwUnionChoice == WTD_CHOICE_FILE && data.pFile != nullptr) file = data.pFile->hFile;
  if (data.dwUnionChoice == WTD_CHOICE_CATALOG && data.pCatalog != nullptr) file = data.pCatalog->hMemberFile;
  if (file == nullptr || file == INVALID_HANDLE_VALUE) return;
  LARGE_INTEGER start{};
  ::SetFilePointerEx(file, start, nullptr, FILE_BEGIN);
}

SignatureCheck VerifyOnce(WINTRUST_DATA& data, bool checkRevocation) {
  RewindSubject(data);
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  data.cbStruct = sizeof(WINTRUST_DATA);
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = checkRevocation ? WTD_REVOKE_WHOLECHAIN : WTD_REVOKE_NONE;
  data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL |
                     (checkRevocation ? WTD_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT : WTD_REVOCATION_CHECK_NONE);
  data.dwStateAction = WTD_STATEACTION_VERIFY;
  data.hWVTStateData = nullptr;
  // No window may be shown: the invalid handle value asks for none.
  const HWND noWindow = static_cast<HWND>(INVALID_HANDLE_VALUE);

  SignatureCheck check;
  check.status = ::WinVerifyTrust(noWindow, &action, &data);
  if (check.status == ERROR_SUCCESS) ReadSigner(data.hWVTStateData, check);
  // The state is kept by a verify that fails too: it is closed either way.
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  ::WinVerifyTrust(noWindow, &action, &data);
  data.hWVTStateData = nullptr;
  return check;
}

}  // namespace

SignatureCheck VerifyAuthenticode(WINTRUST_DATA& data) {
  SignatureCheck check = VerifyOnce(data, true);
  if (RevocationUnreachable(check.status)) check = VerifyOnce(data, false);
  return check;
}

SignatureCheck VerifyEmbeddedSignature(HANDLE file, const std::wstring& path) {
  WINTRUST_FILE_INFO subject{};
  subject.cbStruct = sizeof(subject);
  subject.pcwszFilePath = path.c_str();
  subject.hFile = file;
  WINTRUST_DATA data{};
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &subject;
  return VerifyAuthenticode(data);
}

bool LacksEmbeddedSignature(LONG status) {
  return status == static_cast<LONG>(TRUST_E_NOSIGNATURE) ||
         status == static_cast<LONG>(TRUST_E_SUBJECT_FORM_UNKNOWN) ||
         status == static_cast<LONG>(TRUST_E_PROVIDER_UNKNOWN);
}

}  // namespace zc::win
