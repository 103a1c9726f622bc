#pragma once

#include "validation/LimitFormatterFamily.h"

namespace velmora {

// Limits counted in bytes of the C-string encoding.
using MaxBytesFormatter = MaxFormatter<LimitMeasure::Bytes>;
using MaxBytesFormatterWithCharacterSet = MaxFormatterWithCharacterSet<LimitMeasure::Bytes>;
using MaxBytesFormatterWithEscape = MaxFormatterWithEscape<LimitMeasure::Bytes>;
using MaxBytesFormatterWithEscapeAndCharacterSet =
    MaxFormatterWithEscapeAndCharacterSet<LimitMeasure::Bytes>;

} // namespace velmora
