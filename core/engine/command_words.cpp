#include "core/engine/command_words.h"

namespace zc {

bool IsCommandBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::vector<CommandWord> SplitCommandWords(TextView line) {
  std::vector<CommandWord> words;
  size_t i = 0;
  while (true) {
    while (i < line.size() && IsCommandBlank(line[i])) ++i;
    if (i >= line.size()) break;
    CommandWord word;
    word.begin = i;
    word.quoted = line[i] == u'"';
    bool inQuotes = false;
    while (i < line.size() && (inQuotes || !IsCommandBlank(line[i]))) {
      const char16_t c = line[i];
      if (c == u'\\') {
        size_t count = 0;
        while (i < line.size() && line[i] == u'\\') ++count, ++i;
        if (i < line.size() && line[i] == u'"') {
          word.text.append(count / 2, u'\\');
          if (count % 2 == 1) {
            word.text.push_back(u'"');
            ++i;
          }
          // an even count leaves the quote to the next turn, where it keeps its role
        } else {
          word.text.append(count, u'\\');
        }
        continue;
      }
      if (c == u'"') {
        if (inQuotes && i + 1 < line.size() && line[i + 1] == u'"') {
          word.text.push_back(u'"');
          i += 2;
          continue;
        }
        inQuotes = !inQuotes;
        ++i;
        continue;
      }
      word.text.push_back(c);
      ++i;
    }
    word.end = i;
    words.push_back(std::move(word));
  }
  return words;
}

TextView TrimBlanks(TextView text) {
  while (!text.empty() && IsCommandBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsCommandBlank(text.back())) text.remove_suffix(1);
  return text;
}

Text WithoutQuotes(TextView text) {
  Text out;
  for (char16_t c : text)
    if (c != u'"') out.push_back(c);
  return out;
}

bool StartsWithFolded(TextView text, TextView lead) {
  return text.size() >= lead.size() && FoldCase(text.substr(0, lead.size())) == FoldCase(lead);
}

bool EndsWithFolded(TextView text, TextView tail) {
  return text.size() >= tail.size() && FoldCase(text.substr(text.size() - tail.size())) == FoldCase(tail);
}

bool AbbreviatesOption(TextView word, TextView full, size_t shortest) {
  return word.size() >= shortest && word.size() <= full.size() &&
         FoldCase(word) == FoldCase(full.substr(0, word.size()));
}

bool HasAddressScheme(TextView text) {
  text = TrimBlanks(text);
  size_t i = 0;
  while (i < text.size()) {
    const char16_t c = text[i];
    const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    const bool other = (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
    if (!letter && !(other && i > 0)) break;
    ++i;
  }
  return i >= 2 && i < text.size() && text[i] == u':';
}

bool SplitAtComma(TextView text, TextView& before, TextView& after) {
  bool inQuotes = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'"') inQuotes = !inQuotes;
    if (text[i] == u',' && !inQuotes) {
      before = text.substr(0, i);
      after = text.substr(i + 1);
      return true;
    }
  }
  before = text;
  after = {};
  return false;
}

}  // namespace zc
