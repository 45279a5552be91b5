#pragma once
// The main window's definitions set behind the narrow port its start-up uses: one
// download and parse, the version rule, the homepage and the pattern tables.

#include "core/app/form1_ports.h"
#include "core/definitions/definitions_set.h"
#include "core/definitions/definitions_signer.h"
#include "core/platform/http_api.h"
#include "core/texts/constant_texts.h"

namespace zc {

class LoadedDefinitions : public DefinitionsPort {
 public:
  LoadedDefinitions(const ConstantTexts& texts, HttpApi& http, DefinitionsSet& set,
                    const DefinitionsSigner& signer = {})
      : texts_(texts), http_(http), set_(set), signer_(signer) {}

  DefinitionsLoadResult Load() override;
  bool IsNewerVersionPublished() override;
  Text HomepageUrl() override { return set_.HomepageUrl; }
  bool FillPatternTables() override;

 private:
  const ConstantTexts& texts_;
  HttpApi& http_;
  DefinitionsSet& set_;
  DefinitionsSigner signer_;
};

}  // namespace zc
