#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace velmora {

struct PrintService_PropKeyValue;
struct PrintService_PropDict;
struct PrintService_PropArray;

// A member of a property list: a string or one of the three property objects.
using PropItem =
    std::variant<std::string, std::shared_ptr<PrintService_PropKeyValue>,
                 std::shared_ptr<PrintService_PropDict>, std::shared_ptr<PrintService_PropArray>>;

// key → value, where the value is a string or a nested dictionary or array.
struct PrintService_PropKeyValue {
    std::optional<std::string> key;
    std::optional<PropItem> val;
};

struct PrintService_PropDict {
    std::optional<long> d;
    std::vector<PropItem> item;
    void addItem(PropItem member) { item.push_back(std::move(member)); }
};

struct PrintService_PropArray {
    std::optional<long> d;
    std::vector<PropItem> item;
    void addItem(PropItem member) { item.push_back(std::move(member)); }
};

// The members of a dictionary or array (the "record" of the client); null for anything else.
const std::vector<PropItem>* itemsOf(const PropItem& object);
const std::string* stringOf(const std::optional<PropItem>& value);
std::shared_ptr<PrintService_PropKeyValue> keyValueOf(const PropItem& member);

// A SOAP fault as decoded from an answer.
struct SOAPFault {
    std::optional<std::string> faultcode, faultstring, faultactor, detail;
    // The fault string without the .NET exception prefix and stack trace.
    std::string simpleFaultString() const;
};

// The three tables of result codes: consecutive codes from 1 ("OK") in the order listed.
enum class StatusTable { ServiceResult, ResourceResult, CmsResResult };
int statusFromString(StatusTable table, const std::string& text);
std::string stringFromStatus(StatusTable table, int status);

} // namespace velmora
