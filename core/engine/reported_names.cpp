#include "core/engine/reported_names.h"

namespace zc {

Text ReportedNames::Enclosed(TextView name) {
  Text enclosed;
  enclosed.reserve(name.size() + 2);
  enclosed.push_back(u'|');
  enclosed.append(name);
  enclosed.push_back(u'|');
  return enclosed;
}

bool ReportedNames::Contains(TextView name) const {
  return zc::Contains(folded_, FoldCase(Enclosed(name)));
}

void ReportedNames::Add(TextView name) {
  const Text enclosed = Enclosed(name);
  text_ += enclosed;
  folded_ += FoldCase(enclosed);
}

void ReportedNames::Clear() {
  text_.clear();
  folded_.clear();
}

}  // namespace zc
