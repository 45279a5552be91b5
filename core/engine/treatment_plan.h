#pragma once
// A Finding turned into a plan, as data: which processes to end, which service to
// change, which registry values to delete, which files to take, and for everything left
// alone the reason. The planner reads the machine; the pass then carries the plan out
// step by step, recording each step before it is taken, and changes nothing the plan
// does not name.

#include <cstdint>
#include <vector>

#include "core/base/text.h"
#include "core/platform/registry_api.h"

namespace zc {

// A row of the result list, as the checks wrote it.
struct Finding {
  Text name;
  Text processId;
  Text path;
  Text detail;
  Text kind;
  Text entryName;
  Text flag;  // the check's code at the start of the Flag cell (a registry Finding's view)
};

// How the pass goes about a Finding: the order of its steps, its status texts and waits.
enum class TreatmentFlow {
  Nothing,        // a row with nothing to treat (no name, another kind)
  Process,        // a process that hosts no service
  ServiceProcess, // a process that runs one service of its own (or names several)
  SharedHost,     // services inside the shared service host: the host stays
  HiddenService,  // a service the definitions name
  AutorunValue,   // an autorun value
};

// Why something the Finding points at was left as it is.
enum class KeptReason {
  HostProgram,         // a program that runs the bot's file: the file is taken, never the host
  PayloadUnknown,      // a host whose payload is a web address, inline script, none named or none loaded
  WindowsFile,         // a file the system protects, or signed under Microsoft's root
  SignedFile,          // signed by another publisher the machine trusts
  CriticalProcess,     // ending it would stop the system
  CriticalityUnknown,  // the system would not say whether ending it stops the system
  CoreProcess,         // one of the session's core processes
  SharedServiceHost,   // the shared service host: other services live in it
  WindowsService,      // a service whose binary is Windows' own, not named by the definitions
  NoOwningService,     // no service of the shared host could be told to own the connection
  UserMayNotDelete,    // a user's own value names it, and that user may not delete it
  UserVariablesUnknown,  // another user's value names it through that user's variables, which cannot be
                         // had here (no token of theirs): no file is taken, the value still goes
};

struct KeptItem {
  KeptReason reason;
  Text subject;    // the file's path, or the process id, or the service's name
  Text publisher;  // the signer, for SignedFile

  bool operator==(const KeptItem&) const = default;
};

struct PlannedProcess {
  uint32_t id = 0;
  Text name;
  Text image;  // its image path as the Finding gave it; empty when unknown

  bool operator==(const PlannedProcess&) const = default;
};

struct PlannedService {
  Text name;
  bool disable = false;  // Start set to disabled under its existing key
  bool stop = false;
  bool remove = false;
  Text hostGroup;  // the shared host's group whose list names the service; empty otherwise

  bool operator==(const PlannedService&) const = default;
};

struct PlannedValue {
  int32_t root = 0;
  RegistryView view = RegistryView::Native;
  Text keyPath;  // the logical key, the same in either view
  Text valueName;
  // For the user root: whose hive it is (recorded, so that a restore writes it back into
  // that hive and no other); empty when the running account's SID is not known.
  Text userSid;
  bool otherUser = false;  // that hive is not the running account's: reached under HKEY_USERS

  bool operator==(const PlannedValue&) const = default;
};

// What the file a Finding names turned out to be.
enum class FileFinding {
  File,      // an existing file, or a process's image (taken even when it has gone)
  NotAFile,  // a folder, or a path in a folder's form
  NotFound,  // a command line that names no existing file
  None,      // nothing to take: no path, or every file the Finding names is kept
};

struct PlannedFile {
  Text path;
  Text name;  // the name its backup copy and its log lines take

  bool operator==(const PlannedFile&) const = default;
};

struct TreatmentPlan {
  TreatmentFlow flow = TreatmentFlow::Nothing;
  Text name;  // the backup folder's and the log's name
  Text path;  // the path the log names
  Text kind;  // the Finding's kind, for the record
  std::vector<PlannedProcess> processes;  // each ended by id while it still runs its image
  // A Finding whose program is the bot itself: its other running copies are ended too.
  bool endCopiesOfImage = false;
  Text processId;             // the Finding's process id as listed
  bool staleProcess = false;  // the Finding's id no longer runs its image
  bool noImagePath = false;   // the process's image could not be read: no file step
  std::vector<PlannedService> services;
  std::vector<PlannedValue> values;
  FileFinding fileFinding = FileFinding::None;
  std::vector<PlannedFile> files;
  std::vector<KeptItem> kept;

  // True when the plan takes away what starts the bot again: a value, or a service
  // disabled or deleted.
  bool RemovesStartUp() const {
    if (!values.empty()) return true;
    for (const PlannedService& service : services) {
      if (service.disable || service.remove) return true;
    }
    return false;
  }
};

}  // namespace zc
