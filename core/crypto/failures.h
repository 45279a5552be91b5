#pragma once
// The descriptions that the cipher's failure reports carry (the run-time failures the
// design names: an index out of range, an arithmetic overflow, a failed conversion).

namespace zc::failure {

inline constexpr char16_t kSubscriptOutOfRange[] = u"Subscript out of range";
inline constexpr char16_t kOverflow[] = u"Overflow";
inline constexpr char16_t kTypeMismatch[] = u"Type mismatch";

}  // namespace zc::failure
