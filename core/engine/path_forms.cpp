#include "core/engine/path_forms.h"

#include <vector>

namespace zc {

namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool IsDriveLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

}  // namespace

bool IsFullPath(TextView path) {
  if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == u':' && IsSeparator(path[2])) return true;
  return path.size() > 2 && path[0] == u'\\' && path[1] == u'\\';
}

Text JoinedPath(TextView folder, TextView name) {
  if (folder.empty()) return Text(name);
  if (!name.empty() && IsSeparator(name.front())) {
    // From the root of the folder's drive.
    if (folder.size() >= 2 && folder[1] == u':') return NormalizedPath(Text(folder.substr(0, 2)) + Text(name));
    return Text(name);
  }
  Text joined(folder);
  if (!IsSeparator(joined.back())) joined.push_back(u'\\');
  joined += name;
  return NormalizedPath(joined);
}

Text NormalizedPath(TextView path) {
  if (!(path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == u':' && IsSeparator(path[2]))) return Text(path);
  std::vector<TextView> elements;
  size_t start = 3;
  while (start <= path.size()) {
    size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    const TextView element = path.substr(start, end - start);
    if (element == u"..") {
      if (!elements.empty()) elements.pop_back();
    } else if (!element.empty() && element != u".") {
      elements.push_back(element);
    }
    start = end + 1;
  }
  Text out(path.substr(0, 2));
  out.push_back(u'\\');
  for (size_t i = 0; i < elements.size(); ++i) {
    if (i > 0) out.push_back(u'\\');
    out += elements[i];
  }
  return out;
}

TextView FolderPartOf(TextView path) {
  const size_t cut = path.find_last_of(u"\\/");
  return cut == TextView::npos ? TextView() : path.substr(0, cut);
}

bool HasExtension(TextView path) {
  const size_t slash = path.find_last_of(u"\\/");
  const size_t dot = path.find_last_of(u'.');
  return dot != TextView::npos && (slash == TextView::npos || dot > slash);
}

bool HasFolderPart(TextView name) { return name.find_first_of(u"\\/:") != TextView::npos; }

}  // namespace zc
