#include "core/scan/scan_arguments.h"

namespace zc {
namespace {

enum class Switch { None, Scan, Treat, Report, Help };

char16_t Lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

bool SameWord(TextView argument, TextView word) {
  if (argument.size() != word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if (Lower(argument[i]) != word[i]) return false;
  }
  return true;
}

Switch SwitchOf(TextView argument) {
  if (argument.size() < 2 || (argument[0] != u'/' && argument[0] != u'-')) return Switch::None;
  const TextView word = argument.substr(1);
  if (SameWord(word, u"scan")) return Switch::Scan;
  if (SameWord(word, u"treat")) return Switch::Treat;
  if (SameWord(word, u"report")) return Switch::Report;
  if (SameWord(word, u"?") || SameWord(word, u"help")) return Switch::Help;
  return Switch::None;
}

ScanArguments Bad(const ConstantTexts& texts, TextView enciphered, TextView argument = {}) {
  ScanArguments result;
  result.kind = ScanArgumentsKind::Bad;
  result.problem = texts.Get(enciphered) + Text(argument);
  return result;
}

}  // namespace

bool AsksForSilentScan(const std::vector<Text>& arguments) {
  for (const Text& argument : arguments) {
    if (SwitchOf(argument) == Switch::Scan) return true;
  }
  return false;
}

ScanArguments ParseScanArguments(const std::vector<Text>& arguments, const ConstantTexts& texts) {
  ScanArguments result;
  bool scan = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const Text& argument = arguments[i];
    switch (SwitchOf(argument)) {
      case Switch::Help:
        result.kind = ScanArgumentsKind::Help;
        return result;
      case Switch::Scan:
        if (scan) return Bad(texts, enc::ScanRepeatedArgument, argument);
        scan = true;
        break;
      case Switch::Treat:
        if (result.request.treat) return Bad(texts, enc::ScanRepeatedArgument, argument);
        result.request.treat = true;
        break;
      case Switch::Report:
        if (result.request.reportPath) return Bad(texts, enc::ScanRepeatedArgument, argument);
        // The file name is the next argument; a switch there is no file name.
        if (i + 1 >= arguments.size() || arguments[i + 1].empty() || SwitchOf(arguments[i + 1]) != Switch::None)
          return Bad(texts, enc::ScanReportNeedsFile);
        result.request.reportPath = arguments[++i];
        break;
      case Switch::None:
        return Bad(texts, enc::ScanUnknownArgument, argument);
    }
  }
  if (!scan) {
    if (result.request.treat) return Bad(texts, enc::ScanNeedsScan, u"/treat");
    if (result.request.reportPath) return Bad(texts, enc::ScanNeedsScan, u"/report");
    return Bad(texts, enc::ScanNeedsScan, {});
  }
  result.kind = ScanArgumentsKind::Scan;
  return result;
}

std::vector<Text> ScanUsageLines(const ConstantTexts& texts) {
  return {texts.Get(enc::ScanUsage1), texts.Get(enc::ScanUsage2), texts.Get(enc::ScanUsage3),
          texts.Get(enc::ScanUsage4), texts.Get(enc::ScanUsage5)};
}

}  // namespace zc
