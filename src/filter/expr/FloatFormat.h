// The number-format masks of FORMATFLOAT.
#pragma once

#include "filter/expr/FormatSettings.h"

#include <string>
#include <string_view>

// Formats value by mask: up to three sections separated by semicolons (positive; negative;
// zero), in each 0 and # digit places, the first point for the decimal separator, a comma for
// grouping by thousands, E+ E- e+ e- for scientific notation, quoted text copied, every other
// character copied. An empty mask gives the general form with up to 15 significant digits.
std::string FormatExprFloat(std::string_view mask, double value, const TFormatSettings& settings);
