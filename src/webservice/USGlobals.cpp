#include "webservice/USGlobals.h"

namespace velmora {

USGlobals& USGlobals::sharedInstance() {
    static USGlobals globals;
    return globals;
}

USGlobals::USGlobals()
    : _namespaces{{"http://www.w3.org/2001/XMLSchema", ""},
                  {"kv:zema", "PrintService"},
                  {"http://schemas.xmlsoap.org/soap/envelope/", "SOAPENV"},
                  {"http://schemas.xmlsoap.org/soap/encoding/", "SOAPENC"},
                  {"http://www.w3.org/2001/XMLSchema-instance", "xsi"}} {}

std::string USGlobals::prefixFor(const std::string& uri) const {
    auto it = _namespaces.find(uri);
    return it == _namespaces.end() ? std::string() : it->second;
}

} // namespace velmora
