#include "controls/ControlDescription.h"

#include "platform/foundation/NumberText.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>

namespace velmora {
namespace {

bool isNumberText(const std::string& text) {
    if (text.empty())
        return false;
    std::size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    bool digits = false, point = false;
    for (; i < text.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(text[i])))
            digits = true;
        else if (text[i] == '.' && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

const char* typeName(const Value& v) {
    switch (v.type()) {
    case Value::Type::Null: return "nothing";
    case Value::Type::Boolean: return "a Boolean";
    case Value::Type::Integer: return "an integer";
    case Value::Type::Real: return "a real";
    case Value::Type::String: return "a string";
    case Value::Type::Date: return "a date";
    case Value::Type::Data: return "data";
    case Value::Type::Array: return "an array";
    case Value::Type::Dictionary: return "a dictionary";
    }
    return "something else";
}

class ProblemList {
public:
    ProblemList(const std::string& name) : _name(name) {}
    void add(const std::string& key, const std::string& what) {
        _problems.push_back(_name + ": \"" + key + "\" " + what);
    }
    std::vector<std::string> take() { return std::move(_problems); }

private:
    std::string _name;
    std::vector<std::string> _problems;
};

void checkTypes(const Dictionary& d, ProblemList& list) {
    static const char* const textKeys[] = {"mainKeyword",
                                           "control_type",
                                           "text",
                                           "text_for_message",
                                           "head_text",
                                           "desc_text",
                                           "button_text",
                                           "defchoice",
                                           "default",
                                           "groupIcon",
                                           "groupTitle",
                                           "text_type",
                                           "other_controls_enable_choice",
                                           "icon",
                                           "min_icon",
                                           "max_icon",
                                           "min_icon_text",
                                           "max_icon_text"};
    for (const char* key : textKeys) {
        const Value& v = d.get(key);
        if (!v.isNull() && !v.isString() && !v.isNumber())
            list.add(key, std::string("must be a string, not ") + typeName(v));
    }
    static const char* const arrayKeys[] = {"choices", "other_controls", "other_controls_ww",
                                            "onlytitle", "disableForPDE"};
    for (const char* key : arrayKeys) {
        const Value& v = d.get(key);
        if (!v.isNull() && !v.isArray())
            list.add(key, std::string("must be an array, not ") + typeName(v));
    }
    static const char* const dictionaryKeys[] = {"conflict",    "unrestorable_conflict",
                                                 "condition",   "logical_sum_condition",
                                                 "cooperation", "hide"};
    for (const char* key : dictionaryKeys) {
        const Value& v = d.get(key);
        if (!v.isNull() && !v.isDictionary())
            list.add(key, std::string("must be a dictionary, not ") + typeName(v));
    }
    static const char* const integerKeys[] = {"head_text_width", "blank_line_count", "max_digit",
                                              "indent_count"};
    for (const char* key : integerKeys) {
        const Value& v = d.get(key);
        if (!v.isNull() && !v.isNumber() && !(v.isString() && isNumberText(*v.string())))
            list.add(key, std::string("must be a number, not ") + v.toJson());
    }
}

void checkChoices(const Dictionary& d, ProblemList& list) {
    const Array* choices = d.get("choices").array();
    if (!choices)
        return;
    for (std::size_t i = 0; i < choices->size(); ++i) {
        const Dictionary* choice = (*choices)[i].dictionary();
        std::string where = "choices[" + std::to_string(i) + "]";
        if (!choice) {
            list.add(where, "must be a dictionary");
            continue;
        }
        const Value& value = choice->get("choice");
        if (!value.isString() && !choice->contains("separator"))
            list.add(where, "has no \"choice\" string");
    }
    if (ControlDescription::kindOf(d.get("control_type").stringValue()) == ControlKind::CheckBox &&
        choices->size() != 2)
        list.add("choices",
                 "of a CheckBox must hold exactly two choices (checked, unchecked), not " +
                     std::to_string(choices->size()));
}

void checkKindAndRanges(const Dictionary& d, ProblemList& list) {
    const Value& kindValue = d.get("control_type");
    std::string type = kindValue.stringValue();
    ControlKind kind = ControlDescription::kindOf(type);
    if (kindValue.isString() && kind == ControlKind::LabelsOnly)
        list.add("control_type",
                 "\"" + type + "\" is not a control kind; only the labels are built");
    bool ranged = kind == ControlKind::NumberField ||
                  (kind == ControlKind::Slider && !d.get("choices").isArray());
    for (const char* key : {"min", "max"}) {
        const Value& v = d.get(key);
        if (ranged && !v.isNull() && !v.isNumber() && !(v.isString() && isNumberText(*v.string())))
            list.add(key, "must be a number, not " + v.toJson());
    }
    if (kind == ControlKind::NumberField && (d.get("min").isNull() || d.get("max").isNull()))
        list.add(d.get("min").isNull() ? "min" : "max", "is missing: a number field needs a range");
    if ((kind == ControlKind::PopupButton || kind == ControlKind::RadioButton ||
         kind == ControlKind::HRadioButton) &&
        !d.get("choices").isArray())
        list.add("choices", "is missing: a " + type + " needs choices");
}

} // namespace

ControlDescription::ControlDescription() : _d(noConstraint()) {}

ControlDescription::ControlDescription(Dictionary description)
    : _d(std::make_shared<const Dictionary>(std::move(description))) {}

ControlDescription::ControlDescription(std::shared_ptr<const Dictionary> description)
    : _d(description ? std::move(description) : noConstraint()) {}

ControlKind ControlDescription::kindOf(std::string_view controlType) {
    static const std::pair<std::string_view, ControlKind> kNamed[] = {
        {"CheckBox", ControlKind::CheckBox},
        {"RadioButton", ControlKind::RadioButton},
        {"HRadioButton", ControlKind::HRadioButton},
        {"PopupButton", ControlKind::PopupButton},
        {"Slider", ControlKind::Slider},
        {"TextField_number", ControlKind::NumberField},
        {"TextField_text", ControlKind::TextField},
        {"SecureTextField_text", ControlKind::SecureTextField},
        {"DatePicker", ControlKind::DatePicker},
    };
    for (const auto& [name, kind] : kNamed)
        if (name == controlType)
            return kind;
    return ControlKind::LabelsOnly;
}

std::string ControlDescription::text(std::string_view key, const std::string& fallback) const {
    const Value& v = _d->get(key);
    if (v.isString() || v.isNumber())
        return v.stringValue();
    return fallback;
}

std::optional<std::string> ControlDescription::optionalText(std::string_view key) const {
    const Value& v = _d->get(key);
    if (v.isString() || v.isNumber())
        return v.stringValue();
    return std::nullopt;
}

long ControlDescription::integer(std::string_view key, long fallback) const {
    const Value& v = _d->get(key);
    if (v.isNumber() || v.isString())
        return static_cast<long>(v.integerValue());
    return fallback;
}

std::vector<ControlChoice> ControlDescription::choices() const {
    std::vector<ControlChoice> result;
    if (const Array* choices = _d->get("choices").array())
        for (const Value& entry : *choices)
            if (const Dictionary* choice = entry.dictionary())
                result.push_back({choice->get("choice").stringValue(),
                                  choice->get("text").stringValue(),
                                  choice->contains("separator")});
    return result;
}

std::vector<std::string> ControlDescription::keywords(std::string_view key) const {
    std::vector<std::string> result;
    if (const Array* list = _d->get(key).array())
        for (const Value& entry : *list)
            if (entry.isString())
                result.push_back(*entry.string());
    return result;
}

std::shared_ptr<const Dictionary> ControlDescription::constraint(std::string_view key) const {
    const Dictionary* d = _d->get(key).dictionary();
    return d ? std::shared_ptr<const Dictionary>(_d, d) : noConstraint();
}

std::shared_ptr<const Dictionary> ControlDescription::noConstraint() {
    static const auto empty = std::make_shared<const Dictionary>();
    return empty;
}

bool ControlDescription::isNonEmptyArray(std::string_view key) const {
    const Array* a = _d->get(key).array();
    return a && !a->empty();
}

std::vector<std::string> ControlDescription::problems(const Value& description,
                                                      const std::string& name) {
    ProblemList list(name);
    const Dictionary* d = description.dictionary();
    if (!d) {
        list.add("(description)",
                 std::string("must be a dictionary, not ") + typeName(description));
        return list.take();
    }
    if (!d->get("mainKeyword").isString())
        list.add("mainKeyword", "is missing: the control edits no option");
    checkTypes(*d, list);
    checkChoices(*d, list);
    checkKindAndRanges(*d, list);
    return list.take();
}

namespace DateString {

double now() {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

std::optional<double> secondsSince1970(const std::string& text, double currentTime) {
    if (text.empty())
        return std::nullopt;
    if (text.starts_with("now"))
        return currentTime + NumberText::leadingReal(std::string_view(text).substr(3));
    return NumberText::leadingReal(text);
}

} // namespace DateString
} // namespace velmora
