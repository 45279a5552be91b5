#include "core/scan/silent_scan.h"

#include "core/definitions/version.h"

namespace zc {

SilentScan::SilentScan(const ConstantTexts& texts, const PlatformParts& platform, FileHashApi& hashes,
                       std::function<void(float)> pause, const DefinitionsSigner& signer, Text definitionsAddress)
    : texts_(texts),
      elevation_(platform.elevation),
      treatmentLock_(platform.treatmentLock),
      clock_(platform.clock),
      hashes_(hashes),
      view_(std::move(pause)),
      suite_(texts, platform, rows_, view_, signer, std::move(definitionsAddress)) {
  suite_.treatment().SetOpensBackupFolder(false);
}

ScanRun SilentScan::Stop(ScanRun run, ScanExitCode code, Text message) {
  run.exitCode = code;
  run.report.exitCode = static_cast<int>(code);
  run.lines.push_back(message);
  run.report.message = std::move(message);
  return run;
}

ScanRun SilentScan::Run(const ScanRequest& request) {
  ScanRun run;
  run.report.programVersion = texts_.Get(enc::VersionText);
  run.report.time = clock_.UnixSeconds();
  run.report.treat = request.treat;

  // A treatment changes services, machine-wide values and files: only with an
  // administrator's token (or as LocalSystem), and one treatment at a time.
  if (request.treat && !elevation_.IsElevated())
    return Stop(std::move(run), ScanExitCode::NotElevated, texts_.Get(enc::ScanNotElevated));
  std::optional<HeldTreatmentLock> lock;
  if (request.treat) {
    lock.emplace(treatmentLock_);
    if (!lock->Held())
      return Stop(std::move(run), ScanExitCode::AnotherCopyTreating, texts_.Get(enc::ScanAnotherCopyTreating));
  }

  LoadedDefinitions& definitions = suite_.loadedDefinitions();
  const DefinitionsLoadResult loaded = definitions.Load();
  if (loaded.failure != DefinitionsLoadFailure::None)
    return Stop(std::move(run), ScanExitCode::DefinitionsUnavailable,
                texts_.Get(enc::ScanDefinitionsUnavailable) + loaded.detail);
  run.report.definitionsVersion = LatestVersion(suite_.definitions(), texts_);
  if (definitions.Freshness()) run.report.definitionsSerial = definitions.Freshness()->serial;
  if (definitions.IsNewerVersionPublished())
    return Stop(std::move(run), ScanExitCode::NewerVersionRequired, texts_.Get(enc::ScanNewerVersion));
  if (!definitions.FillPatternTables())
    return Stop(std::move(run), ScanExitCode::DefinitionsUnavailable,
                texts_.Get(enc::ScanDefinitionsUnavailable) + texts_.Get(enc::PatternListTooLong));

  // Only a treating run ends what a kill pattern matches.
  suite_.connectionScan().SetEndsKillMatches(request.treat);
  suite_.ChooseUserHives();
  run.report.userHives = suite_.UserHivesRead().sids;
  run.report.currentUserHive = suite_.UserHivesRead().current;
  run.report.profilesNotLoaded = suite_.UserHivesRead().notLoaded;
  suite_.RunChecksOnce();
  for (const KillMatch& match : suite_.connectionScan().LastKillMatches())
    run.report.killMatches.push_back({match.processId, match.name, match.ended});

  TreatmentPass& pass = suite_.treatment();
  const int32_t found = rows_.RowCount();
  for (int32_t row = 0; row < found; ++row) {
    const Finding finding = pass.ReadRow(row);
    run.report.findings.push_back(Report(finding, pass.Preview(finding)));
  }

  ScanTally tally;
  tally.found = found;
  if (request.treat && found > 0) {
    suite_.TreatFindings();
    tally.treated = true;
    const std::vector<TreatedFinding>& treated = pass.LastPass();
    for (size_t i = 0; i < run.report.findings.size(); ++i) {
      ReportedFinding& reported = run.report.findings[i];
      if (i < treated.size()) {
        TakeOutcome(reported, treated[i]);
      } else {
        // The pass stopped before it reached this Finding.
        reported.outcome = FindingOutcome::Incomplete;
        reported.failures.push_back(texts_.Get(enc::ScanProgramEnded));
      }
      if (reported.outcome == FindingOutcome::Incomplete) ++tally.incomplete;
      if (reported.outcome == FindingOutcome::WaitsForRestart) ++tally.waitForRestart;
    }
  }
  // The run went through with the set: it becomes the oldest this machine accepts.
  definitions.RememberAccepted();

  run.exitCode = ExitCodeOf(tally);
  run.report.exitCode = static_cast<int>(run.exitCode);
  AddLines(run);
  if (view_.Ended()) run.lines.push_back(texts_.Get(enc::ScanProgramEnded));
  return run;
}

ReportedFinding SilentScan::Report(const Finding& finding, const TreatmentPlan& plan) {
  ReportedFinding reported;
  reported.finding = finding;
  reported.fileFinding = plan.fileFinding;
  reported.kept = plan.kept;
  for (const PlannedFile& file : plan.files) {
    const std::optional<FileDigest> digest = hashes_.Digest(file.path);
    reported.files.push_back({file.path, digest ? digest->sha256 : Text()});
  }
  return reported;
}

void SilentScan::TakeOutcome(ReportedFinding& reported, const TreatedFinding& treated) {
  // The pass planned again just before it acted: its plan says what was taken and kept.
  std::vector<ReportedFile> files;
  for (const PlannedFile& file : treated.plan.files) {
    Text sha256;
    for (const ReportedFile& seen : reported.files) {
      if (seen.path == file.path) sha256 = seen.sha256;
    }
    files.push_back({file.path, sha256});
  }
  reported.files = std::move(files);
  reported.fileFinding = treated.plan.fileFinding;
  reported.kept = treated.plan.kept;
  reported.failures = treated.failures;
  reported.backupFolder = treated.backupFolder;
  if (treated.done) {
    reported.outcome = FindingOutcome::Treated;
  } else if (treated.waitsForRestart) {
    reported.outcome = FindingOutcome::WaitsForRestart;
  } else {
    reported.outcome = FindingOutcome::Incomplete;
  }
}

void SilentScan::AddLines(ScanRun& run) const {
  for (const ReportedFinding& reported : run.report.findings) {
    const Finding& f = reported.finding;
    run.lines.push_back(FromUtf8(OutcomeWord(reported.outcome)) + u"\t" + FromUtf8(KindWord(f.kind)) + u"\t" + f.name +
                        u"\t" + f.processId + u"\t" + f.path);
    for (const Text& failure : reported.failures) run.lines.push_back(u"\t" + failure);
  }
}

}  // namespace zc
