#pragma once
// A treatment recorder over fakes of its own, for tests of the pass and the program
// that do not look at the treatment record (its own tests are with the restore's).

#include "core/restore/treatment_recorder.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_file_hash.h"
#include "tests/fakes/fake_raw_registry.h"
#include "tests/fakes/fake_restore_files.h"
#include "tests/fakes/fake_security.h"
#include "tests/fakes/fake_service_manager.h"

namespace zc::fakes {

struct FakeRecording {
  explicit FakeRecording(const ConstantTexts& texts) : recorder({texts, files, hashes, registry, services, clock, security}) {}

  FakeRestoreFiles files;
  FakeFileHash hashes{files};
  FakeRawRegistry registry;
  FakeServiceManager services;
  FakeClock clock;
  FakeSecurity security{files};
  TreatmentRecorder recorder;
};

}  // namespace zc::fakes
