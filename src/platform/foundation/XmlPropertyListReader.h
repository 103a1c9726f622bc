#pragma once

#include "platform/foundation/Value.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Reads an XML property list in one streaming pass over libxml2's SAX interface: no tree of
// the document is built, no network is used, no document type declaration or entity definition
// is accepted, and nesting is counted as the elements arrive.
class XmlPropertyListReader {
public:
    XmlPropertyListReader(std::string_view bytes, int maxNesting);

    // The top value, or null with a one-line reason in error.
    std::optional<Value> read(std::string* error);

    // Events from the parser.
    void startElement(std::string_view name);
    void endElement(std::string_view name);
    void characters(std::string_view text);
    void refuse(std::string reason);

    enum class Element { Plist, Array, Dict, Key, String, Integer, Real, Date, Data, True, False };

private:
    struct Container {
        bool isDictionary = false;
        // Its items (an array's) or entries (a dictionary's), from here to the end of _items
        // or _entries.
        std::size_t first = 0;
        std::optional<std::string> key;
    };

    std::string_view _bytes;
    int _maxNesting;
    void* _parser = nullptr;
    std::vector<Element> _elements; // the open elements, outermost first
    std::vector<Container> _open;
    // The items of every open array and the entries of every open dictionary, innermost last:
    // a container is made once, at its size, when it closes (a list of pairs would otherwise
    // grow each pair twice, and a large dictionary rebuild its key index as it grows).
    std::vector<Value> _items;
    std::vector<Dictionary::Entry> _entries;
    std::string _text;
    std::optional<Value> _root;
    std::string _error;

    void finishContainer();
    void finishScalar(Element element);
    // The value of a scalar element's text; null with what is wrong with it.
    std::optional<Value> scalarValue(Element element, std::string& problem);
    void add(Value value);
};

} // namespace velmora
