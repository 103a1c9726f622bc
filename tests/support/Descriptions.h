#pragma once

#include "controls/ZEMAUI.h"
#include "platform/foundation/PropertyList.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace velmora::test {

// A dictionary written as the inside of an XML property list: "<key>a</key><string>b</string>".
inline Dictionary plistDictionary(const std::string& entries) {
    auto value = PropertyList::parse("<plist><dict>" + entries + "</dict></plist>");
    EXPECT_TRUE(value) << entries;
    return value ? *value->dictionary() : Dictionary();
}

// XML for a choices array: choices("A", "Text A", "B", "Text B").
template <typename... Texts> std::string choices(Texts... pairs) {
    const char* items[] = {pairs...};
    std::string xml = "<key>choices</key><array>";
    for (std::size_t i = 0; i + 1 < sizeof...(pairs); i += 2)
        xml += std::string("<dict><key>choice</key><string>") + items[i] +
               "</string><key>text</key><string>" + items[i + 1] + "</string></dict>";
    return xml + "</array>";
}

// Builds a control from description entries, 400 wide and 72 high, children looked up in
// settings when given.
inline std::shared_ptr<ZEMAUI> buildControl(const std::string& entries,
                                            std::shared_ptr<const Dictionary> settings = nullptr,
                                            double width = 400) {
    auto control = std::make_shared<ZEMAUI>(ui::Rect::make(0, 0, width, 72));
    control->setControlDictionary(plistDictionary(entries), nullptr);
    control->setUISettings(settings ? settings : std::make_shared<const Dictionary>());
    control->createControls();
    return control;
}

} // namespace velmora::test
