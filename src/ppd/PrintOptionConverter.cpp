// Conversion between the internal and the canonical form of option dictionaries.

#include "ppd/PrintOptionConverter.h"

#include "common/EncryptionBridge.h"
#include "platform/foundation/NumberText.h"
#include "platform/foundation/PreferredLanguages.h"
#include "platform/foundation/SystemLog.h"
#include "platform/foundation/TextEncoding.h"
#include "ppd/KeywordPairTable.h"
#include "ppd/OptionDictionary.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <pwd.h>
#include <sstream>
#include <unistd.h>

namespace velmora {

using namespace OptionDictionary;

namespace {

constexpr const char* kPaperTypeShort = "PaperType_MediaTypeTabbed";
constexpr const char* kPaperTypeFull =
    "PaperType_MediaTypeTabbed_MediaTypeCoatingMaterial_MediaTypePreprinted_MediaTypeDrilled_"
    "PaperTypeCustomNumber";
constexpr const char* kPaperTypeBypass =
    "PaperTypeBypass_MediaTypeTabbedBypass_MediaTypeCoatingMaterialBypass_"
    "MediaTypePreprintedBypass_MediaTypeDrilledBypass_PaperTypeCustomNumberBypass";
constexpr const char* kSpotFront = "SpTonerSpecifyColorFront_SpTonerColorFront";
constexpr const char* kSpotBack = "SpTonerSpecifyColorBack_SpTonerColorBack";
constexpr const char* kPasswords[] = {"SecPrintPassword", "RscPassword", "AuthJobPassword"};

const char* const kCepLengths[] = {"ImpositionFormPositionWidth",
                                   "ImpositionFormPositionLength",
                                   "FormPositionWidth",
                                   "FormPositionLength",
                                   "CreasePosition1",
                                   "CreasePosition2",
                                   "CreasePosition3",
                                   "CreasePosition4",
                                   "CreasePosition5",
                                   "TopAndTailTrimFinishSize",
                                   "TopAndTailTrimRearCutSize",
                                   "TopAndTailTrimFrontCutSize",
                                   "TrimmerFinishedSize",
                                   "TrimmerCutSize",
                                   "PrintPositionFrontWidth",
                                   "PrintPositionFrontLength",
                                   "PrintPositionBackWidth",
                                   "PrintPositionBackLength"};
const char* const kCreaseAndTrimLengths[] = {
    "CreasePosition1",           "CreasePosition2",
    "CreasePosition3",           "CreasePosition4",
    "CreasePosition5",           "TopAndTailTrimFinishSize",
    "TopAndTailTrimRearCutSize", "TopAndTailTrimFrontCutSize",
    "TrimmerFinishedSize",       "TrimmerCutSize"};
const char* const kCustomSizeLengths[] = {
    "ChgPrintPaperSizeLength",      "ChgPrintPaperSizeWidth", "ImpositionFormPositionWidth",
    "ImpositionFormPositionLength", "FormPositionWidth",      "FormPositionLength"};
const char* const kPrintPositions[] = {"PrintPositionFrontWidth", "PrintPositionFrontLength",
                                       "PrintPositionBackWidth", "PrintPositionBackLength"};
const char* const kPrintPositionMags[] = {
    "PrintPositionFrontWidthMag", "PrintPositionFrontLengthMag", "PrintPositionBackWidthMag",
    "PrintPositionBackLengthMag"};
const char* const kLineWidths[] = {"HairLineWarningPoint", "MinimumLineWidthValue"};
const char* const kColorReplacements[] = {
    "SpTonerColorReplaceCyanFront",   "SpTonerColorReplaceMagentaFront",
    "SpTonerColorReplaceYellowFront", "SpTonerColorReplaceBlackFront",
    "SpTonerColorReplaceCyanBack",    "SpTonerColorReplaceMagentaBack",
    "SpTonerColorReplaceYellowBack",  "SpTonerColorReplaceBlackBack"};

double number(const std::string& text) {
    return NumberText::leadingReal(text);
}
long long integer(const std::string& text) {
    return NumberText::leadingInteger(text);
}

std::vector<std::string> splitAt(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.emplace_back();
    return parts;
}

template <typename Keys, typename Fn>
void transformEach(Dictionary& options, const Keys& keys, Fn fn) {
    for (const char* key : keys)
        transform(options, key, fn);
}

void joinPair(Dictionary& options, const char* first, const char* second, const char* joined,
              const KeywordPairTable& table) {
    auto a = text(options, first), b = text(options, second);
    if (!a || !b)
        return;
    options.remove(first);
    options.remove(second);
    options.set(joined, table.combine(*a, *b));
}

void splitPair(Dictionary& options, const char* first, const char* second, const char* joined,
               const KeywordPairTable& table) {
    auto combined = text(options, joined);
    if (!combined)
        return;
    auto [a, b] = table.separate(*combined);
    options.remove(joined);
    options.set(first, a);
    options.set(second, b);
}

// ---- Passwords ----

void convertPasswords(Dictionary& options, bool encoding) {
    for (const char* key : kPasswords) {
        auto value = nonEmptyText(options, key);
        if (!value)
            continue;
        char buffer[EncryptionBridge::kOutputBufferSize] = {};
        int status = encoding ? encode(value->c_str(), buffer) : decode(value->c_str(), buffer);
        if (status != 0)
            SystemLog::write(encoding ? "###### encode error" : "###### decode error");
        std::string result(buffer);
        options.set(key, TextEncodings::isValidUtf8(result) ? result : std::string());
    }
}

bool usesDecimalComma() {
    std::string first = PreferredLanguages::first();
    for (const char* code : {"es", "de", "it", "fr"})
        if (first.find(code) != std::string::npos)
            return true;
    return false;
}

std::string loginName() {
    if (const passwd* pw = ::getpwuid(::getuid()))
        return pw->pw_name;
    const char* user = std::getenv("USER");
    return user ? user : "";
}

} // namespace

// ---- Number conversions ----

std::string PrintOptionConverter::convertCepToMm(const std::string& value) {
    return roundDecimal(number(value) * 25.4 / 14400.0, 2);
}

std::string PrintOptionConverter::convertMmToCep(const std::string& value) {
    return roundDecimal(number(value) * 14400.0 / 25.4, 0);
}

std::string PrintOptionConverter::convertZEMAToMag(const std::string& value) {
    return roundDecimal(static_cast<double>(integer(value)) / 10.0 + 100.0, 1);
}

std::string PrintOptionConverter::convertMagToZEMA(const std::string& value) {
    double rounded = NumberText::leadingReal(roundDecimal((number(value) - 100.0) * 10.0, 1));
    return std::to_string(NumberText::saturatingInteger(rounded));
}

// ---- Joins, splits, swaps ----

void PrintOptionConverter::joinKeyword(Dictionary& options, const std::string& joinedMainKeyword) {
    auto keys = splitAt(joinedMainKeyword, '_');
    std::vector<std::string> values;
    for (const auto& key : keys) {
        const Value* value = options.find(key);
        if (!value || (value->isString() && value->string()->empty()))
            return;
        // Any value that is not text (a number too) joins by its Boolean reading.
        values.push_back(value->isString() ? *value->string()
                                           : (value->boolValue() ? "True" : "False"));
    }
    std::string joined;
    for (std::size_t i = 0; i < values.size(); ++i)
        joined += (i ? "_" : "") + values[i];
    for (const auto& key : keys)
        options.remove(key);
    options.set(joinedMainKeyword, joined);
}

void PrintOptionConverter::splitKeyword(Dictionary& options, const std::string& joinedMainKeyword) {
    auto value = nonEmptyText(options, joinedMainKeyword);
    if (!value)
        return;
    auto keys = splitAt(joinedMainKeyword, '_');
    auto parts = splitAt(*value, '_');
    if (keys.size() != parts.size())
        return;
    for (std::size_t i = 0; i < keys.size(); ++i)
        options.set(keys[i], parts[i]);
    options.remove(joinedMainKeyword);
}

void PrintOptionConverter::swapKeywordValue(Dictionary& options, const std::string& key1,
                                            const std::string& key2) {
    Value* a = options.find(key1);
    Value* b = options.find(key2);
    if (a && b)
        std::swap(*a, *b);
}

void PrintOptionConverter::swapCreaseKeyword(Dictionary& options) {
    auto count = nonEmptyText(options, "CreaseNum");
    if (!count)
        return;
    auto swapEntries = [&](int i, int j) {
        for (const char* stem : {"CreasePosition", "CreaseDirection", "CreasePressureLevel"})
            swapKeywordValue(options, stem + std::to_string(i), stem + std::to_string(j));
    };
    switch (integer(*count)) {
    case 2: swapEntries(1, 2); break;
    case 3: swapEntries(1, 3); break;
    case 4: swapEntries(1, 4), swapEntries(2, 3); break;
    case 5: swapEntries(1, 5), swapEntries(2, 4); break;
    default: break;
    }
    auto length = nonEmptyText(options, "ChgPrintPaperSizeLength");
    if (!length)
        return;
    // The difference is written as an unsigned 32-bit number, so it is taken modulo 2^64 (defined
    // for any two numbers) and then cut to 32 bits: the same digits, never an overflow.
    auto sheet = static_cast<std::uint64_t>(integer(*length));
    for (int i = 1; i <= 5; ++i)
        transform(options, "CreasePosition" + std::to_string(i), [&](const std::string& position) {
            auto from = static_cast<std::uint64_t>(integer(position));
            return std::to_string(static_cast<std::uint32_t>(sheet - from));
        });
}

bool PrintOptionConverter::mediaTypeWeightValueExist(const Dictionary& options) {
    return !options.contains("MediaTypeWeightValue");
}

// ---- Special mappings ----

void PrintOptionConverter::joinPunch(Dictionary& options) {
    joinPair(options, "Punch", "PunchHoles", "Punch_PunchHoles", KeywordPairTable::punch());
}
void PrintOptionConverter::splitPunch(Dictionary& options) {
    splitPair(options, "Punch", "PunchHoles", "Punch_PunchHoles", KeywordPairTable::punch());
}
void PrintOptionConverter::joinStaple(Dictionary& options) {
    joinPair(options, "StapleMode", "StapleMechanism", "StapleMode_StapleMechanism",
             KeywordPairTable::staple());
}
void PrintOptionConverter::splitStaple(Dictionary& options) {
    splitPair(options, "StapleMode", "StapleMechanism", "StapleMode_StapleMechanism",
              KeywordPairTable::staple());
}
void PrintOptionConverter::joinOutputOrder(Dictionary& options) {
    joinPair(options, "PageOrder", "OutputMode", "PageOrder_new", KeywordPairTable::outputOrder());
}
void PrintOptionConverter::splitOutputOrder(Dictionary& options) {
    splitPair(options, "PageOrder", "OutputMode", "PageOrder_new", KeywordPairTable::outputOrder());
}

namespace {
const char* const kTwoColorChannelNames[] = {
    "TwoColorPressSimulationCSpotName", "TwoColorPressSimulationMSpotName",
    "TwoColorPressSimulationYSpotName", "TwoColorPressSimulationKSpotName"};
constexpr const char* kTwoColorSpotSpot = "TwoColorPressSimulationSpotSpotName";
} // namespace

void PrintOptionConverter::convertTwoColorNamesToInternal(Dictionary& options) {
    auto spotSpot = text(options, kTwoColorSpotSpot);
    if (!spotSpot || !usesDecimalComma())
        return;
    if (spotSpot->find('.') != std::string::npos)
        options.set(kTwoColorSpotSpot, replaceAll(replaceAll(*spotSpot, ",", ";"), ".", ","));
    for (const char* key : kTwoColorChannelNames)
        if (auto name = text(options, key))
            options.set(key, replaceAll(*name, ".", ","));
}

void PrintOptionConverter::convertTwoColorNamesToCanonical(Dictionary& options) {
    auto spotSpot = text(options, kTwoColorSpotSpot);
    if (!spotSpot || !usesDecimalComma())
        return;
    options.set(kTwoColorSpotSpot, replaceAll(replaceAll(*spotSpot, ",", "."), ";", ","));
    for (const char* key : kTwoColorChannelNames)
        if (auto name = text(options, key))
            options.set(key, replaceAll(*name, ",", "."));
}

void PrintOptionConverter::convertMagnificationToInternal(Dictionary& options) {
    transform(options, "Magnification", [](const std::string& v) {
        return format("%.1f", static_cast<double>(integer(v)) / 10.0);
    });
}

void PrintOptionConverter::convertMagnificationToCanonical(Dictionary& options) {
    transform(options, "Magnification", [](const std::string& v) {
        return std::to_string(NumberText::saturatingInteger(std::round(number(v) * 10.0)));
    });
}

void PrintOptionConverter::convertGraphicsTreatmentToInternal(Dictionary& options) {
    auto base = text(options, "GraphicsTreatmentBase"),
         mode = text(options, "GraphicsTreatmentMode");
    if (!base || !mode)
        return;
    options.set("GraphicsTreatmentEx", *base == "System" ? "System"
                                       : *mode == "Text" ? "JobText"
                                                         : "JobImage");
}

void PrintOptionConverter::convertGraphicsTreatmentToCanonical(Dictionary& options) {
    auto treatment = text(options, "GraphicsTreatmentEx");
    if (!treatment)
        return;
    bool job = *treatment == "JobImage" || *treatment == "JobText";
    options.set("GraphicsTreatmentBase", job ? "Job" : "System");
    options.set("GraphicsTreatmentMode", *treatment == "JobText" ? "Text" : "Image");
}

namespace {
struct ObjectBits {
    const char* suffix;
    long long mask;
};
constexpr ObjectBits kObjectBits[] = {{"Photo", 48}, {"Text", 3}, {"Drawing", 12}};
} // namespace

void PrintOptionConverter::convertSpecifiedObjectToInternal(Dictionary& options) {
    auto front = nonEmptyText(options, "SpTonerOverlayObjectFront");
    auto back = nonEmptyText(options, "SpTonerOverlayObjectBack");
    if (!front || !back)
        return;
    for (const auto& [side, value] : {std::pair{"Front", *front}, std::pair{"Back", *back}}) {
        long long bits = integer(value);
        for (const auto& object : kObjectBits)
            options.set(std::string("SpTonerOverlayObject") + side + object.suffix,
                        (bits & object.mask) == object.mask ? "True" : "False");
    }
}

void PrintOptionConverter::convertSpecifiedObjectToCanonical(Dictionary& options) {
    for (const char* side : {"Front", "Back"}) {
        long long bits = 0;
        for (const auto& object : kObjectBits)
            if (text(options, std::string("SpTonerOverlayObject") + side + object.suffix) ==
                std::optional<std::string>("True"))
                bits |= object.mask;
        options.set(std::string("SpTonerOverlayObject") + side, std::to_string(bits));
    }
}

// ---- Full conversions ----

void PrintOptionConverter::convertToInternalPpdKeyword(Dictionary& options) {
    swapCreaseKeyword(options);
    if (auto type = text(options, "RenderingProfileType"))
        options.set("RenderingProfile",
                    *type == "ICC" || *type == "Measurement" ? "False" : "True");
    convertTwoColorNamesToInternal(options);
    joinPunch(options);
    joinStaple(options);
    joinOutputOrder(options);
    convertPasswords(options, false);
    joinKeyword(options,
                options.contains("MediaTypeWeightValue") ? kPaperTypeShort : kPaperTypeFull);
    joinKeyword(options, kPaperTypeBypass);
    for (const char* key : {"ChgPrintPaperSizeLength", "ChgPrintPaperSizeWidth"})
        transform(options, key, convertCepToMm);
    joinKeyword(options, kSpotFront);
    joinKeyword(options, kSpotBack);
    transformEach(options, kCepLengths, convertCepToMm);
    transformEach(options, kPrintPositionMags, convertZEMAToMag);
    transformEach(options, kLineWidths, [](const std::string& v) {
        return format("%05.3f", static_cast<double>(integer(v)) / 1000.0);
    });
    transformEach(options, kColorReplacements, [](const std::string& v) {
        return format("%.2f", static_cast<double>(integer(v)) / 100.0);
    });
    convertToInternalImpositionKeyword(options);
    setupScaleToFitValue(options);
    convertGraphicsTreatmentToInternal(options);
    convertMagnificationToInternal(options);
    convertSpecifiedObjectToInternal(options);
}

void PrintOptionConverter::convertToCanonicalPpdKeyword(Dictionary& options, bool convertCustom) {
    saveScaleToFitValue(options);
    convertGraphicsTreatmentToCanonical(options);
    convertMagnificationToCanonical(options);
    convertSpecifiedObjectToCanonical(options);
    auto spotProfile = text(options, "SpotColorCorrectionProfile");
    if (spotProfile && (*spotProfile == "Standard" || *spotProfile == "UseOther"))
        options.set("SpotColorCorrectionProfileType", "PrinterStandard");
    if (auto rendering = text(options, "RenderingProfile")) {
        if (*rendering == "True")
            options.set("RenderingProfileType", "PrinterStandard");
        else if (!nonEmptyText(options, "RenderingProfileName") &&
                 text(options, "RenderingProfileType") ==
                     std::optional<std::string>("PrinterStandard"))
            options.set("RenderingProfileType", "ICC");
        options.remove("RenderingProfile");
    }
    convertTwoColorNamesToCanonical(options);
    static const std::pair<const char*, const char*> trays[] = {
        {"KVInputSlot", "StkType"},
        {"BlankPapersFrontTray", "BlankPapersFrontStkType"},
        {"BlankPapersBackTray", "BlankPapersBackStkType"},
        {"SeparatorsTray", "SeparatorsStkType"},
        {"Imposition1stTray", "Imposition1stStkType"},
        {"CoverPageTray", "CoverPageStkType"}};
    for (const auto& [tray, stacking] : trays)
        if (auto value = nonEmptyText(options, tray))
            options.set(stacking, *value == "TrayStk" ? "Name" : "Property");
    splitPunch(options);
    splitStaple(options);
    splitOutputOrder(options);
    if (convertCustom)
        convertPasswords(options, true);
    splitKeyword(options, kPaperTypeShort);
    splitKeyword(options, kPaperTypeFull);
    splitKeyword(options, kPaperTypeBypass);
    if (text(options, "AuthJobUserIdType") == std::optional<std::string>("Login"))
        options.set("AuthJobUserId", loginName());
    options.remove("AuthJobUserIdType");
    splitKeyword(options, kSpotFront);
    splitKeyword(options, kSpotBack);
    if (convertCustom)
        transformEach(options, kCustomSizeLengths, convertMmToCep);
    transformEach(options, kCreaseAndTrimLengths, convertMmToCep);
    if (convertCustom) {
        transformEach(options, kPrintPositions, convertMmToCep);
        transformEach(options, kPrintPositionMags, convertMagToZEMA);
    }
    transformEach(options, kLineWidths, [](const std::string& v) {
        return std::to_string(NumberText::saturatingInteger(std::round(number(v) * 1000.0)));
    });
    transformEach(options, kColorReplacements, [](const std::string& v) {
        return std::to_string(NumberText::saturatingInteger(std::round(number(v) * 100.0)));
    });
    convertToCanonicalImpositionKeyword(options);
    swapCreaseKeyword(options);
}

// ---- Entry points ----

extern "C" {
void ConvertToInternalPpdKeyword(Dictionary* options) {
    if (options)
        PrintOptionConverter::convertToInternalPpdKeyword(*options);
}
void ConvertToCanonicalPpdKeyword(Dictionary* options) {
    if (options)
        PrintOptionConverter::convertToCanonicalPpdKeyword(*options, true);
}
void VelmoraReleaseDictionary(Dictionary* dictionary) {
    delete dictionary;
}
}

} // namespace velmora
