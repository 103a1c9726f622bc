#pragma once

#include "validation/LimitFormatterFamily.h"

namespace velmora {

// Limits counted in characters (UTF-16 code units).
using MaxLengthFormatter = MaxFormatter<LimitMeasure::Length>;
using MaxLengthFormatterWithCharacterSet = MaxFormatterWithCharacterSet<LimitMeasure::Length>;
using MaxLengthFormatterWithEscape = MaxFormatterWithEscape<LimitMeasure::Length>;
using MaxLengthFormatterWithEscapeAndCharacterSet =
    MaxFormatterWithEscapeAndCharacterSet<LimitMeasure::Length>;

} // namespace velmora
