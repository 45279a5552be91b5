#include "core/engine/pattern_search.h"

#include <algorithm>
#include <deque>
#include <utility>

namespace zc {
namespace {

// Above this many table cells (patterns of many distinct characters, such as long
// Korean texts) the patterns are searched one by one instead.
constexpr size_t kMaxTableCells = size_t{4} << 20;

}  // namespace

MultiPatternSearch::MultiPatternSearch(std::vector<Text> patterns) : patterns_(std::move(patterns)) {
  BuildAutomaton();
}

void MultiPatternSearch::BuildAutomaton() {
  classOfChar_.assign(0x10000, 0);
  size_t totalLength = 0;
  for (const Text& p : patterns_) {
    totalLength += p.size();
    for (const char16_t c : p) {
      if (classOfChar_[c] == 0) classOfChar_[c] = classCount_++;
    }
  }
  const size_t maxStates = totalLength + 1;
  if (maxStates * classCount_ > kMaxTableCells) {
    classOfChar_.clear();
    return;
  }

  // The trie of the patterns; 0 is the root, and a missing edge is 0 for now.
  next_.assign(classCount_, 0);
  output_.assign(1, -1);
  sameEnd_.assign(patterns_.size(), -1);
  std::vector<std::vector<uint8_t>> hasEdge(1, std::vector<uint8_t>(classCount_, 0));
  for (size_t i = 0; i < patterns_.size(); ++i) {
    if (patterns_[i].empty()) continue;
    uint32_t state = 0;
    for (const char16_t c : patterns_[i]) {
      const uint32_t cls = classOfChar_[c];
      if (!hasEdge[state][cls]) {
        const auto created = static_cast<uint32_t>(output_.size());
        next_.resize(next_.size() + classCount_, 0);
        output_.push_back(-1);
        hasEdge.emplace_back(classCount_, 0);
        hasEdge[state][cls] = 1;
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
  std::vector<uint32_t> fail(states, 0);
  outputLink_.assign(states, -1);
  std::deque<uint32_t> queue;
  for (uint32_t cls = 0; cls < classCount_; ++cls) {
    if (hasEdge[0][cls]) queue.push_back(next_[cls]);
  }
  while (!queue.empty()) {
    const uint32_t state = queue.front();
    queue.pop_front();
    const uint32_t f = fail[state];
    outputLink_[state] = output_[f] >= 0 ? static_cast<int32_t>(f) : outputLink_[f];
    for (uint32_t cls = 0; cls < classCount_; ++cls) {
      uint32_t& edge = next_[state * classCount_ + cls];
      if (hasEdge[state][cls]) {
        fail[edge] = next_[f * classCount_ + cls];
        queue.push_back(edge);
      } else {
        edge = next_[f * classCount_ + cls];
      }
    }
  }
  useAutomaton_ = true;
}

std::vector<size_t> MultiPatternSearch::FirstOccurrences(TextView text) const {
  if (!useAutomaton_) return SearchOneByOne(text);
  std::vector<size_t> first(patterns_.size(), kNotFound);
  size_t remaining = 0;
  for (const Text& p : patterns_) remaining += p.empty() ? 0 : 1;
  // Duplicated patterns end at one state and are all recorded together.
  uint32_t state = 0;
  for (size_t pos = 0; pos < text.size() && remaining > 0; ++pos) {
    state = next_[state * classCount_ + classOfChar_[text[pos]]];
    int32_t at = output_[state] >= 0 ? static_cast<int32_t>(state) : outputLink_[state];
    while (at >= 0) {
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
