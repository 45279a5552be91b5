#pragma once
// The silent scan's report: the program and its definitions, when the run was, and for
// each Finding what it is, the files a treatment takes (with their SHA-256) or why none,
// and what was done. Written as JSON (UTF-8) for management tools to collect.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/base/text.h"
#include "core/engine/treatment_plan.h"

namespace zc {

enum class FindingOutcome {
  Found,            // listed; no treatment asked for
  Treated,          // every step done
  WaitsForRestart,  // done but for a file that goes at the next restart
  Incomplete,       // a step failed or something was kept: the row says why
};

struct ReportedFile {
  Text path;
  Text sha256;  // empty when the file could not be read
};

struct ReportedFinding {
  Finding finding;
  std::vector<ReportedFile> files;  // what a treatment takes
  FileFinding fileFinding = FileFinding::None;
  std::vector<KeptItem> kept;       // what a treatment leaves, and why
  FindingOutcome outcome = FindingOutcome::Found;
  std::vector<Text> failures;       // the failed steps, as the log names them
  Text backupFolder;
};

// A process a kill pattern matched in the connection listing.
struct ReportedKillMatch {
  uint32_t processId = 0;
  Text name;
  bool ended = false;
};

struct ScanReport {
  Text programVersion;
  Text definitionsVersion;  // the published version the set names
  std::optional<uint64_t> definitionsSerial;
  int64_t time = 0;  // Unix seconds, UTC
  bool treat = false;
  int exitCode = 0;
  Text message;  // why the run stopped early; empty otherwise
  std::vector<ReportedFinding> findings;
  std::vector<ReportedKillMatch> killMatches;
  // Whose autorun values were read: the running account's own hive, and other users'
  // hives by SID; the profiles whose hive was not loaded, so not read.
  bool currentUserHive = true;
  std::vector<Text> userHives;
  std::vector<Text> profilesNotLoaded;
};

// The report as UTF-8 JSON text, ending with a line feed.
std::string ScanReportJson(const ScanReport& report);

// The stable words the report uses.
const char* KindWord(TextView kindCell);
const char* KeptReasonWord(KeptReason reason);
const char* OutcomeWord(FindingOutcome outcome);
const char* FileFindingWord(FileFinding finding);

}  // namespace zc
