#pragma once
// The question a restore asks before it does anything: what it will do, one step a line
// (each as the step's own question would show it), and, for a record not known to be
// ours, the steps it will not take whatever the answer. A long list is cut after a
// number of lines with a line that counts the rest, so the question always fits a
// message box.

#include <vector>

#include "core/base/text.h"
#include "core/texts/constant_texts.h"

namespace zc {

// How many lines of each list the question shows.
inline constexpr size_t kOverviewListedSteps = 25;

// `ownStore`: the record is a standard user's own, whose refused steps need an
// administrator rather than a trusted record.
Text RestoreOverviewText(const ConstantTexts& texts, bool trusted, const std::vector<Text>& steps,
                         const std::vector<Text>& refused, bool ownStore = false);

}  // namespace zc
