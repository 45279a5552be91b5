#pragma once
// The names a check has already reported, kept as one text "|a||b|..." in the order
// reported. A name counts as reported when "|" + name + "|" occurs in that text,
// ignoring letter case.

#include "core/base/text.h"

namespace zc {

class ReportedNames {
 public:
  bool Contains(TextView name) const;
  void Add(TextView name);
  void Clear();

  const Text& text() const { return text_; }

 private:
  static Text Enclosed(TextView name);

  Text text_;
  Text folded_;  // text_ with its letter case folded, searched by Contains
};

}  // namespace zc
