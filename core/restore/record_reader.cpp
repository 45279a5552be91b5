#include "core/restore/record_reader.h"

#include <charconv>
#include <map>

#include "core/restore/record_entries.h"
#include "core/restore/record_line.h"

namespace zc {
namespace {

// The treatment number of a line; 0 when missing or not a positive number.
int TreatmentNumber(const RecordLine& line) {
  const std::optional<Text> text = line.Get("treatment");
  if (!text) return 0;
  const std::string digits = ToUtf8(*text);
  int number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || number <= 0) return 0;
  return number;
}

bool IsKnownAction(const std::string& action) {
  if (action == kBeginAction || action == kRestoredAction) return true;
  return !std::holds_alternative<std::monostate>(StepFromLine(RecordLine{action, {}}));
}

}  // namespace

RecordReading ReadTreatmentRecord(std::string_view content) {
  RecordReading reading;
  std::map<int, size_t> byNumber;  // treatment number -> index in reading.treatments
  size_t lineNumber = 0;
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    const bool lastPiece = end == std::string_view::npos;
    if (lastPiece) end = content.size();
    const std::string_view text = content.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (text.empty() || text == "\r" || text.front() == '#') continue;

    RecordLine line;
    const LineParse parse = ParseRecordLine(text, line);
    if (parse == LineParse::Cut) continue;
    auto fault = [&](const std::string& what) {
      reading.faults.push_back("line " + std::to_string(lineNumber) + ": " + what);
    };
    if (parse == LineParse::Malformed) {
      fault("the entry cannot be read");
      continue;
    }
    if (!IsKnownAction(line.action)) continue;
    const int number = TreatmentNumber(line);
    if (number == 0) {
      fault("the " + line.action + " entry has no treatment number");
      continue;
    }
    const auto known = byNumber.find(number);
    if (line.action == kBeginAction) {
      if (known != byNumber.end()) {
        fault("treatment " + std::to_string(number) + " begins twice");
        continue;
      }
      TreatmentRecord treatment;
      treatment.number = number;
      treatment.time = line.Get("time").value_or(Text());
      treatment.name = line.Get("name").value_or(Text());
      treatment.kind = line.Get("kind").value_or(Text());
      if (const std::optional<Text> format = line.Get("format")) {
        const std::string digits = ToUtf8(*format);
        const auto [last, error] = std::from_chars(digits.data(), digits.data() + digits.size(), treatment.format);
        if (digits.empty() || error != std::errc() || last != digits.data() + digits.size() || treatment.format < 1) {
          fault("treatment " + std::to_string(number) + " names no readable format");
          continue;
        }
        // A later version's entries may mean more than this one can tell.
        if (treatment.format > kRecordFormat) {
          fault("treatment " + std::to_string(number) + " was written in a later format (" + digits + ")");
          continue;
        }
      }
      byNumber[number] = reading.treatments.size();
      reading.treatments.push_back(std::move(treatment));
      continue;
    }
    if (known == byNumber.end()) {
      fault("the " + line.action + " entry names treatment " + std::to_string(number) + ", which never began");
      continue;
    }
    TreatmentRecord& treatment = reading.treatments[known->second];
    if (line.action == kRestoredAction) {
      treatment.restored = true;
      treatment.restoredTime = line.Get("time").value_or(Text());
      continue;
    }
    StepParse step = StepFromLine(line);
    if (auto* problem = std::get_if<std::string>(&step)) {
      fault(*problem);
    } else if (auto* taken = std::get_if<TreatmentStep>(&step)) {
      treatment.steps.push_back(std::move(*taken));
    }
  }
  return reading;
}

}  // namespace zc
