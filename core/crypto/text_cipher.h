#pragma once
// Enciphered text constants: the stored form is the hexadecimal text (uppercase, two
// digits a byte) of an envelope whose payload is the plain text in UTF-16LE, enciphered
// under the one-character text key.

#include "core/base/text.h"
#include "core/platform/activity_log.h"

namespace zc {

// The password of every enciphered text: one character, the same at every call site.
inline constexpr char16_t kTextKey[] = u"\uC880";  // 좀

// Deciphers a stored form with `key`. Empty key or empty text give the empty text
// without a report; a malformed stored form (odd digit count, a pair that is not
// hexadecimal) is reported under the label "PreFer" and gives the empty text.
Text DecryptText(TextView enciphered, TextView key, FailureReporter& reporter);

// The inverse: the stored form (uppercase hexadecimal) of `plain` under `key`. Empty
// when the envelope refuses the payload (an empty text).
Text EncryptText(TextView plain, TextView key, FailureReporter& reporter);

}  // namespace zc
