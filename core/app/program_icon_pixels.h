#pragma once
// The program's own icon as pixels: a green round badge with a white cross on a
// transparent ground. The window, the notification-area icon and the executable's icon
// resource are all made from these pixels.

#include <cstdint>
#include <vector>

namespace zc {

// 0xAARRGGBB pixels (alpha 0 or 255, not premultiplied), `size` x `size`, rows from the top.
std::vector<uint32_t> ProgramIconPixels(int size);

}  // namespace zc
