#include "core/candy/candy_button_values.h"

namespace zc::candy {

MemoryPropertyStore StoreOf(const CandyButtonValues& values) {
  const auto color = [](Color c) { return PropertyValue(static_cast<int32_t>(c)); };
  MemoryPropertyStore store;
  store.Put(u"_extentx", int32_t{values.extentX});
  store.Put(u"_extenty", int32_t{values.extentY});
  store.Put(u"Caption", values.caption);
  store.Put(u"Font", values.font);
  store.Put(u"Style", int32_t{values.style});
  store.Put(u"PictureAlignment", int32_t{values.pictureAlignment});
  store.Put(u"ForeColor", color(values.foreColor));
  store.Put(u"ColorScheme", int32_t{values.colorScheme});
  store.Put(u"ColorButtonUp", color(values.colorButtonUp));
  store.Put(u"ColorButtonHover", color(values.colorButtonHover));
  store.Put(u"ColorButtonDown", color(values.colorButtonDown));
  store.Put(u"ColorBright", color(values.colorBright));
  store.Put(u"IconHighLiteColor", color(values.iconHighLiteColor));
  store.Put(u"CaptionHighLiteColor", color(values.captionHighLiteColor));
  store.Put(u"BorderBrightness", int32_t{values.borderBrightness});
  store.Put(u"Checked", values.checked);
  store.Put(u"DisplayHand", values.displayHand);
  return store;
}

}  // namespace zc::candy
