#include "core/app/finding_events.h"

#include "core/platform/event_ids.h"

namespace zc {

Text FindingEvents::EventText(const RowBuffer& row) {
  Text text = row[kColumnKind];
  for (const Column column : {kColumnName, kColumnProcessId, kColumnPath}) {
    text += u"\r\n";
    text += row[column];
  }
  return text;
}

void FindingEvents::AddRow(RowBuffer& buffer, int32_t image) {
  // The list empties the buffer's cells: the text is taken first. An event the log
  // refuses does not keep the Finding off the list.
  const Text text = EventText(buffer);
  rows_.AddRow(buffer, image);
  events_.Report(events::kFindingReported, text);
}

}  // namespace zc
