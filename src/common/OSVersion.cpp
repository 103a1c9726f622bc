#include "common/OSVersion.h"

#include "platform/ui/Application.h"

#include <cmath>

namespace velmora {

int osVersionFromAppKitVersion(double toolkitVersion) {
    struct Bound {
        double toolkit;
        int code;
    };
    static constexpr Bound bounds[] = {
        {577, 1000},    {620, 1010},   {663.6, 1020},    {743.36, 1030}, {824.41, 1040},
        {949.33, 1050}, {1038, 10060}, {1138.47, 10070}, {1187, 10080},  {1265, 10090},
    };
    double version = std::floor(toolkitVersion);
    for (const auto& bound : bounds)
        if (version <= bound.toolkit)
            return bound.code;
    return 10100;
}

int currentOSVersion() {
    return osVersionFromAppKitVersion(ui::Application::shared().toolkitVersion());
}

bool isOSVer_After10_2() {
    return currentOSVersion() > 1019;
}
bool isOSVer_After10_3() {
    return currentOSVersion() > 1029;
}
bool isOSVer_After10_4() {
    return currentOSVersion() > 1039;
}
bool isOSVer_After10_9() {
    return currentOSVersion() > 10089;
}
bool isOSVer_After10_10() {
    return currentOSVersion() > 10099;
}

} // namespace velmora
