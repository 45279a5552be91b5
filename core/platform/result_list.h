#pragma once
// The report list of the main window: one row of seven text cells per Finding, in
// insertion order. The list keeps each row's texts whole; the core never assumes more
// than these operations give.

#include <array>
#include <cstdint>

#include "core/base/text.h"

namespace zc {

enum Column : int32_t {
  kColumnName = 0,
  kColumnProcessId = 1,
  kColumnPath = 2,
  kColumnDetail = 3,
  kColumnKind = 4,
  kColumnEntryName = 5,
  kColumnFlag = 6,
};
inline constexpr int32_t kColumnCount = 7;

// The main window's seven-cell buffer that a check fills before appending.
using RowBuffer = std::array<Text, kColumnCount>;

// The Kind cell's texts; the treatment pass dispatches on them.
inline constexpr char16_t kKindOutputTunnel[] = u"outPut Tun";
inline constexpr char16_t kKindInputTunnel[] = u"inPut Tun";
inline constexpr char16_t kKindServiceHide[] = u"service Hide";
inline constexpr char16_t kKindRegistryInfection[] = u"reg Infection";

class ResultList {
 public:
  virtual ~ResultList() = default;

  // Appends the buffer as the last row, then empties cells 1 to 6 of the buffer (cell 0
  // keeps its text).
  virtual void AddRow(RowBuffer& buffer, int32_t image) = 0;

  virtual int32_t RowCount() = 0;

  // The cell's whole text as the check wrote it (or as SetCellText last set it); empty
  // for a row or column that does not exist.
  virtual Text GetCellText(int32_t row, int32_t column) = 0;

  // Replaces one cell's text; a row or column that does not exist is ignored.
  virtual void SetCellText(int32_t row, int32_t column, TextView text) = 0;
  // Removes a row; a row that does not exist is ignored.
  virtual void DeleteRow(int32_t row) = 0;
};

}  // namespace zc
