#include "tests/unit/candy/ppm_image.h"

#include <fstream>

namespace zc::candy::testing {

bool WritePpm(const std::string& path, const Raster& raster) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << raster.Width() << " " << raster.Height() << "\n255\n";
  for (Color c : raster.Pixels()) {
    const char rgb[3] = {static_cast<char>(RedOf(c)), static_cast<char>(GreenOf(c)), static_cast<char>(BlueOf(c))};
    out.write(rgb, 3);
  }
  return static_cast<bool>(out);
}

std::optional<Raster> ReadPpm(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int width = 0, height = 0, depth = 0;
  if (!(in >> magic >> width >> height >> depth) || magic != "P6" || depth != 255 || width <= 0 || height <= 0 ||
      width > 4096 || height > 4096)
    return std::nullopt;
  in.get();  // the single blank after the header
  Raster raster(width, height);
  for (Color& c : raster.Pixels()) {
    unsigned char rgb[3];
    if (!in.read(reinterpret_cast<char*>(rgb), 3)) return std::nullopt;
    c = Rgb(rgb[0], rgb[1], rgb[2]);
  }
  return raster;
}

}  // namespace zc::candy::testing
