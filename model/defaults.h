// SPDX-License-Identifier: GPL-3.0-or-later
// Defaults of a new configuration and the pick-up presets by motorbike type (kBikeType).
#pragma once

#include "model/parameter_image.h"

namespace rq {

inline constexpr int kBikeSpecial = 1;

// Writes the preset of the motorbike type now in kBikeType.
void ApplyPreset(ParameterImage& image);

// Writes the general defaults (unless the type is special and was just changed), the servo
// defaults and the preset; clears typeJustChanged.
void ApplyDefaults(ParameterImage& image, bool& typeJustChanged);

// The configuration the window starts with when there is no state file: an all-zero image,
// type 0, defaults, then the consistency pass.
ParameterImage NewConfiguration();

// ComboBoxBike lists the types in the order 0, 2, 3, 4, 5, 1.
int BikeItemToType(int item);
int BikeTypeToItem(int type);

}  // namespace rq
