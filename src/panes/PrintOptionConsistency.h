#pragma once

#include "platform/foundation/Value.h"

#include <string>
#include <vector>

namespace velmora {

// The rules that guard the OK button of the detailed settings: options that need a companion
// value (a password for secure print, a file for a template mode, …). Each broken rule gives
// the key of its message ("Alert_SecPrintPassword"), once, in the order of the rules.
class PrintOptionConsistency {
public:
    static std::vector<std::string> problems(const Dictionary& options);
    // Every message key the rules can give, in rule order.
    static std::vector<std::string> messageKeys();

    enum PageRangeCheck { kPageRangeValid = 0, kPageRangeTooLarge = 1, kPageRangeIncorrect = 2 };
    // Page ranges of special toner ("1-3,5,7-9"); a page above 200000 is too large.
    static int checkPageRangeForSpecialToner(const std::string& range);
};

} // namespace velmora
