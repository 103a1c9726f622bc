#pragma once

#include <string>
#include <vector>

// SOAP answers as the print server writes them, built from small pieces.
namespace velmora::test::soap {

inline std::string envelope(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope "
           "xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
           "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
           "xmlns:PrintService=\"kv:zema\"><soap:Body>" +
           body + "</soap:Body></soap:Envelope>";
}

inline std::string response(const std::string& element, const std::string& content) {
    return envelope("<" + element + " xmlns=\"kv:zema\">" + content + "</" + element + ">");
}

inline std::string kv(const std::string& key, const std::string& value) {
    return "<item key=\"" + key + "\"><val xsi:type=\"xsd:string\">" + value + "</val></item>";
}

// A record: a dictionary typed as such, as an item of an array.
inline std::string record(const std::vector<std::pair<std::string, std::string>>& members) {
    std::string items;
    for (const auto& [key, value] : members)
        items += kv(key, value);
    return "<item xsi:type=\"PrintService:PropDict\" d=\"0\">" + items + "</item>";
}

inline std::string list(const std::string& field, const std::vector<std::string>& records) {
    std::string items;
    for (const auto& r : records)
        items += r;
    return "<" + field + " d=\"0\">" + items + "</" + field + ">";
}

inline std::string status(const std::string& text, const std::string& field = "status") {
    return "<" + field + ">" + text + "</" + field + ">";
}

} // namespace velmora::test::soap
