#pragma once
// The fakes that recording and restoring reach the machine through, joined up.

#include <deque>

#include "core/restore/restore_runner.h"
#include "tests/fakes/fake_event_log.h"
#include "core/restore/treatment_recorder.h"
#include "core/texts/constant_texts.h"
#include "tests/fakes/fake_activity_log.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_file_hash.h"
#include "tests/fakes/fake_raw_registry.h"
#include "tests/fakes/fake_restore_files.h"
#include "tests/fakes/fake_security.h"
#include "tests/fakes/fake_service_manager.h"

namespace zc::testing {

inline constexpr int32_t kCurrentUser = static_cast<int32_t>(0x80000001u);
inline constexpr int32_t kLocalMachine = static_cast<int32_t>(0x80000002u);

// Answers the restore's questions (the list of steps first, then each step of a record
// not known to be ours) and keeps them: the queued answers in turn, then `answer` (yes
// unless a test says otherwise: most restores here are the administrator's own choice).
struct FakeConfirmation : StepConfirmation {
  bool answer = true;
  std::deque<bool> answers;
  std::vector<Text> questions;
  bool Confirm(TextView question) override {
    questions.emplace_back(question);
    if (answers.empty()) return answer;
    const bool next = answers.front();
    answers.pop_front();
    return next;
  }
};

struct RestoreWorld {
  fakes::FakeFailureReporter reporter;
  ConstantTexts texts{reporter};
  fakes::FakeRestoreFiles files;
  fakes::FakeFileHash hashes{files};
  fakes::FakeRawRegistry registry;
  fakes::FakeServiceManager services;
  fakes::FakeClock clock;
  fakes::FakeActivityLog log;
  fakes::FakeSecurity security{files};
  FakeConfirmation confirm;
  fakes::FakeEventLog events;

  TreatmentRecorder recorder{{texts, files, hashes, registry, services, clock, security}};
  RestoreRunner runner{{texts, files, hashes, registry, services, clock, log, security, confirm, &events},
                      RestoreRunner::TreatmentLimits(texts)};

  Text T(TextView enciphered) const { return texts.Get(enciphered); }
  Text RunKey() const { return T(enc::InfectionKeyPath); }
  Text ServiceKey(TextView name) const { return T(enc::ServiceKeyPrefix) + Text(name); }
  Text RecordOf(TextView folder) const { return TreatmentRecorder::RecordPath(texts, folder); }
};

}  // namespace zc::testing
