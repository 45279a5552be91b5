#pragma once
// Whether one of the system's catalogs vouches for a file that carries no signature of
// its own (most of Windows' files): the file's hash is looked up in the system's
// catalog database, and the file is verified as a member of each catalog that lists
// it until one verifies. Windows 8 and later keep SHA-256 catalogs beside the SHA-1
// ones: their calls (CryptCATAdminAcquireContext2, CryptCATAdminCalcHashFromFileHandle2)
// are looked up at run time and tried first; a system without them is asked with the
// SHA-1 calls.

#include <windows.h>

#include <string>

#include "win32/trust/authenticode_verification.h"

namespace zc::win {

// `file` is open for reading (its position is moved); `path` names it. A check with
// TRUST_E_NOSIGNATURE when no catalog lists the file.
SignatureCheck VerifyThroughCatalogs(HANDLE file, const std::wstring& path);

// The member tag a catalog lists a file under: its hash in upper-case hexadecimal.
std::wstring CatalogMemberTag(const BYTE* hash, DWORD size);

}  // namespace zc::win
