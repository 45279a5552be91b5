#pragma once
// The definitions set the program downloads once at start-up and keeps until it ends:
// what the checks look for, the newest published version and the homepage address.
//
// The wire text is split at "@@" into elements numbered from 0. The odd elements 1 to 13
// are enciphered texts; the program reads these:
//
//   1  InputTunnelPatterns     "|" list, also copied into InputTunnelTable
//   3  OutputTunnelPatterns    "|" list, also copied into OutputTunnelTable
//   5  latest version          a number as text, deciphered only when it is read
//   7  HomepageUrl             a web address
//   9  RegistryEntryList       "|" list of registry value names
//   11 ServiceNameList         "|" list of service names
//   13 ConnectionKillPatterns  "|" list of connection patterns ended at once
//
// Every other element is carried in DefinitionsElements and never read.

#include <array>
#include <cstddef>
#include <vector>

#include "core/base/text.h"

namespace zc {

inline constexpr size_t kPatternTableSlots = 100;

// Slot k-1 holds piece k of a pattern list, for k = 1 .. pieces-2: the first and the
// last piece are not copied, so a list written "|a|b|" fills slots 0 and 1. Slots
// beyond the copied pieces stay empty.
using PatternTable = std::array<Text, kPatternTableSlots>;

struct DefinitionsSet {
  std::vector<Text> DefinitionsElements;  // the "@@" split, still enciphered
  std::vector<Text> InputTunnelPatterns;  // each list keeps every "|" piece
  std::vector<Text> OutputTunnelPatterns;
  std::vector<Text> RegistryEntryList;
  std::vector<Text> ServiceNameList;
  std::vector<Text> ConnectionKillPatterns;
  Text HomepageUrl;
  PatternTable InputTunnelTable;
  PatternTable OutputTunnelTable;
};

// The number of table entries a pattern list stands for: its pieces less the first and
// the last. Never negative, and never more than the table holds (a longer list ends
// start-up before any scan runs).
size_t PatternEntryCount(const std::vector<Text>& patterns);

}  // namespace zc
