#include "core/engine/finding_texts.h"

namespace zc {

Text NameFromValue(TextView value, TextView fallback) {
  const size_t cut = value.rfind(u'\\');
  if (cut == TextView::npos || cut + 1 == value.size()) return Text(fallback);
  return Text(value.substr(cut + 1));
}

}  // namespace zc
