#pragma once
// How a failed treatment step is told: one line for the activity log and the result
// list, "파일을 지우지 못했습니다: 다른 프로그램이 쓰고 있습니다 (32)" -- what failed,
// why in the user's words, and the system's error number.

#include "core/base/text.h"
#include "core/platform/system_error.h"
#include "core/texts/constant_texts.h"

namespace zc {

// The reason for `error` in Korean, without its number.
Text ReasonText(const ConstantTexts& texts, SystemError error);

// `step` (an enciphered constant), ": ", the reason and, for an error the platform
// reported, its number in parentheses.
Text FailedStepText(const ConstantTexts& texts, TextView step, SystemError error);

}  // namespace zc
