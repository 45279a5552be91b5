#pragma once
// What the main window asks of the definitions set and of the checks, as narrow as its
// handlers need it. The program's composition joins them to the real parts.

#include <cstdint>

#include "core/base/text.h"

namespace zc {

enum class DefinitionsLoadFailure {
  None,
  Network,      // the request could not be opened or sent
  Definitions,  // the body is not a usable definitions set
};

struct DefinitionsLoadResult {
  DefinitionsLoadFailure failure = DefinitionsLoadFailure::None;
  Text detail;  // what failed, in the platform's or the parser's words
};

class DefinitionsPort {
 public:
  virtual ~DefinitionsPort() = default;
  // Downloads and parses the set, homepage address included.
  virtual DefinitionsLoadResult Load() = 0;
  // True when the published version is strictly greater than the program's own.
  virtual bool IsNewerVersionPublished() = 0;
  virtual Text HomepageUrl() = 0;
  // Start-up went through with the set: it becomes the oldest this machine accepts.
  virtual void RememberAccepted() = 0;
  // Fills the two 100-entry pattern tables; false when a list holds more than 100.
  virtual bool FillPatternTables() = 0;
};

class ChecksPort {
 public:
  virtual ~ChecksPort() = default;
  // Empties the lists of already reported items of the three checks.
  virtual void ClearReportedItems() = 0;
  // One tick of each of the three checks, as the timers would run them.
  virtual void RunChecksOnce() = 0;
  virtual void TreatFindings() = 0;
  // How many listed Findings a treatment with this copy's rights would leave for an
  // administrator (see own_account_scope.h); 0 when it runs with administrator rights.
  virtual int32_t FindingsNeedingAdministrator() = 0;
};

}  // namespace zc
