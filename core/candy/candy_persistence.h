#pragma once
// Creating, loading and saving a candy button's property values through the host's
// property store.

#include "core/candy/candy_button.h"
#include "core/candy/candy_platform.h"
#include "core/candy/property_store.h"

namespace zc::candy {

// The control type's name: the caption of a button without a stored one.
inline constexpr char16_t kControlTypeName[] = u"CandyButton";

// Creation without stored values. Outside user mode the design-time colours are set;
// in every mode the caption becomes the instance's name. Sets ReadyFlag.
void InitProperties(CandyButton& button, const HostAmbient& ambient);

// Loads every stored key with its read default, storing values directly (no setters, no
// clamping, no repaint), then applies the pointer and the text colour, starts hover
// tracking in user mode and sets ReadyFlag. A value of the wrong kind counts as absent.
// False when the store fails; the values read until then stay.
bool ReadProperties(CandyButton& button, PropertyStore& store, const HostAmbient& ambient);

// Saves every key with its write default. False when the store fails.
bool WriteProperties(const CandyButton& button, PropertyStore& store, const HostAmbient& ambient);

}  // namespace zc::candy
