#pragma once
// Whose hives the program sees, as a test sets them: by default an ordinary run of one
// account with no other hive loaded.

#include "core/platform/user_hives_api.h"

namespace zc::fakes {

class FakeUserHives : public UserHivesApi {
 public:
  UserHives hives{false, false, Text(u"S-1-5-21-1-2-3-1001"), Text(u"S-1-5-21-1-2-3-1001"), {}, {}};
  UserHives Read() override { return hives; }
};

}  // namespace zc::fakes
