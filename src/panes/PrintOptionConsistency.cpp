#include "panes/PrintOptionConsistency.h"

#include "platform/foundation/NumberText.h"

#include <cstdlib>
#include <functional>

namespace velmora {
namespace {

constexpr std::int64_t kLargestPage = 200000;

// The options as the rules read them: every value as a string.
class OptionView {
public:
    explicit OptionView(const Dictionary& options) : _options(options) {}

    std::string text(const std::string& key) const {
        const Value& value = _options.get(key);
        if (const std::string* text = value.string())
            return *text;
        if (value.isNull())
            return {};
        return value.boolValue() ? "True" : "False";
    }
    bool isSet(const std::string& key) const { return !text(key).empty(); }
    bool is(const std::string& key, const std::string& wanted) const {
        return isSet(key) && text(key) == wanted;
    }

private:
    const Dictionary& _options;
};

struct Rule {
    std::function<bool(const OptionView&)> holds;
    const char* message;
};

// A mode that needs a companion value: "when key is value, companion must be set".
Rule needs(std::string key, std::string value, std::string companion, const char* message) {
    return {[=](const OptionView& o) { return o.is(key, value) && !o.isSet(companion); }, message};
}

const std::vector<Rule>& rules() {
    static const std::vector<Rule> table = {
        needs("SecPrint", "True", "SecPrintPassword", "Alert_SecPrintPassword"),
        needs("MailNotifyJobEnd", "True", "MailAddress", "Alert_MailAddress"),
        {[](const OptionView& o) {
             return o.is("AuthJob", "True") &&
                    (!o.isSet("AuthJobUserIdType") || o.is("AuthJobUserIdType", "ID")) &&
                    !o.isSet("AuthJobUserId");
         },
         "Alert_AuthJobUserId"},
        needs("KVInputSlot", "TrayStk", "StkName", "Alert_StkName"),
        needs("PhysicalPageRangeMode", "Appoint", "PhysicalPageRange", "Alert_PhysicalPageRange"),
        {[](const OptionView& o) {
             return o.isSet("RecordDiv") && !o.is("RecordDiv", "Off") &&
                    o.is("RecordSpec", "True") && !o.isSet("RecordSpecNumber");
         },
         "Alert_RecordSpecNumber"},
        needs("LogicalPageRangeMode", "Appoint", "LogicalPageRange", "Alert_LogicalPageRange"),
        needs("BlankPapersFrontTray", "TrayStk", "BlankPapersFrontStkName",
              "Alert_BlankPapersFrontStkName"),
        needs("BlankPapersBackTray", "TrayStk", "BlankPapersBackStkName",
              "Alert_BlankPapersBackStkName"),
        needs("SeparatorsTray", "TrayStk", "SeparatorsStkName", "Alert_SeparatorsStkName"),
        {[](const OptionView& o) {
             return (o.is("ImpositionMode", "Template") ||
                     o.is("ImpositionMode_ImpositionCustomMode", "Template")) &&
                    !o.isSet("ImpositionTemplate");
         },
         "Alert_ImpositionTemplate"},
        needs("Imposition1stTray", "TrayStk", "Imposition1stStkName", "Alert_Imposition1stStkName"),
        needs("ImpositionVariablePrintMode", "UseForm", "ImpositionFormName",
              "Alert_ImpositionFormName"),
        needs("ImpositionPaginationMode", "Template", "ImpositionPaginationTemplate",
              "Alert_ImpositionPaginationTemplate"),
        needs("ImpositionWaterMark", "True", "ImpositionWaterMarkName",
              "Alert_ImpositionWaterMarkName"),
        needs("PaginationMode", "Template", "PaginationTemplate", "Alert_PaginationTemplate"),
        needs("VariablePrintMode", "UseForm", "FormName", "Alert_FormName"),
        needs("WaterMark", "True", "WaterMarkName", "Alert_WaterMarkName"),
        needs("ColorPatch", "True", "ColorPatchFile", "Alert_ColorPatchFile"),
        needs("OptionMemo", "True", "OptionMemoFile", "Alert_OptionMemoFile"),
        needs("UserDefineMemo", "True", "UserDefineMemoFile", "Alert_UserDefineMemoFile"),
        needs("MemoComment", "True", "MemoCommentContent", "Alert_MemoCommentContent"),
        {[](const OptionView& o) {
             return o.is("CmykColorCorrection", "True") &&
                    o.is("CmykColorCorrectionProfileType", "DeviceLink") &&
                    !o.isSet("CmykDeviceLinkProfile");
         },
         "Alert_CmykDeviceLinkProfile"},
        {[](const OptionView& o) {
             return o.is("CmykColorCorrection", "True") &&
                    o.is("CmykColorCorrectionProfileType", "Profile") &&
                    !o.isSet("CmykImageProfileName");
         },
         "Alert_CmykImageProfileName"},
        {[](const OptionView& o) {
             return o.is("RgbColorCorrection", "True") && o.is("RgbImageCcMode", "Custom") &&
                    !o.isSet("RgbImageCcModeCustomName");
         },
         "Alert_RgbImageCcModeCustomName"},
        {[](const OptionView& o) {
             return o.is("SpotColorCorrection", "True") &&
                    o.is("SpotColorCorrectionProfile", "Profile") &&
                    !o.isSet("SpotColorCorrectionProfileName");
         },
         "Alert_SpotColorCorrectionProfileName"},
        {[](const OptionView& o) {
             return (o.is("RenderingProfile", "False") ||
                     (o.isSet("RenderingProfileType") &&
                      !o.is("RenderingProfileType", "PrinterStandard"))) &&
                    !o.isSet("RenderingProfileName");
         },
         "Alert_RenderingProfileName"},
        needs("ImageUserAdjust", "True", "ImageUserAdjustName", "Alert_ImageUserAdjustName"),
        needs("ImageTonerCurve", "True", "ImageTonerCurveName", "Alert_ImageTonerCurveName"),
        needs("TextUserAdjust", "True", "TextUserAdjustName", "Alert_TextUserAdjustName"),
        needs("TextTonerCurve", "True", "TextTonerCurveName", "Alert_TextTonerCurveName"),
        needs("ImageCalibrationType", "File", "ImageCalibration", "Alert_ImageCalibration"),
        needs("TextCalibrationType", "File", "TextCalibration", "Alert_TextCalibration"),
        needs("ReplaceColorSettings", "True", "ReplaceColorSettingsName",
              "Alert_ReplaceColorSettingsName"),
        needs("TrappingProcessMode", "Template", "TrappingProcessFile",
              "Alert_TrappingProcessFile"),
    };
    return table;
}

// The keys and messages of one side's special toner rules.
struct SpecialTonerSide {
    const char* rangeMode;
    const char* range;
    const char* rangeMissing;
    const char* rangeIncorrect;
    const char* rangeTooLarge;
    const char* plateReplace;
    const char* spotName;
    const char* spotMissing;
    const char* overlay;
    const char* overlayMode;
    const char* objects[3];
    const char* noObject;
};

constexpr SpecialTonerSide kFront = {"SpTonerPageRangeModeFront",
                                     "SpTonerPageRangeFront",
                                     "Alert_SpTonerPageRangeFront",
                                     "Alert_SpTonerPageRangeFront_Incorrect",
                                     "Alert_SpTonerPageRangeFront_MaxPage",
                                     "SpTonerPlateReplaceSpotFront",
                                     "SpTonerPlateReplaceSpotNameFront",
                                     "Alert_PlateReplaceSpotFront",
                                     "SpTonerOverlayFront",
                                     "SpTonerOverlayModeFront",
                                     {"SpTonerOverlayObjectFrontPhoto",
                                      "SpTonerOverlayObjectFrontText",
                                      "SpTonerOverlayObjectFrontDrawing"},
                                     "Alert_SpecifiedObjectFront"};

constexpr SpecialTonerSide kBack = {"SpTonerPageRangeModeBack",
                                    "SpTonerPageRangeBack",
                                    "Alert_SpTonerPageRangeBack",
                                    "Alert_SpTonerPageRangeBack_Incorrect",
                                    "Alert_SpTonerPageRangeBack_MaxPage",
                                    "SpTonerPlateReplaceSpotBack",
                                    "SpTonerPlateReplaceSpotNameBack",
                                    "Alert_PlateReplaceSpotBack",
                                    "SpTonerOverlayBack",
                                    "SpTonerOverlayModeBack",
                                    {"SpTonerOverlayObjectBackPhoto",
                                     "SpTonerOverlayObjectBackText",
                                     "SpTonerOverlayObjectBackDrawing"},
                                    "Alert_SpecifiedObjectBack"};

void addOnce(std::vector<std::string>& problems, const std::string& message) {
    for (const auto& problem : problems) {
        if (problem == message)
            return;
    }
    problems.push_back(message);
}

void checkSpecialTonerSide(const OptionView& o, const SpecialTonerSide& side,
                           std::vector<std::string>& problems) {
    if (o.is(side.rangeMode, "Appoint")) {
        if (!o.isSet(side.range)) {
            addOnce(problems, side.rangeMissing);
        } else {
            int check = PrintOptionConsistency::checkPageRangeForSpecialToner(o.text(side.range));
            if (check == PrintOptionConsistency::kPageRangeIncorrect)
                addOnce(problems, side.rangeIncorrect);
            else if (check == PrintOptionConsistency::kPageRangeTooLarge)
                addOnce(problems, side.rangeTooLarge);
        }
    }
    if (o.is(side.plateReplace, "Specified") && !o.isSet(side.spotName))
        addOnce(problems, side.spotMissing);
    if (o.is(side.overlay, "True") && o.is(side.overlayMode, "SpecifiedObject") &&
        o.is(side.objects[0], "False") && o.is(side.objects[1], "False") &&
        o.is(side.objects[2], "False"))
        addOnce(problems, side.noObject);
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at - start));
        if (at == std::string::npos)
            return parts;
        start = at + 1;
    }
}

} // namespace

std::vector<std::string> PrintOptionConsistency::problems(const Dictionary& options) {
    OptionView view(options);
    std::vector<std::string> found;
    for (const Rule& rule : rules()) {
        if (rule.holds(view))
            addOnce(found, rule.message);
    }
    if (view.is("UseSpToner", "True")) {
        std::string mode = view.text("SpTonerUseMode");
        if (mode == "All" || mode == "SpFront")
            checkSpecialTonerSide(view, kFront, found);
        if (mode == "All" || mode == "SpBack")
            checkSpecialTonerSide(view, kBack, found);
    }
    return found;
}

std::vector<std::string> PrintOptionConsistency::messageKeys() {
    std::vector<std::string> keys;
    for (const Rule& rule : rules())
        keys.push_back(rule.message);
    for (const SpecialTonerSide* side : {&kFront, &kBack})
        keys.insert(keys.end(), {side->rangeMissing, side->rangeIncorrect, side->rangeTooLarge,
                                 side->spotMissing, side->noObject});
    return keys;
}

int PrintOptionConsistency::checkPageRangeForSpecialToner(const std::string& range) {
    std::vector<std::int64_t> pages;
    for (const std::string& part : split(range, ',')) {
        if (NumberText::leadingInteger(part) == 0)
            return kPageRangeIncorrect;
        std::vector<std::string> pieces = split(part, '-');
        if (pieces.size() > 2)
            return kPageRangeIncorrect;
        for (const std::string& piece : pieces) {
            if (piece.empty())
                continue;
            std::int64_t page = NumberText::leadingInteger(piece);
            pages.push_back(page);
            // Saturated values are never negated: their size alone decides.
            if (page > kLargestPage || page < -kLargestPage)
                return kPageRangeTooLarge;
        }
    }
    for (std::size_t i = 1; i < pages.size(); ++i) {
        if (pages[i - 1] > pages[i])
            return kPageRangeIncorrect;
    }
    return kPageRangeValid;
}

} // namespace velmora
