#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

#include "core/crypto/text_cipher.h"
#include "core/definitions/load_definitions.h"
#include "core/definitions/version.h"

namespace zc {
namespace {

Text ReadSample() {
  std::ifstream file(ZC_SAMPLE_DEFINITIONS, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return FromUtf8(bytes.str());
}

// Start-up's steps on a body: parse, version check, tables.
void ParseBody(benchmark::State& state, const Text& body) {
  SilentFailureReporter silent;
  const ConstantTexts texts(silent);
  for (auto _ : state) {
    DefinitionsSet set;
    const bool ok = ParseDefinitions(body, texts, set).ok() && !IsNewerVersionPublished(set, texts) &&
                    FillPatternTables(set).ok();
    if (!ok) state.SkipWithError("the body does not parse");
    benchmark::DoNotOptimize(set);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * body.size()));
}

void BM_ParseSampleDefinitions(benchmark::State& state) {
  const Text body = ReadSample();
  if (body.empty()) {
    state.SkipWithError("no sample definitions: build the zc_sample_definitions target");
    return;
  }
  ParseBody(state, body);
}
BENCHMARK(BM_ParseSampleDefinitions);

// 100 entries in each pattern list and in each of the three other lists.
void BM_ParseFullDefinitions(benchmark::State& state) {
  SilentFailureReporter silent;
  auto list = [](const char16_t* prefix, bool barred) {
    Text text = barred ? u"|" : u"";
    for (int i = 0; i < 100; ++i) {
      if (!barred && i > 0) text += u"|";
      text += prefix + DecimalText(i);
      if (barred) text += u"|";
    }
    return text;
  };
  const Text plain[] = {list(u"10.0.0.1:4", true), list(u"10.0.0.2:5", true), u"1", u"http://127.0.0.1/",
                        list(u"ZcTestAutorun", false), list(u"ZcTestSvc", false), list(u"10.0.0.3:6", false)};
  Text body;
  for (const Text& element : plain) body += u"@@" + EncryptText(element, kTextKey, silent) + u"@@";
  ParseBody(state, body);
}
BENCHMARK(BM_ParseFullDefinitions);

}  // namespace
}  // namespace zc
