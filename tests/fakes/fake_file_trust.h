#pragma once
// Which files the system protects and who signed which, in memory. As on Windows, the
// signer's name decides nothing: a file is Windows' own only when its signature chains
// to Microsoft's root (a bot may sign itself as "Microsoft Windows" under a root of its
// own, which reads as another publisher, or as no valid signature at all).

#include <map>

#include "core/platform/file_trust_api.h"
#include "core/base/text.h"

namespace zc::fakes {

class FakeFileTrust : public FileTrustApi {
 public:
  void Protect(TextView path) { files[FoldCase(path)].protectedBySystem = true; }
  void SignByMicrosoft(TextView path) { files[FoldCase(path)].signer = FileSigner::Microsoft; }
  void SignBy(TextView path, TextView publisher) {
    FileTrust& trust = files[FoldCase(path)];
    trust.signer = FileSigner::Other;
    trust.publisher = Text(publisher);
  }

  std::map<Text, FileTrust> files;  // folded path -> what the system says

  FileTrust Examine(TextView path) override {
    auto it = files.find(FoldCase(path));
    return it == files.end() ? FileTrust{} : it->second;
  }
};

}  // namespace zc::fakes
