// icongen: writes the program's icon file (16, 32 and 48 pixels, 32-bit colour with an
// alpha channel) from the same pixels the window draws, for the executable's icon
// resource.
//
//   icongen OUTPUT.ico

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "core/app/program_icon_pixels.h"

namespace {

void PutLe(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// One icon image: a bitmap header of twice the height (colour rows, then the mask rows),
// colour rows bottom-up in BGRA, then the one-bit mask rows padded to whole 32-bit words.
std::string IconImage(int size) {
  const std::vector<uint32_t> pixels = zc::ProgramIconPixels(size);
  std::string image;
  PutLe(image, 40, 4);         // header size
  PutLe(image, static_cast<uint32_t>(size), 4);
  PutLe(image, static_cast<uint32_t>(size * 2), 4);
  PutLe(image, 1, 2);          // planes
  PutLe(image, 32, 2);         // bits per pixel
  PutLe(image, 0, 4);          // no compression
  const int maskStride = ((size + 31) / 32) * 4;
  PutLe(image, static_cast<uint32_t>(size * size * 4 + maskStride * size), 4);
  PutLe(image, 0, 4);
  PutLe(image, 0, 4);
  PutLe(image, 0, 4);
  PutLe(image, 0, 4);
  for (int y = size - 1; y >= 0; --y)
    for (int x = 0; x < size; ++x) PutLe(image, pixels[static_cast<size_t>(y * size + x)], 4);
  for (int y = size - 1; y >= 0; --y) {
    std::string row(static_cast<size_t>(maskStride), '\0');
    for (int x = 0; x < size; ++x)
      if ((pixels[static_cast<size_t>(y * size + x)] >> 24) == 0)
        row[static_cast<size_t>(x / 8)] = static_cast<char>(row[static_cast<size_t>(x / 8)] | (0x80 >> (x % 8)));
    image += row;
  }
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: icongen OUTPUT.ico\n");
    return 2;
  }
  const int sizes[] = {16, 32, 48};
  std::vector<std::string> images;
  for (int size : sizes) images.push_back(IconImage(size));

  std::string file;
  PutLe(file, 0, 2);  // reserved
  PutLe(file, 1, 2);  // an icon
  PutLe(file, static_cast<uint32_t>(images.size()), 2);
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    PutLe(file, static_cast<uint32_t>(sizes[i]), 1);
    PutLe(file, static_cast<uint32_t>(sizes[i]), 1);
    PutLe(file, 0, 1);   // no palette
    PutLe(file, 0, 1);
    PutLe(file, 1, 2);   // planes
    PutLe(file, 32, 2);  // bits per pixel
    PutLe(file, static_cast<uint32_t>(images[i].size()), 4);
    PutLe(file, offset, 4);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const std::string& image : images) file += image;

  std::ofstream out(argv[1], std::ios::binary);
  out.write(file.data(), static_cast<std::streamsize>(file.size()));
  if (!out) {
    std::fprintf(stderr, "icongen: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
