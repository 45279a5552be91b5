#pragma once
// The real adapters that recording and restoring reach the machine through.

#include "core/restore/restore_runner.h"
#include "core/restore/treatment_recorder.h"
#include "win32/machine/win32_clock.h"
#include "win32/machine/win32_file_hash.h"
#include "win32/machine/win32_raw_registry.h"
#include "win32/machine/win32_restore_files.h"
#include "win32/machine/win32_security.h"
#include "win32/machine/win32_service_manager.h"

namespace zc::win {

struct RestoreMachine {
  Win32RestoreFiles files;
  Win32FileHash hashes;
  Win32RawRegistry registry;
  Win32ServiceManager services;
  Win32Clock clock;
  Win32Security security;

  // `store`: the machine's store unless told otherwise (store_for_this_copy.h).
  RestoreParts ForRestore(const ConstantTexts& texts, ActivityLog& log, StepConfirmation& confirm,
                          EventLogApi* events = nullptr, StoreLocation store = {}) {
    return {texts, files, hashes, registry, services, clock, log, security, confirm, events, std::move(store)};
  }
  RecorderParts ForRecording(const ConstantTexts& texts, StoreLocation store = {}) {
    return {texts, files, hashes, registry, services, clock, security, std::move(store)};
  }
};

}  // namespace zc::win
