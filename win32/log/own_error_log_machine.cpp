#include "win32/log/own_error_log_machine.h"

#include "core/crypto/text_cipher.h"
#include "core/texts/enciphered.h"

namespace zc::win {

Text EventSourceNameSilently() {
  SilentFailureReporter silent;
  return DecryptText(enc::EventSourceName, kTextKey, silent);
}

}  // namespace zc::win
