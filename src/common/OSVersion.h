#pragma once

namespace velmora {

// The operating-system version code for a toolkit version number (rounded down first):
// 1000 for 10.0 up to 1050 for 10.5, then 10060 for 10.6 up to 10100 for 10.10 and later.
int osVersionFromAppKitVersion(double toolkitVersion);
// The code for the running toolkit.
int currentOSVersion();

bool isOSVer_After10_2();
bool isOSVer_After10_3();
bool isOSVer_After10_4();
bool isOSVer_After10_9();
bool isOSVer_After10_10();

} // namespace velmora
