#include "core/scan/scan_report.h"

#include "core/engine/listing_rules.h"
#include "core/platform/result_list.h"
#include "core/scan/json_text.h"

namespace zc {
namespace {

// Writes one object member after another, commas between them.
class JsonObject {
 public:
  explicit JsonObject(std::string& out) : out_(out) { out_ += '{'; }
  ~JsonObject() { out_ += '}'; }
  JsonObject(const JsonObject&) = delete;
  JsonObject& operator=(const JsonObject&) = delete;

  std::string& Key(const char* key) {
    if (!first_) out_ += ',';
    first_ = false;
    out_ += '"';
    out_ += key;
    out_ += "\":";
    return out_;
  }
  void Text(const char* key, TextView value) { AppendJsonString(Key(key), value); }
  void Word(const char* key, const char* value) {
    Key(key);
    out_ += '"';
    out_ += value;
    out_ += '"';
  }
  void Number(const char* key, long long value) { Key(key) += std::to_string(value); }
  void Bool(const char* key, bool value) { Key(key) += value ? "true" : "false"; }
  void Null(const char* key) { Key(key) += "null"; }

 private:
  std::string& out_;
  bool first_ = true;
};

// Writes array elements, commas between them.
template <typename Items, typename WriteOne>
void Array(std::string& out, const Items& items, WriteOne writeOne) {
  out += '[';
  bool first = true;
  for (const auto& item : items) {
    if (!first) out += ',';
    first = false;
    writeOne(item);
  }
  out += ']';
}

void WriteFinding(std::string& out, const ReportedFinding& reported) {
  const Finding& f = reported.finding;
  JsonObject object(out);
  object.Word("kind", KindWord(f.kind));
  object.Text("kindText", f.kind);
  object.Text("name", f.name);
  if (const uint32_t id = ReadProcessId(f.processId)) {
    object.Number("processId", id);
  } else {
    object.Null("processId");
  }
  object.Text("path", f.path);
  object.Text("detail", f.detail);
  object.Text("entryName", f.entryName);
  Array(object.Key("files"), reported.files, [&out](const ReportedFile& file) {
    JsonObject o(out);
    o.Text("path", file.path);
    if (file.sha256.empty()) {
      o.Null("sha256");
    } else {
      o.Text("sha256", file.sha256);
    }
  });
  object.Word("fileFinding", FileFindingWord(reported.fileFinding));
  Array(object.Key("kept"), reported.kept, [&out](const KeptItem& item) {
    JsonObject o(out);
    o.Word("reason", KeptReasonWord(item.reason));
    o.Text("subject", item.subject);
    if (!item.publisher.empty()) o.Text("publisher", item.publisher);
  });
  object.Word("outcome", OutcomeWord(reported.outcome));
  Array(object.Key("failures"), reported.failures, [&out](const zc::Text& failure) { AppendJsonString(out, failure); });
  if (!reported.backupFolder.empty()) object.Text("backupFolder", reported.backupFolder);
}

}  // namespace

const char* KindWord(TextView kindCell) {
  if (kindCell == kKindRegistryInfection) return "autorun-value";
  if (kindCell == kKindServiceHide) return "hidden-service";
  if (kindCell == kKindOutputTunnel) return "outbound-connection";
  if (kindCell == kKindInputTunnel) return "inbound-connection";
  return "other";
}

const char* KeptReasonWord(KeptReason reason) {
  switch (reason) {
    case KeptReason::HostProgram: return "host-program";
    case KeptReason::PayloadUnknown: return "payload-not-identified";
    case KeptReason::WindowsFile: return "windows-file";
    case KeptReason::SignedFile: return "signed-by-other-publisher";
    case KeptReason::CriticalProcess: return "critical-process";
    case KeptReason::CriticalityUnknown: return "criticality-unknown";
    case KeptReason::CoreProcess: return "core-process";
    case KeptReason::SharedServiceHost: return "shared-service-host";
    case KeptReason::WindowsService: return "windows-service";
    case KeptReason::NoOwningService: return "no-owning-service";
    case KeptReason::UserMayNotDelete: return "user-may-not-delete";
    case KeptReason::UserVariablesUnknown: return "user-variables-unknown";
  }
  return "other";
}

const char* OutcomeWord(FindingOutcome outcome) {
  switch (outcome) {
    case FindingOutcome::Found: return "found";
    case FindingOutcome::Treated: return "treated";
    case FindingOutcome::WaitsForRestart: return "treated-restart-needed";
    case FindingOutcome::Incomplete: return "incomplete";
  }
  return "found";
}

const char* FileFindingWord(FileFinding finding) {
  switch (finding) {
    case FileFinding::File: return "file";
    case FileFinding::NotAFile: return "not-a-file";
    case FileFinding::NotFound: return "not-found";
    case FileFinding::None: return "none";
  }
  return "none";
}

std::string ScanReportJson(const ScanReport& report) {
  std::string out;
  {
    JsonObject root(out);
    {
      JsonObject program(root.Key("program"));
      program.Word("name", "ZombieCure");
      program.Text("version", report.programVersion);
    }
    {
      JsonObject definitions(root.Key("definitions"));
      definitions.Text("version", report.definitionsVersion);
      if (report.definitionsSerial) {
        definitions.Key("serial") += std::to_string(*report.definitionsSerial);
      } else {
        definitions.Null("serial");
      }
    }
    AppendJsonString(root.Key("time"), FromUtf8(UtcTimeText(report.time)));
    root.Bool("treat", report.treat);
    root.Number("exitCode", report.exitCode);
    if (!report.message.empty()) root.Text("message", report.message);
    Array(root.Key("findings"), report.findings, [&out](const ReportedFinding& f) { WriteFinding(out, f); });
    root.Bool("currentUserHive", report.currentUserHive);
    Array(root.Key("userHives"), report.userHives, [&out](const zc::Text& sid) { AppendJsonString(out, sid); });
    Array(root.Key("profilesNotLoaded"), report.profilesNotLoaded,
          [&out](const zc::Text& profile) { AppendJsonString(out, profile); });
    Array(root.Key("killMatches"), report.killMatches, [&out](const ReportedKillMatch& match) {
      JsonObject o(out);
      o.Number("processId", match.processId);
      o.Text("name", match.name);
      o.Bool("ended", match.ended);
    });
  }
  out += '\n';
  return out;
}

}  // namespace zc
