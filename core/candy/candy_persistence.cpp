#include "core/candy/candy_persistence.h"

#include <type_traits>

namespace zc::candy {
namespace {

constexpr Color kDesignUp = Rgb(80, 153, 233);
constexpr Color kDesignHover = Rgb(144, 192, 255);
constexpr Color kDesignBright = Rgb(176, 237, 255);
constexpr Color kHighLiteDefault = Rgb(0, 255, 0);

int32_t Stored(Color c) { return static_cast<int32_t>(c); }

// Reads one key into `slot`; false when the store fails.
template <typename T, typename V>
bool ReadInto(PropertyStore& store, TextView key, const V& defaultValue, T& slot) {
  const auto value = store.Read(key, PropertyValue(defaultValue));
  if (!value) return false;
  const V* typed = std::get_if<V>(&*value);
  slot = static_cast<T>(typed ? *typed : defaultValue);
  return true;
}

}  // namespace

void InitProperties(CandyButton& button, const HostAmbient& ambient) {
  CandyProperties& p = button.StoredProperties();
  if (!ambient.userMode) {
    p.colorButtonUp = kDesignUp;
    p.colorButtonDown = kDesignUp;
    p.enabled = true;
    p.colorButtonHover = kDesignHover;
    p.colorBright = kDesignBright;
    p.caption = kControlTypeName;
  }
  p.caption = ambient.instanceName;
  button.SetReady();
}

bool ReadProperties(CandyButton& button, PropertyStore& store, const HostAmbient& ambient) {
  CandyProperties& p = button.StoredProperties();
  const bool ok =
      ReadInto(store, u"Enabled", true, p.enabled) && ReadInto(store, u"Font", ambient.font, p.font) &&
      ReadInto(store, u"Caption", Text(kControlTypeName), p.caption) &&
      ReadInto(store, u"CaptionHighLite", false, p.captionHighLite) &&
      ReadInto(store, u"CaptionHighLiteColor", Stored(kHighLiteDefault), p.captionHighLiteColor) &&
      ReadInto(store, u"IconHighLite", false, p.iconHighLite) &&
      ReadInto(store, u"IconHighLiteColor", Stored(kHighLiteDefault), p.iconHighLiteColor) &&
      ReadInto(store, u"ForeColor", int32_t{0}, p.foreColor) &&
      ReadInto(store, u"Picture", PictureRef(), p.picture) &&
      ReadInto(store, u"PictureAlignment", int32_t{0}, p.pictureAlignment) &&
      ReadInto(store, u"Style", int32_t{0}, p.style) &&
      ReadInto(store, u"Checked", p.checked, p.checked) &&
      ReadInto(store, u"ColorButtonHover", Stored(kDesignHover), p.colorButtonHover) &&
      ReadInto(store, u"ColorButtonUp", Stored(kDesignUp), p.colorButtonUp) &&
      ReadInto(store, u"ColorButtonDown", Stored(kDesignUp), p.colorButtonDown) &&
      ReadInto(store, u"ColorBright", Stored(kDesignBright), p.colorBright) &&
      ReadInto(store, u"BorderBrightness", int32_t{0}, p.borderBrightness) &&
      ReadInto(store, u"DisplayHand", false, p.displayHand) &&
      ReadInto(store, u"ColorScheme", int32_t{0}, p.colorScheme);
  if (!ok) return false;
  button.Host().SetHandPointer(p.displayHand);
  button.SetTextColor(p.foreColor);
  if (ambient.userMode) button.Host().StartHoverTracking();
  button.SetReady();
  return true;
}

bool WriteProperties(const CandyButton& button, PropertyStore& store, const HostAmbient& ambient) {
  const CandyProperties& p = button.Properties();
  const auto always = std::optional<PropertyValue>();
  const auto color = [](Color c) { return PropertyValue(Stored(c)); };
  const auto highLite = std::optional<PropertyValue>(color(kHighLiteDefault));
  return store.Write(u"Enabled", p.enabled, PropertyValue(true)) &&
         store.Write(u"Font", p.font, PropertyValue(ambient.font)) &&
         store.Write(u"Caption", p.caption, PropertyValue(Text(kControlTypeName))) &&
         store.Write(u"IconHighLite", p.iconHighLite, PropertyValue(false)) &&
         store.Write(u"IconHighLiteColor", color(p.iconHighLiteColor), highLite) &&
         store.Write(u"CaptionHighLite", p.captionHighLite, PropertyValue(false)) &&
         store.Write(u"CaptionHighLiteColor", color(p.captionHighLiteColor), highLite) &&
         store.Write(u"ForeColor", color(p.foreColor), color(0)) &&
         store.Write(u"Picture", p.picture, PropertyValue(PictureRef())) &&
         store.Write(u"PictureAlignment", int32_t{p.pictureAlignment}, PropertyValue(int32_t{0})) &&
         store.Write(u"Style", int32_t{p.style}, PropertyValue(int32_t{0})) &&
         store.Write(u"Checked", p.checked, always) &&
         store.Write(u"ColorButtonHover", color(p.colorButtonHover), always) &&
         store.Write(u"ColorButtonUp", color(p.colorButtonUp), always) &&
         store.Write(u"ColorButtonDown", color(p.colorButtonDown), always) &&
         store.Write(u"BorderBrightness", int32_t{p.borderBrightness}, always) &&
         store.Write(u"ColorBright", color(p.colorBright), always) &&
         store.Write(u"DisplayHand", p.displayHand, always) &&
         store.Write(u"ColorScheme", int32_t{p.colorScheme}, always);
}

}  // namespace zc::candy
