#include "core/engine/pattern_search.h"

#include <algorithm>
#include <deque>
#include <utility>

namespace zc {
namespace {

// Above this many table cells or states (patterns of many distinct characters, such as
// long Korean texts) the patterns are searched one by one instead.
constexpr size_t kMaxTableCells = size_t{4} << 20;
constexpr size_t kMaxStates = 0xFFFF;
constexpr uint32_t kEndsHere = 0x80000000u;

}  // namespace

MultiPatternSearch::MultiPatternSearch(std::vector<Text> patterns) : patterns_(std::move(patterns)) {
  BuildAutomaton();
}

void MultiPatternSearch::BuildAutomaton() {
  size_t totalLength = 0;
  for (const Text& p : patterns_) totalLength += p.size();
  const size_t maxStates = totalLength + 1;
  if (maxStates > kMaxStates) return;
  classOfChar_.assign(0x10000, 0);
  for (const Text& p : patterns_) {
    for (const char16_t c : p) {
      if (classOfChar_[c] == 0) classOfChar_[c] = static_cast<uint16_t>(classCount_++);
    }
  }
  if (maxStates * classCount_ > kMaxTableCells) {
    classOfChar_.clear();
    return;
  }

  // The trie of the patterns; 0 is the root, and a missing edge is 0 for now.
  next_.assign(classCount_, 0);
  output_.assign(1, -1);
  sameEnd_.assign(patterns_.size(), -1);
  std::vector<uint8_t> hasEdge(classCount_, 0);  // state * classCount_ + class -> trie edge
  for (size_t i = 0; i < patterns_.size(); ++i) {
    if (patterns_[i].empty()) continue;
    uint32_t state = 0;
    for (const char16_t c : patterns_[i]) {
      const uint32_t cls = classOfChar_[c];
      if (!hasEdge[state * classCount_ + cls]) {
        const auto created = static_cast<uint16_t>(output_.size());
        next_.resize(next_.size() + classCount_, 0);
        hasEdge.resize(hasEdge.size() + classCount_, 0);
        output_.push_back(-1);
        hasEdge[state * classCount_ + cls] = 1;
        next_[state * classCount_ + cls] = created;
      }
      state = next_[state * classCount_ + cls];
    }
    sameEnd_[i] = output_[state];
    output_[state] = static_cast<int32_t>(i);
  }

  // Breadth first: every missing edge becomes the edge of the state's longest proper
  // suffix that is a trie state, so the search never backtracks.
  const size_t states = output_.size();
  std::vector<uint16_t> fail(states, 0);
  outputLink_.assign(states, -1);
  std::deque<uint16_t> queue;
  for (uint32_t cls = 0; cls < classCount_; ++cls) {
    if (hasEdge[cls]) queue.push_back(next_[cls]);
  }
  while (!queue.empty()) {
    const uint16_t state = queue.front();
    queue.pop_front();
    const uint16_t f = fail[state];
    outputLink_[state] = output_[f] >= 0 ? static_cast<int32_t>(f) : outputLink_[f];
    for (uint32_t cls = 0; cls < classCount_; ++cls) {
      uint16_t& edge = next_[state * classCount_ + cls];
      if (hasEdge[state * classCount_ + cls]) {
        fail[edge] = next_[f * classCount_ + cls];
        queue.push_back(edge);
      } else {
        edge = next_[f * classCount_ + cls];
      }
    }
  }
  reportFrom_.resize(states);
  for (size_t state = 0; state < states; ++state) {
    reportFrom_[state] = output_[state] >= 0 ? static_cast<int32_t>(state) : outputLink_[state];
  }
  // The search steps by row offsets, which saves a multiplication per character; the
  // top bit marks a state at which some pattern ends.
  rowOffsets_.resize(next_.size());
  for (size_t i = 0; i < next_.size(); ++i) {
    rowOffsets_[i] = static_cast<uint32_t>(next_[i] * classCount_) | (reportFrom_[next_[i]] >= 0 ? kEndsHere : 0u);
  }
  useAutomaton_ = true;
}

std::vector<size_t> MultiPatternSearch::FirstOccurrences(TextView text) const {
  if (!useAutomaton_) return SearchOneByOne(text);
  std::vector<size_t> first(patterns_.size(), kNotFound);
  size_t remaining = 0;
  for (const Text& p : patterns_) remaining += p.empty() ? 0 : 1;
  // Duplicated patterns end at one state and are all recorded together.
  const uint32_t* rows = rowOffsets_.data();
  const uint16_t* classes = classOfChar_.data();
  const int32_t* reportFrom = reportFrom_.data();
  const uint32_t classCount = classCount_;
  uint32_t row = 0;
  for (size_t pos = 0; pos < text.size() && remaining > 0; ++pos) {
    row = rows[(row & ~kEndsHere) + classes[text[pos]]];
    if ((row & kEndsHere) == 0) continue;
    for (int32_t at = reportFrom[(row & ~kEndsHere) / classCount]; at >= 0;) {
      for (int32_t p = output_[static_cast<size_t>(at)]; p >= 0; p = sameEnd_[static_cast<size_t>(p)]) {
        size_t& slot = first[static_cast<size_t>(p)];
        if (slot == kNotFound) {
          slot = pos + 1 - patterns_[static_cast<size_t>(p)].size();
          --remaining;
        }
      }
      at = outputLink_[static_cast<size_t>(at)];
    }
  }
  return first;
}

std::vector<size_t> MultiPatternSearch::SearchOneByOne(TextView text) const {
  std::vector<size_t> first(patterns_.size(), kNotFound);
  for (size_t i = 0; i < patterns_.size(); ++i) {
    if (patterns_[i].empty()) continue;
    const size_t at = text.find(patterns_[i]);
    if (at != TextView::npos) first[i] = at;
  }
  return first;
}

}  // namespace zc
