#pragma once
// Where the connection scan gets its two listings from: the connection listing (one
// connection per line, the owning id at its end) and the per-process service listing
// (id, one space, the services hosted).

#include "core/base/text.h"

namespace zc {

class ListingSource {
 public:
  virtual ~ListingSource() = default;

  // Empty when no listing could be obtained.
  virtual Text ConnectionListing() = 0;
  virtual Text ServiceListing() = 0;
};

}  // namespace zc
