#include "win32/base/unique_handle.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace zc::win {
namespace {

static_assert(!std::is_copy_constructible_v<UniqueHandle>);
static_assert(!std::is_copy_assignable_v<UniqueHandle>);
static_assert(std::is_nothrow_move_constructible_v<UniqueHandle>);

TEST(UniqueHandle, ClosesOnceAndMovesOwnership) {
  UniqueHandle event(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  ASSERT_TRUE(event);
  const HANDLE raw = event.get();
  UniqueHandle moved(std::move(event));
  EXPECT_FALSE(event);
  EXPECT_EQ(moved.get(), raw);
  moved.reset();
  EXPECT_FALSE(moved);
  DWORD flags = 0;
  EXPECT_FALSE(::GetHandleInformation(raw, &flags));  // closed
}

TEST(UniqueHandle, ReleaseGivesUpOwnership) {
  UniqueHandle event(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  const HANDLE raw = event.release();
  EXPECT_FALSE(event);
  DWORD flags = 0;
  EXPECT_TRUE(::GetHandleInformation(raw, &flags));
  ::CloseHandle(raw);
}

TEST(UniqueFile, InvalidHandleValueIsEmpty) {
  UniqueFile none(INVALID_HANDLE_VALUE);
  EXPECT_FALSE(none);
  UniqueKey key;
  EXPECT_FALSE(key);
}

}  // namespace
}  // namespace zc::win
