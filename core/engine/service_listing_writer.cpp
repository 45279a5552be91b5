#include "core/engine/service_listing_writer.h"

#include <unordered_map>

namespace zc {
namespace {

constexpr TextView kLineEnd = u"\r\n";
constexpr TextView kSnapshotIdleName = u"[System Process]";
constexpr TextView kListedIdleName = u"System Idle Process";
constexpr size_t kNameWidth = 25;
constexpr size_t kIdWidth = 8;
constexpr size_t kServicesWidth = 44;
constexpr size_t kServicesColumn = kNameWidth + 1 + kIdWidth + 1;

// The services joined by ", ", broken into lines of at most 44 characters where
// another name does not fit; a line ends with the comma of its last name.
std::vector<Text> ServiceLines(const std::vector<TextView>& names) {
  std::vector<Text> lines(1);
  for (size_t i = 0; i < names.size(); ++i) {
    Text item(names[i]);
    if (i + 1 < names.size()) item += u',';
    Text& line = lines.back();
    if (line.empty()) {
      line = item;
    } else if (line.size() + 1 + item.size() <= kServicesWidth) {
      line += u' ';
      line += item;
    } else {
      lines.push_back(item);
    }
  }
  return lines;
}

}  // namespace

Text WriteServiceListing(const std::vector<ProcessEntry>& processes, const std::vector<RunningService>& services,
                         const ServiceListingTexts& texts) {
  std::unordered_map<uint32_t, std::vector<TextView>> hosted;
  for (const RunningService& service : services) hosted[service.processId].push_back(service.name);

  Text listing;
  listing.reserve(80 * (processes.size() + 3));
  listing += kLineEnd;
  listing += texts.columns;
  listing += kLineEnd;
  listing += texts.rule;
  listing += kLineEnd;
  for (const ProcessEntry& process : processes) {
    TextView name = process.name == kSnapshotIdleName ? kListedIdleName : TextView(process.name);
    name = name.substr(0, kNameWidth);
    listing += name;
    listing.append(kNameWidth - name.size() + 1, u' ');
    const Text id = DecimalText(process.id);
    if (id.size() < kIdWidth) listing.append(kIdWidth - id.size(), u' ');
    listing += id;
    listing += u' ';

    const auto found = hosted.find(process.id);
    if (found == hosted.end()) {
      listing += texts.noService;
      listing += kLineEnd;
      continue;
    }
    const std::vector<Text> lines = ServiceLines(found->second);
    for (size_t i = 0; i < lines.size(); ++i) {
      if (i != 0) listing.append(kServicesColumn, u' ');
      listing += lines[i];
      listing += kLineEnd;
    }
  }
  return listing;
}

}  // namespace zc
