#pragma once
// The queue of file operations Windows carries out at the next start: the multiple-text
// value PendingFileRenameOperations under HKLM\SYSTEM\CurrentControlSet\Control\Session
// Manager, pairs of texts (source, target) where an empty target means "delete the
// source". Paths in it have the "\??\" form. Other installers keep their entries there
// too: a change takes out one pair and leaves every other text as it was.

#include "core/base/text.h"
#include "core/platform/raw_registry_api.h"
#include "core/texts/constant_texts.h"

namespace zc {

// The form the queue holds a path in: "C:\x" and "\\?\C:\x" as "\??\C:\x", a share
// ("\\server\share\x", "\\?\UNC\server\share\x") as "\??\UNC\server\share\x".
Text QueuedPathForm(TextView path);

enum class PendingCancel {
  Cancelled,    // the pair was taken out; the queue read back without it
  NotQueued,    // no pair names the path
  Changed,      // the path is queued to be renamed, or the queue changed while it was read
  Failed,       // the queue could not be read as a list, or not written back
};

// Takes the deletion of `queuedPath` (letter case ignored) out of the queue: read, read
// again just before the one write, read back.
PendingCancel CancelPendingDeletion(const ConstantTexts& texts, RawRegistryApi& registry, TextView queuedPath);

}  // namespace zc
