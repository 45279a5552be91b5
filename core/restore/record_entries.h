#pragma once
// The treatment record's entries as lines, and back. Each line names its treatment by
// number, so the entries of several treatments in one folder stay apart.
//
//   begin           treatment time name kind
//   process         treatment name id image
//   file            treatment path backup length sha256 attributes
//   registry-value  treatment root key value type data      (data in hexadecimal)
//   service-start   treatment service start                  (start: a number or "none")
//   service         treatment service display image service-type start-type
//                   error-control group dependency... account description
//   restored        treatment time

#include <string>
#include <variant>

#include "core/restore/record_line.h"
#include "core/restore/treatment_record.h"

namespace zc {

inline constexpr char kBeginAction[] = "begin";
inline constexpr char kRestoredAction[] = "restored";

RecordLine BeginLine(int treatment, TextView time, TextView name, TextView kind);
RecordLine RestoredLine(int treatment, TextView time);
RecordLine StepLine(int treatment, const TreatmentStep& step);

// A step from a line of one of the step actions. Nothing when the action is not a step;
// an error text (naming the missing or bad field) when the line is a step but unusable.
using StepParse = std::variant<std::monostate, TreatmentStep, std::string>;
StepParse StepFromLine(const RecordLine& line);

}  // namespace zc
