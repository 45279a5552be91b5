#include "core/texts/constant_texts.h"

#include "core/crypto/text_cipher.h"

namespace zc {

Text ConstantTexts::Get(TextView enciphered) const {
  return DecryptText(enciphered, kTextKey, reporter_);
}

}  // namespace zc
