#include "core/app/own_error_log.h"

#include "core/platform/event_ids.h"

namespace zc {

Text OwnErrorLog::FolderUnder(TextView localAppData) {
  if (localAppData.empty()) return {};
  Text folder(localAppData);
  if (folder.back() != u'\\') folder += u'\\';
  folder += kOwnLogFolderName;
  return folder;
}

void OwnErrorLog::Write(TextView line) {
  if (!p_.elevation.IsElevated()) {
    const Text folder = FolderUnder(p_.folders.LocalAppDataFolder());
    if (!folder.empty() && p_.folders.MakeFolder(folder) == SystemError::None) {
      p_.log.Log_Trans(line, folder + u"\\");
      return;
    }
  }
  p_.events.Report(events::kProgramError, line);
}

void OwnErrorLog::Report(TextView label, TextView description) {
  Write(Text(label) + u": " + Text(description));
}

}  // namespace zc
