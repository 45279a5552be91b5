#pragma once
// Builds definitions wire texts for the tests: elements joined by "@@", the odd ones
// enciphered under the program's text key.

#include <string_view>
#include <vector>

#include "core/crypto/text_cipher.h"
#include "core/platform/activity_log.h"

namespace zc::testing_util {

inline Text Enciphered(std::string_view plainUtf8) {
  SilentFailureReporter silent;
  return EncryptText(FromUtf8(plainUtf8), kTextKey, silent);
}

inline Text JoinElements(const std::vector<Text>& elements) {
  Text body;
  for (size_t i = 0; i < elements.size(); ++i) {
    if (i > 0) body += u"@@";
    body += elements[i];
  }
  return body;
}

// Fourteen elements: the seven odd ones enciphered from the given plain texts, the even
// ones holding `filler`.
struct PlainDefinitions {
  std::string_view inputTunnel = "|:48121|:48122|";
  std::string_view outputTunnel = "|:48123|";
  std::string_view version = "2";
  std::string_view homepage = "http://127.0.0.1:8731/zombie/";
  std::string_view registryEntries = "ZcTestAutorun|ZcTestAutorun2";
  std::string_view serviceNames = "ZcTestSvc";
  std::string_view killPatterns = ":48129";
  std::string_view freshness = "";  // element 0, "SERIAL|EXPIRES"; empty: the filler
};

inline std::vector<Text> ElementsOf(const PlainDefinitions& plain, TextView filler = u"") {
  const std::string_view odd[] = {plain.inputTunnel,     plain.outputTunnel, plain.version,
                                  plain.homepage,        plain.registryEntries,
                                  plain.serviceNames,    plain.killPatterns};
  std::vector<Text> elements;
  for (const std::string_view text : odd) {
    elements.emplace_back(filler);
    elements.push_back(text.empty() ? Text() : Enciphered(text));
  }
  if (!plain.freshness.empty()) elements[0] = Enciphered(plain.freshness);
  return elements;
}

inline Text WireText(const PlainDefinitions& plain, TextView filler = u"") {
  return JoinElements(ElementsOf(plain, filler));
}

}  // namespace zc::testing_util
