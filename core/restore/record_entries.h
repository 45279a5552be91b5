#pragma once
// The treatment record's entries as lines, and back. Each line names its treatment by
// number, so the entries of several treatments in one folder stay apart.
//
//   begin            treatment time name kind format
//   process          treatment name id image
//   file             treatment path backup length sha256 attributes
//   pending-deletion treatment path [cancelled=1]             (path as queued: \??\C:\...)
//   registry-value   treatment root key value type data view [user]   (data in hexadecimal,
//                    view 64 or 32, user a SID)
//   service-start    treatment service start                  (start: a number or "none")
//   service-setting  treatment service setting ...            (one part of the service's
//                    settings, see ServiceSettingLine)
//   service-value    treatment service key value type data    (key: the private subkey)
//   service-group    treatment service group
//   service          treatment service display image service-type start-type
//                    error-control group dependency... account description running
//   restored         treatment time

#include <string>
#include <utility>
#include <variant>

#include "core/restore/record_line.h"
#include "core/restore/treatment_record.h"

namespace zc {

inline constexpr char kBeginAction[] = "begin";
inline constexpr char kRestoredAction[] = "restored";

// `format`: the record format the treatment's entries are written in (this program's,
// unless an earlier treatment is written again).
RecordLine BeginLine(int treatment, TextView time, TextView name, TextView kind, int format = kRecordFormat);
// The cancellation the restore notes once it has taken a queued deletion out again.
RecordLine PendingCancelledLine(int treatment, TextView queuedPath);
RecordLine RestoredLine(int treatment, TextView time);
RecordLine StepLine(int treatment, const TreatmentStep& step);

// A step from a line of one of the step actions. Nothing when the action is not a step;
// an error text (naming the missing or bad field) when the line is a step but unusable.
using StepParse = std::variant<std::monostate, TreatmentStep, std::string>;
StepParse StepFromLine(const RecordLine& line);

// A key path that reaches HKLM's 32-bit software branch through "WOW6432Node" (as the
// first format recorded it), as its logical path with the 32-bit view; any other path
// unchanged with the 64-bit view.
std::pair<Text, RegistryView> LogicalKeyAndView(int32_t root, TextView keyPath);

// True when a key path reaches HKLM's 32-bit software branch through WOW6432Node (a view
// given beside it would be given twice). Elsewhere the name is only a name.
bool NamesRedirectedBranch(int32_t root, TextView keyPath);

}  // namespace zc
