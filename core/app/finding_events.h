#pragma once
// The result list as the checks fill it, with one event in the Windows event log for
// every Finding a check lists. The checks list a Finding once until their reported
// items are cleared (after a treatment), so a Finding that stays on the machine is
// reported once per run, not once per check tick.

#include "core/platform/event_log_api.h"
#include "core/platform/result_list.h"

namespace zc {

class FindingEvents : public ResultList {
 public:
  FindingEvents(ResultList& rows, EventLogApi& events) : rows_(rows), events_(events) {}

  // The event's text: kind, name, process id and path, one per line.
  static Text EventText(const RowBuffer& row);

  void AddRow(RowBuffer& buffer, int32_t image) override;
  int32_t RowCount() override { return rows_.RowCount(); }
  Text GetCellText(int32_t row, int32_t column) override { return rows_.GetCellText(row, column); }
  void SetCellText(int32_t row, int32_t column, TextView text) override { rows_.SetCellText(row, column, text); }
  void DeleteRow(int32_t row) override { rows_.DeleteRow(row); }

 private:
  ResultList& rows_;
  EventLogApi& events_;
};

}  // namespace zc
