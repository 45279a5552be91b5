#pragma once
// Binary PPM (P6) files of a raster, for the golden images.

#include <optional>
#include <string>

#include "core/candy/raster.h"

namespace zc::candy::testing {

bool WritePpm(const std::string& path, const Raster& raster);
std::optional<Raster> ReadPpm(const std::string& path);

}  // namespace zc::candy::testing
