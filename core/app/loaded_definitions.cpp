#include "core/app/loaded_definitions.h"

#include "core/definitions/load_definitions.h"
#include "core/definitions/version.h"

namespace zc {

DefinitionsLoadResult LoadedDefinitions::Load() {
  const DefinitionsResult result = LoadDefinitions(http_, texts_, set_, signer_);
  switch (result.error) {
    case DefinitionsError::None:
      return {};
    case DefinitionsError::RequestNotSent:
      return {DefinitionsLoadFailure::Network, DescribeDefinitionsResult(result)};
    default:
      return {DefinitionsLoadFailure::Definitions, DescribeDefinitionsResult(result)};
  }
}

bool LoadedDefinitions::IsNewerVersionPublished() { return zc::IsNewerVersionPublished(set_, texts_); }

bool LoadedDefinitions::FillPatternTables() { return zc::FillPatternTables(set_).ok(); }

}  // namespace zc
