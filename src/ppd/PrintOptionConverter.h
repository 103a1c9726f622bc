#pragma once

#include "platform/foundation/Value.h"

#include <functional>
#include <optional>
#include <string>

namespace velmora {

// Converts option dictionaries between the panel's internal form (one key per control, user
// units, combined keys), the canonical PPD form (the PPD's keywords, lengths in CEP, passwords
// encoded) and the input-manager form that favorite files store (tag key → tag value).
class PrintOptionConverter {
public:
    // ---- Internal ↔ canonical, in place ----
    static void convertToInternalPpdKeyword(Dictionary& options);
    // With convertCustom false the password encoding and the unit conversions of the custom
    // sizes and print positions are skipped.
    static void convertToCanonicalPpdKeyword(Dictionary& options, bool convertCustom);

    // Building blocks
    static void joinKeyword(Dictionary& options, const std::string& joinedMainKeyword);
    static void splitKeyword(Dictionary& options, const std::string& joinedMainKeyword);
    static void swapKeywordValue(Dictionary& options, const std::string& key1,
                                 const std::string& key2);
    static void swapCreaseKeyword(Dictionary& options);
    static std::string convertCepToMm(const std::string& value);
    static std::string convertMmToCep(const std::string& value);
    static std::string convertZEMAToMag(const std::string& value);
    static std::string convertMagToZEMA(const std::string& value);
    // True when "MediaTypeWeightValue" is absent (the name says the opposite; callers rely on it).
    static bool mediaTypeWeightValueExist(const Dictionary& options);
    static void convertMagnificationToInternal(Dictionary& options);
    static void convertMagnificationToCanonical(Dictionary& options);
    static void convertGraphicsTreatmentToInternal(Dictionary& options);
    static void convertGraphicsTreatmentToCanonical(Dictionary& options);
    static void convertSpecifiedObjectToInternal(Dictionary& options);
    static void convertSpecifiedObjectToCanonical(Dictionary& options);
    static void joinPunch(Dictionary& options);
    static void splitPunch(Dictionary& options);
    static void joinStaple(Dictionary& options);
    static void splitStaple(Dictionary& options);
    static void joinOutputOrder(Dictionary& options);
    static void splitOutputOrder(Dictionary& options);
    static void convertTwoColorNamesToInternal(Dictionary& options);
    static void convertTwoColorNamesToCanonical(Dictionary& options);

    // ---- Imposition ----
    static void convertToInternalImpositionKeyword(Dictionary& options);
    static void convertToCanonicalImpositionKeyword(Dictionary& options);
    static void setupScaleToFitValue(Dictionary& options);
    static void saveScaleToFitValue(Dictionary& options);
    static void convertImpositionSheetSize(Dictionary& options);
    static void restoreDefaultSettigImposition(Dictionary& options,
                                               const std::string& impositionMode);
    // "width" and "height" in CEP; null for an unknown size keyword.
    static std::optional<Dictionary> getCepSizeFromPaperSizeType(const std::string& paperSize);
    static std::string getImpositionFinishedSheetDirection(const std::string& paperSize);

    // ---- Input-manager format ----
    using TableLocator = std::function<std::optional<std::string>()>;
    static PrintOptionConverter& sharedInstance();
    // Where the convert table is; by default the plug-in bundle's resource named by the
    // "convertTableFileName" of its "miscellaneous" information.
    void setConvertTableLocator(TableLocator locator) { _locator = std::move(locator); }
    // The table, read from disk on every call; null when it is missing.
    std::optional<Dictionary> convertTable() const;
    Dictionary toInputMgrFormat(const Dictionary* options) const;
    Dictionary toPpdKeywordFormat(const Dictionary* inputManager) const;
    std::optional<Value> inputMgrTagValue(const std::string& mainKeyword, const Value& value) const;

private:
    TableLocator _locator;
};

// Entry points for other components of the driver. The two format translations return a new
// dictionary that the caller releases with VelmoraReleaseDictionary; null for null.
extern "C" {
void ConvertToInternalPpdKeyword(velmora::Dictionary* options);
void ConvertToCanonicalPpdKeyword(velmora::Dictionary* options);
velmora::Dictionary* ToInputMgrFormat(const velmora::Dictionary* options);
velmora::Dictionary* ToPpdKeywordFormat(const velmora::Dictionary* inputManager);
void VelmoraReleaseDictionary(velmora::Dictionary* dictionary);
}

} // namespace velmora
