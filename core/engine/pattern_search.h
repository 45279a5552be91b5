#pragma once
// Finds where each of many patterns first occurs in one long text, in a single pass
// over the text. The connection scan looks for up to three hundred patterns in a
// listing of thousands of lines; searching the listing once per pattern would read it
// hundreds of times.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/base/text.h"

namespace zc {

class MultiPatternSearch {
 public:
  static constexpr size_t kNotFound = static_cast<size_t>(-1);

  // The patterns are compared exactly (case-sensitive). An empty pattern is never found.
  explicit MultiPatternSearch(std::vector<Text> patterns);

  // For each pattern, in the order given, the position of its first occurrence in
  // `text`, or kNotFound.
  std::vector<size_t> FirstOccurrences(TextView text) const;

 private:
  void BuildAutomaton();
  std::vector<size_t> SearchOneByOne(TextView text) const;

  std::vector<Text> patterns_;
  // The automaton: one row of transitions per state, one column per character class.
  // Characters that occur in no pattern share class 0.
  bool useAutomaton_ = false;
  std::vector<uint16_t> classOfChar_;  // indexed by code unit
  uint32_t classCount_ = 1;
  std::vector<uint16_t> next_;         // state * classCount_ + class -> state
  std::vector<int32_t> output_;        // state -> a pattern that ends here, or -1
  std::vector<int32_t> sameEnd_;       // pattern -> another pattern ending at its state, or -1
  std::vector<int32_t> outputLink_;    // state -> longest proper suffix state with output, or -1
  std::vector<uint32_t> rowOffsets_;   // next_ with each state as the offset of its row
  std::vector<int32_t> reportFrom_;    // state -> itself when it has output, else its outputLink_
};

}  // namespace zc
