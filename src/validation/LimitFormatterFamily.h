#pragma once

#include "validation/LimitFormatter.h"

namespace velmora {

// The four members of a formatter family; the bytes and the length family differ only in
// how they count.
template <LimitMeasure M> class MaxFormatter : public LimitFormatter {
public:
    MaxFormatter(std::uint32_t minimum, std::uint32_t maximum)
        : LimitFormatter(M, minimum, maximum) {}
    // Creates one with the limits and makes it the field's formatter and delegate.
    static std::shared_ptr<MaxFormatter> attachTo(ui::TextField& field, std::uint32_t minimum,
                                                  std::uint32_t maximum) {
        auto formatter = std::make_shared<MaxFormatter>(minimum, maximum);
        attach(field, formatter);
        return formatter;
    }
};

template <LimitMeasure M> class MaxFormatterWithCharacterSet : public MaxFormatter<M> {
public:
    MaxFormatterWithCharacterSet(std::uint32_t minimum, std::uint32_t maximum,
                                 const icu::UnicodeSet& set)
        : MaxFormatter<M>(minimum, maximum) {
        this->setCharacterSet(set);
    }
    static std::shared_ptr<MaxFormatterWithCharacterSet> attachTo(ui::TextField& field,
                                                                  std::uint32_t minimum,
                                                                  std::uint32_t maximum,
                                                                  const icu::UnicodeSet& set) {
        auto formatter = std::make_shared<MaxFormatterWithCharacterSet>(minimum, maximum, set);
        LimitFormatter::attach(field, formatter);
        return formatter;
    }
};

template <LimitMeasure M> class MaxFormatterWithEscape : public MaxFormatter<M> {
public:
    MaxFormatterWithEscape(std::uint32_t minimum, std::uint32_t maximum)
        : MaxFormatter<M>(minimum, maximum) {
        this->enableEscaping();
    }
};

template <LimitMeasure M>
class MaxFormatterWithEscapeAndCharacterSet : public MaxFormatterWithEscape<M> {
public:
    MaxFormatterWithEscapeAndCharacterSet(std::uint32_t minimum, std::uint32_t maximum,
                                          const icu::UnicodeSet& set)
        : MaxFormatterWithEscape<M>(minimum, maximum) {
        this->setCharacterSet(set);
    }
};

} // namespace velmora
