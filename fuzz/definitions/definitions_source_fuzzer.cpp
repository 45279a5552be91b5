// Feeds arbitrary source files to zdefs' source reader; whatever it accepts must build a
// wire text that the program parses back into the same entries.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/definitions/load_definitions.h"
#include "core/definitions/version.h"
#include "tools/zdefs/definitions_source.h"
#include "fuzz/fuzz_require.h"

namespace {

using zc::fuzz::Require;

// The inner pieces of a barred pattern list.
std::vector<zc::Text> Inner(const std::vector<zc::Text>& pieces) {
  if (pieces.size() < 2) return {};
  return std::vector<zc::Text>(pieces.begin() + 1, pieces.end() - 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zc;
  const std::string_view source(reinterpret_cast<const char*>(data), size);
  zdefs::SourceError error;
  const auto parsed = zdefs::ParseDefinitionsSource(source, error);
  if (!parsed) {
    Require(!error.message.empty());
    return 0;
  }

  SilentFailureReporter silent;
  const ConstantTexts texts(silent);
  DefinitionsSet set;
  Require(ParseDefinitions(FromUtf8(zdefs::BuildWireText(*parsed)), texts, set).ok());
  Require(FillPatternTables(set).ok());
  Require(Inner(set.InputTunnelPatterns) == parsed->inputTunnel);
  Require(Inner(set.OutputTunnelPatterns) == parsed->outputTunnel);
  Require(set.RegistryEntryList == parsed->registryEntries);
  Require(set.ServiceNameList == parsed->serviceNames);
  Require(set.ConnectionKillPatterns == parsed->killPatterns);
  Require(set.HomepageUrl == parsed->homepage);
  Require(LatestVersion(set, texts) == parsed->version);
  return 0;
}
