#pragma once
// The seal on each entry of a treatment record: an HMAC-SHA-256, keyed by a secret that
// only administrators can read, over the backup folder's name and the entry's text. It
// goes in as the entry's last field before "end":
//
//   file<TAB>treatment=2<TAB>...<TAB>seal=<64 hexadecimal digits><TAB>end
//
// The record file's rights say who can change it now; the seal says that every entry
// was written by this program, which the rights cannot: an entry appended while the
// backup root was still open to every user (by an earlier version, or before the root
// was taken over) keeps no trace in the rights once they are set again, and an entry
// copied from another backup folder's record carries that folder's name.

#include <string>
#include <string_view>

#include "core/base/text.h"

namespace zc {

// `line` as FormatRecordLine writes it ("...<TAB>end<CR><LF>"), with the seal put in
// before its closing field. Unchanged when `key` is empty.
std::string SealRecordLine(std::string_view key, TextView folderName, std::string line);

// True when every entry of `content` that the reader would act on carries the seal of
// `key` and `folderName`. Entries cut short (no closing field) count as absent, as the
// reader counts them, and need none; an empty key seals nothing.
bool RecordIsSealed(std::string_view key, TextView folderName, std::string_view content);

}  // namespace zc
