#pragma once
// The stored values of one candy button placed on a window: where it sits and what the
// host's property store holds for it.

#include "core/base/text.h"
#include "core/candy/candy_types.h"
#include "core/candy/color.h"
#include "core/candy/property_store.h"

namespace zc::candy {

struct CandyButtonValues {
  Text instanceName;
  int left = 0, top = 0, width = 0, height = 0;  // client pixels of the parent
  int extentX = 0, extentY = 0;                   // the size in HIMETRIC units
  Text caption;
  CandyFont font;
  int style = 0;
  int pictureAlignment = 0;
  Color foreColor = 0;
  int colorScheme = 0;
  Color colorButtonUp = 0, colorButtonHover = 0, colorButtonDown = 0, colorBright = 0;
  Color iconHighLiteColor = 0, captionHighLiteColor = 0;
  int borderBrightness = 0;
  bool checked = false;
  bool displayHand = false;
};

// A property store holding exactly the keys stored for `values` (Enabled, the highlight
// switches and Picture are not stored: they load with their defaults).
MemoryPropertyStore StoreOf(const CandyButtonValues& values);

}  // namespace zc::candy
