#pragma once
// Asks about one step of a record not known to be ours in a message box: Yes or No,
// No the default, and a box closed without an answer counts as No.

#include "core/restore/restore_runner.h"
#include "core/texts/constant_texts.h"

namespace zc::win {

class MessageBoxConfirmation : public StepConfirmation {
 public:
  explicit MessageBoxConfirmation(const ConstantTexts& texts) : texts_(texts) {}
  bool Confirm(TextView question) override;

 private:
  const ConstantTexts& texts_;
};

}  // namespace zc::win
