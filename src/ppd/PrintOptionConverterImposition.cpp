// Imposition: the panel's few n-up and booklet settings ↔ the driver's full layout description.

#include "ppd/OptionDictionary.h"
#include "ppd/PrintOptionConverter.h"

#include "platform/foundation/NumberText.h"

#include <algorithm>
#include <map>

namespace velmora {

using namespace OptionDictionary;

namespace {

constexpr const char* kMode = "ImpositionMode_ImpositionCustomMode";
constexpr const char* kPages = "ImpositionNup_NumOfPages";
constexpr const char* kBinding = "ImpositionBooklet_LayoutBaseFile";
constexpr const char* kCreep = "ImpositionBooklet_CreepTotalOffset";
constexpr const char* kNupFitting = "ImpositionNup_Fitting";
constexpr const char* kBookletFitting = "ImpositionBooklet_Fitting";
constexpr const char* kRightBinding = "SaddleStiching2x1(RightBinding).json";
constexpr const char* kLeftBinding = "SaddleStiching2x1(LeftBinding).json";

struct CepSize {
    const char* name;
    long width;
    long height;
};

// Exact sizes in CEP; most are one more than the integer part of the exact conversion.
constexpr CepSize kPaperSizes[] = {
    {"A3", 168378, 238111},
    {"A4LEF", 168378, 119056},
    {"A4SEF", 119056, 168378},
    {"A5", 83906, 119056},
    {"B4", 145701, 206363},
    {"B5LEF", 145701, 103182},
    {"B5SEF", 103182, 145701},
    {"B6", 72567, 103182},
    {"80x100LEF", 144001, 115201},
    {"80x100SEF", 115201, 144001},
    {"85x110LEF", 158401, 122401},
    {"85x110SEF", 122401, 158401},
    {"85x130", 122401, 187201},
    {"85x140", 122401, 201601},
    {"110x170", 158401, 244801},
    {"120x180", 172801, 259201},
    {"126x177", 181418, 255119},
    {"Hagaki", 56693, 83906},
    {"DoublePostcardSEF", 83906, 113386},
    {"A2LEF", 336756, 238111},
    {"B3LEF", 291969, 206363},
    {"A4Booklet", 168378, 119056},
    {"B5Booklet", 145701, 103182},
    {"A5Booklet", 119056, 83906},
    {"85x110Booklet", 158401, 122401},
    {"A5LEF", 119056, 83906},
    {"130x180", 187201, 259201},
    {"A6", 59528, 83906},
    {"126x192", 181418, 276332},
    {"260x180", 374401, 259201},
    {"130x190", 187201, 273601},
    {"Envchou3SEF", 68032, 133229},
    {"A6Booklet", 83906, 59528},
    {"B6Booklet", 103182, 72567},
    {"8Kai", 151371, 219969},
    {"16KaiLEF", 151371, 109985},
    {"Envkaku2SEF", 136063, 188221},
    {"16Kai", 109985, 151371},
    {"8KaiC", 153071, 221103},
    {"16KaiC", 110552, 153071},
    {"16KaiLEFC", 153071, 110552},
    {"Envkaku20", 129827, 183686},
    {"Envkaku6", 91843, 129827},
    {"260x190", 374401, 273601},
    {"Kikuban16LEF", 132662, 90142},
    {"Kikuban16SEF", 90142, 132662},
    {"Kikuban8LEF", 180284, 132662},
    {"Kikuban8SEF", 132662, 180284},
    {"Kikuban4SEF", 180284, 265890},
    {"Shirokuban16LEF", 154205, 111686},
    {"Shirokuban16SEF", 111686, 154205},
    {"Shirokuban8SEF", 154205, 223371},
    {"Envkaku1SEF", 153071, 216567},
    {"Envkaku3LEF", 157040, 122457},
    {"Envkaku3SEF", 122457, 157040},
    {"Envyou2SEF", 64630, 91843},
    {"Envyou3SEF", 55560, 83906},
    {"Envyou4SEF", 59528, 133229},
    {"Envyouchou3LEF", 133229, 68032},
    {"Envyouchou3SEF", 68032, 133229},
    {"Envkaku7SEF", 80504, 116221},
    {"Envkaku8SEF", 67465, 111686},
    {"Envyou6SEF", 55560, 107717},
    {"Envchou1SEF", 80504, 188221},
    {"Envchou2SEF", 67465, 157040},
};

constexpr const char* kLandscapeFinishedSizes[] = {
    "A4LEF",   "B5LEF",        "80x100LEF",   "85x110LEF",       "A2LEF",
    "B3LEF",   "A4Booklet",    "B5Booklet",   "A5Booklet",       "85x110Booklet",
    "A5LEF",   "260x180",      "A6Booklet",   "B6Booklet",       "16KaiLEF",
    "260x190", "Kikuban16LEF", "Kikuban8LEF", "Shirokuban16LEF", "Envkaku3LEF"};

// Layouts of n-up page counts: repeat X _ repeat Y _ sheet direction.
struct NupLayout {
    const char* pages;
    const char* portrait;
    const char* other;
    int heightOfLong; // height = LONG / n when > 0, else SHORT / -n
    int widthOfLong;  // width = LONG / n when > 0, else SHORT / -n
};
constexpr NupLayout kNupLayouts[] = {
    {"2up", "2_1_Landscape", "1_2_Portrait", -1, 2},
    {"4up", "2_2_Portrait", "2_2_Landscape", 2, -2},
    {"8up", "4_2_Landscape", "2_4_Portrait", -2, 4},
    {"16up", "4_4_Portrait", "4_4_Landscape", 4, -4},
    {"32up", "8_4_Landscape", "4_8_Portrait", -4, 8},
};

long long part(long long longSide, long long shortSide, int divisor) {
    return divisor > 0 ? longSide / divisor : shortSide / -divisor;
}

const char* const kImpositionDetails[] = {
    "LayoutRepeatX",   "LayoutRepeatY",    "LayoutBaseFile",      "CreepSetting",
    "BackMargin",      "CreepTotalOffset", "CreepInitialOffsetX", "FinishSheetDirection",
    "FinishFixedForm", "FinishedSizeName", "FinishedSizeHeight",  "FinishedSizeWidth",
    "SheetDirection",  "FixedForm",        "SheetSizeName",       "SheetSizeHeight",
    "SheetSizeWidth"};

std::string nupPagesOf(const std::string& layout) {
    for (const auto& nup : kNupLayouts)
        if (layout == nup.portrait || layout == nup.other)
            return nup.pages;
    return "2up";
}

std::string combinedMode(const std::string& mode, const std::string& custom) {
    if (mode == "Off" || mode == "Template")
        return mode;
    if (mode == "Job" && (custom == "Nup" || custom == "Booklet"))
        return custom;
    return "Off";
}

// The sheet's long and short side in CEP, from the custom size or the paper size table.
std::optional<std::pair<long long, long long>> sheetSides(const Dictionary& options) {
    auto type = text(options, "ChgPrintPaperSizeType").value_or("");
    long long length = 0, width = 0;
    if (type == "Custom") {
        length = NumberText::leadingInteger(text(options, "ChgPrintPaperSizeLength").value_or(""));
        width = NumberText::leadingInteger(text(options, "ChgPrintPaperSizeWidth").value_or(""));
    } else {
        auto size = PrintOptionConverter::getCepSizeFromPaperSizeType(type);
        if (!size)
            return std::nullopt;
        length = size->get("height").integerValue();
        width = size->get("width").integerValue();
    }
    return std::make_pair(std::max(length, width), std::min(length, width));
}

using FinishedSize = std::optional<std::pair<long long, long long>>; // height, width

// The finished sheet is always described; its sizes only when the paper's are known (a paper
// size outside the table, "NoChange" among them, has none).
void setFinishedSize(Dictionary& options, const std::string& direction, const FinishedSize& size) {
    options.set("FinishSheetDirection", direction);
    options.set("FinishFixedForm", "Custom");
    options.set("FinishedSizeName", "");
    if (!size)
        return;
    options.set("FinishedSizeHeight", std::to_string(size->first));
    options.set("FinishedSizeWidth", std::to_string(size->second));
}

void nupToCanonical(Dictionary& options,
                    const std::optional<std::pair<long long, long long>>& sides) {
    auto orientation = text(options, "DocumentOrientation").value_or("");
    std::string direction = orientation == "Portrait" || orientation == "Landscape"
                                ? orientation
                                : PrintOptionConverter::getImpositionFinishedSheetDirection(
                                      text(options, "ChgPrintPaperSizeType").value_or(""));
    auto pages = text(options, kPages).value_or("");
    auto nup = std::find_if(std::begin(kNupLayouts), std::end(kNupLayouts),
                            [&](const NupLayout& n) { return pages == n.pages; });
    if (nup != std::end(kNupLayouts)) {
        constexpr const char* kLayoutKeys = "LayoutRepeatX_LayoutRepeatY_SheetDirection";
        options.set(kLayoutKeys, direction == "Portrait" ? nup->portrait : nup->other);
        PrintOptionConverter::splitKeyword(options, kLayoutKeys);
        FinishedSize size;
        if (sides)
            size.emplace(part(sides->first, sides->second, nup->heightOfLong),
                         part(sides->first, sides->second, nup->widthOfLong));
        setFinishedSize(options, direction, size);
    }
    options.set("LayoutBaseFile", "NUp-1side.json");
    options.set("ImpositionAutoDuplex", "False");
    PrintOptionConverter::convertImpositionSheetSize(options);
    PrintOptionConverter::restoreDefaultSettigImposition(options, "Nup");
}

void bookletToCanonical(Dictionary& options,
                        const std::optional<std::pair<long long, long long>>& sides) {
    options.set("LayoutBaseFile", text(options, kBinding) == std::optional<std::string>("Right")
                                      ? kRightBinding
                                      : kLeftBinding);
    if (auto creep = nonEmptyText(options, kCreep)) {
        options.set("CreepSetting", "False");
        options.set("BackMargin", std::to_string(NumberText::leadingInteger(
                                      PrintOptionConverter::convertMmToCep(*creep))));
        options.set("CreepTotalOffset", "0");
        options.set("CreepInitialOffsetX", "0");
    }
    options.remove(kCreep);
    auto orientation = text(options, "DocumentOrientation").value_or("");
    if (orientation == "Portrait")
        options.set("RotationAngle", "Rotate0");
    else if (orientation == "Landscape")
        options.set("RotationAngle", "Rotate90");
    FinishedSize size;
    if (sides)
        size.emplace(sides->second, sides->first / 2);
    setFinishedSize(options, "Portrait", size);
    options.set("SheetDirection", "Landscape");
    PrintOptionConverter::convertImpositionSheetSize(options);
    PrintOptionConverter::restoreDefaultSettigImposition(options, "Booklet");
}

} // namespace

std::optional<Dictionary>
PrintOptionConverter::getCepSizeFromPaperSizeType(const std::string& paperSize) {
    for (const auto& size : kPaperSizes)
        if (paperSize == size.name)
            return Dictionary{{"width", std::to_string(size.width)},
                              {"height", std::to_string(size.height)}};
    return std::nullopt;
}

std::string
PrintOptionConverter::getImpositionFinishedSheetDirection(const std::string& paperSize) {
    bool landscape =
        std::any_of(std::begin(kLandscapeFinishedSizes), std::end(kLandscapeFinishedSizes),
                    [&](const char* name) { return paperSize == name; });
    return landscape ? "Landscape" : "Portrait";
}

void PrintOptionConverter::setupScaleToFitValue(Dictionary& options) {
    auto mode = text(options, kMode);
    const Value* fitting = options.find("Fitting");
    if (!mode || !fitting)
        return;
    if (*mode == "Nup")
        options.set(kNupFitting, *fitting);
    else if (*mode == "Booklet")
        options.set(kBookletFitting, *fitting);
}

void PrintOptionConverter::saveScaleToFitValue(Dictionary& options) {
    auto mode = text(options, kMode).value_or("");
    const Value* nup = options.find(kNupFitting);
    const Value* booklet = options.find(kBookletFitting);
    if (mode == "Nup" && nup)
        options.set("Fitting", *nup);
    else if (mode == "Booklet" && booklet)
        options.set("Fitting", *booklet);
    else
        options.set("Fitting", "False");
}

void PrintOptionConverter::convertToInternalImpositionKeyword(Dictionary& options) {
    if (options.empty())
        return;
    std::string mode = "Off";
    auto base = text(options, "ImpositionMode"), custom = text(options, "ImpositionCustomMode");
    if (base && custom) {
        mode = combinedMode(*base, *custom);
        options.set(kMode, mode);
        options.remove("ImpositionMode");
        options.remove("ImpositionCustomMode");
    }
    if (mode == "Nup") {
        std::string layout = text(options, "LayoutRepeatX").value_or("") + "_" +
                             text(options, "LayoutRepeatY").value_or("") + "_" +
                             text(options, "SheetDirection").value_or("");
        options.set(kPages, nupPagesOf(layout));
        options.set(kBinding, "Left");
        options.set(kCreep, "0.00");
    } else if (mode == "Booklet") {
        options.set(kBinding,
                    text(options, "LayoutBaseFile") == std::optional<std::string>(kRightBinding)
                        ? "Right"
                        : "Left");
        long long margin = NumberText::leadingInteger(text(options, "BackMargin").value_or(""));
        options.set(kCreep, convertCepToMm(std::to_string(margin)));
        options.set(kPages, "2up");
    } else {
        options.set(kPages, "2up");
        options.set(kBinding, "Left");
        options.set(kCreep, "0.00");
    }
    for (const char* key : kImpositionDetails)
        options.remove(key);
}

void PrintOptionConverter::convertToCanonicalImpositionKeyword(Dictionary& options) {
    std::string mode;
    if (auto combined = text(options, kMode)) {
        mode = *combined;
        static const std::map<std::string, std::pair<const char*, const char*>> modes = {
            {"Off", {"Off", "Advanced"}},
            {"Template", {"Template", "Advanced"}},
            {"Nup", {"Job", "Nup"}},
            {"Booklet", {"Job", "Booklet"}}};
        if (auto it = modes.find(mode); it != modes.end()) {
            options.set("ImpositionMode", it->second.first);
            options.set("ImpositionCustomMode", it->second.second);
        }
        options.remove(kMode);
        const Value* fitting = options.find(mode == "Nup" ? kNupFitting : kBookletFitting);
        options.set("Fitting",
                    (mode == "Nup" || mode == "Booklet") && fitting ? *fitting : Value("False"));
    } else {
        options.set("Fitting", "False");
    }
    options.remove(kNupFitting);
    options.remove(kBookletFitting);
    auto sides = sheetSides(options);
    if (mode == "Nup") {
        nupToCanonical(options, sides);
    } else if (mode == "Booklet") {
        bookletToCanonical(options, sides);
    } else {
        options.set("LayoutRepeatX", "1");
        options.set("LayoutRepeatY", "1");
        options.set("LayoutBaseFile", "Normal-1side.json");
        options.set("SheetDirection", "Landscape");
        options.set("CreepTotalOffset", "0");
        options.set("BackMargin", "0");
    }
    options.remove(kPages);
    options.remove(kBinding);
    options.remove(kCreep);
}

void PrintOptionConverter::convertImpositionSheetSize(Dictionary& options) {
    auto paperSize = text(options, "ChgPrintPaperSizeType");
    if (!paperSize || *paperSize == "NoChange")
        return; // no paper size to describe the sheet with
    const std::string& type = *paperSize;
    options.set("FixedForm", type);
    options.set("SheetSizeName", "");
    bool custom = type == "Custom";
    options.set("SheetSizeHeight",
                custom ? text(options, "ChgPrintPaperSizeLength").value_or("") : "");
    options.set("SheetSizeWidth",
                custom ? text(options, "ChgPrintPaperSizeWidth").value_or("") : "");
}

void PrintOptionConverter::restoreDefaultSettigImposition(Dictionary& options,
                                                          const std::string& mode) {
    if (mode == "Nup") {
        options.set("FascicleMode", "None");
        options.set("NumberOfFascicle", "16");
        options.set("RotationAngle", "Rotate0");
    } else if (mode == "Booklet") {
        options.set("ImpositionAutoDuplex", "True");
        options.set("NupLayout", "Z");
        options.set("LayoutRepeatX", "1");
        options.set("LayoutRepeatY", "1");
    }
}

} // namespace velmora
