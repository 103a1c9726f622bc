#pragma once

#include <map>
#include <string>

namespace velmora {

// Namespace URI → the prefix that class names of decoded elements are built with.
class USGlobals {
public:
    static USGlobals& sharedInstance();
    const std::map<std::string, std::string>& wsdlStandardNamespaces() const { return _namespaces; }
    // The prefix for a namespace; empty for unknown ones.
    std::string prefixFor(const std::string& uri) const;

private:
    USGlobals();
    std::map<std::string, std::string> _namespaces;
};

} // namespace velmora
