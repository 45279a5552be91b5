#include "core/restore/restore_overview.h"

#include <algorithm>

namespace zc {
namespace {

void AppendList(Text& text, const std::vector<Text>& lines, const ConstantTexts& texts) {
  const size_t shown = std::min(lines.size(), kOverviewListedSteps);
  for (size_t i = 0; i < shown; ++i) text += u"\r\n" + lines[i];
  if (shown < lines.size()) {
    text += u"\r\n" + texts.Get(enc::RestoreOverviewMore) + DecimalText(static_cast<long long>(lines.size() - shown));
  }
}

}  // namespace

Text RestoreOverviewText(const ConstantTexts& texts, bool trusted, const std::vector<Text>& steps,
                         const std::vector<Text>& refused, bool ownStore) {
  Text text = texts.Get(trusted ? enc::RestoreOverviewLead : enc::RestoreOverviewUntrustedLead);
  text += u"\r\n";
  AppendList(text, steps, texts);
  if (!refused.empty()) {
    text += u"\r\n\r\n" + texts.Get(ownStore ? enc::RestoreOverviewOwnStoreHead : enc::RestoreOverviewRefusedHead);
    AppendList(text, refused, texts);
  }
  return text;
}

}  // namespace zc
