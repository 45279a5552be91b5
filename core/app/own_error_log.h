#pragma once
// The program's own error log: what the program leaves alone or cannot do outside a
// treatment (a homepage address that is not opened, a text constant that cannot be
// deciphered). A treatment's lines go to its backup folder, not here.
//
//   - an unelevated copy writes into "<local application data>\ZombieCure\", which it can
//     write (the program's folder under Program Files it cannot), made when missing;
//   - an elevated copy never writes into a folder of the account's profile, which the
//     user at the keyboard may have redirected elsewhere: its lines go to the event log;
//   - when the folder cannot be made, the line goes to the event log too.

#include "core/platform/activity_log.h"
#include "core/platform/elevation_api.h"
#include "core/platform/event_log_api.h"
#include "core/platform/own_log_folder_api.h"

namespace zc {

inline constexpr char16_t kOwnLogFolderName[] = u"ZombieCure";

struct OwnErrorLogParts {
  ElevationApi& elevation;
  ActivityLog& log;
  EventLogApi& events;
  OwnLogFolderApi& folders;
};

// Also the cipher's failure reporter: each report is one line "<label>: <description>".
class OwnErrorLog final : public FailureReporter {
 public:
  explicit OwnErrorLog(const OwnErrorLogParts& parts) : p_(parts) {}

  void Write(TextView line);
  void Report(TextView label, TextView description) override;

  // The folder an unelevated copy writes into, ending with a separator; empty when
  // there is none (the local application data folder is unknown).
  static Text FolderUnder(TextView localAppData);

 private:
  OwnErrorLogParts p_;
};

}  // namespace zc
