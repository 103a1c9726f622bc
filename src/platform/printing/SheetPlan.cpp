#include "platform/printing/SheetPlan.h"

#include "platform/foundation/NumberText.h"
#include "platform/printing/PressNames.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <algorithm>
#include <cstdint>
#include <utility>

namespace velmora {
namespace {

using Options = std::map<std::string, std::string>;

std::string option(const Options& options, const std::string& keyword) {
    auto found = options.find(keyword);
    return found == options.end() ? std::string() : found->second;
}

bool isOff(const std::string& value) {
    return value.empty() || value == "None" || value == "Off" || value == "False";
}

int integer(const Options& options, const std::string& keyword, int fallback, int low, int high) {
    auto number = NumberText::exactReal(option(options, keyword));
    if (!number || *number != *number)
        return fallback;
    return static_cast<int>(
        std::clamp(*number, static_cast<double>(low), static_cast<double>(high)));
}

// The imposition sheet sizes the press offers (FixedForm), in points, portrait. Feeding the
// short or the long edge first changes how the press runs the sheet, not the sheet.
std::optional<std::pair<double, double>> fixedFormSize(std::string form) {
    for (const char* feed : {"SEF", "LEF"})
        if (form.ends_with(feed))
            form.resize(form.size() - 3);
    static const std::map<std::string, std::pair<double, double>> kSizes = {
        {"A3", {842, 1191}},      {"A4", {595, 842}},       {"A5", {420, 595}},
        {"B4", {729, 1032}},      {"B5", {516, 729}},       {"85x110", {612, 792}},
        {"85x140", {612, 1008}},  {"110x170", {792, 1224}}, {"120x180", {864, 1296}},
        {"126x177", {907, 1276}}, {"130x190", {936, 1368}},
    };
    auto found = kSizes.find(form);
    return found == kSizes.end() ? std::nullopt : std::optional(found->second);
}

std::string choiceTitle(ppd_file_t* ppd, const std::string& optionName, const std::string& choice) {
    ppd_option_t* found = ppd ? ppdFindOption(ppd, optionName.c_str()) : nullptr;
    ppd_choice_t* picked = found ? ppdFindChoice(found, choice.c_str()) : nullptr;
    return picked && *picked->text ? picked->text : choice;
}

// Lines across the sheet's longer side at the given fractions of it.
std::vector<SheetPlan::Line> acrossTheLongSide(const SheetPlan& plan,
                                               std::initializer_list<double> at) {
    std::vector<SheetPlan::Line> lines;
    for (double fraction : at)
        lines.push_back({fraction, plan.sheetWidth >= plan.sheetHeight, false});
    return lines;
}

void placeSheet(SheetPlan& plan, const Options& options, ppd_file_t* ppd, bool imposed) {
    double width = 595, height = 842;
    bool landscape = false;
    if (auto form = imposed ? fixedFormSize(option(options, "FixedForm")) : std::nullopt) {
        std::tie(width, height) = *form;
        landscape = option(options, "SheetDirection") == "Landscape";
    } else {
        std::string size = option(options, "PageSize");
        if (ppd_size_t* paper = ppd && !size.empty() ? ppdPageSize(ppd, size.c_str()) : nullptr;
            paper && paper->width > 0 && paper->length > 0) {
            width = paper->width;
            height = paper->length;
        }
        landscape = option(options, "DocumentOrientation") == "Landscape";
    }
    if (landscape != (width > height))
        std::swap(width, height);
    plan.sheetWidth = width;
    plan.sheetHeight = height;
}

void placeCells(SheetPlan& plan, const Options& options, bool imposed) {
    if (!imposed)
        return;
    if (option(options, "ImpositionCustomMode") == "Booklet") {
        plan.booklet = true;
        plan.columns = 2;
        plan.twoSided = true;
        plan.rightBinding =
            option(options, "LayoutBaseFile").find("RightBinding") != std::string::npos;
        return;
    }
    plan.columns = integer(options, "LayoutRepeatX", 1, 1, 16);
    plan.rows = integer(options, "LayoutRepeatY", 1, 1, 16);
    if (option(options, "ImpositionAutoDuplex") == "True")
        plan.twoSided = true;
}

void placeStaples(SheetPlan& plan, const std::string& mode) {
    plan.stitching = SheetPlan::stitchingOf(mode);
    constexpr double kInset = 0.035;
    auto along = [&](bool vertical, double at, std::initializer_list<double> spots) {
        for (double spot : spots)
            plan.staples.push_back(vertical ? SheetPlan::Mark{at, spot, true, false}
                                            : SheetPlan::Mark{spot, at, false, false});
    };
    if (plan.stitching.count == 0)
        return;
    if (plan.stitching.type == SheetPlan::Stitching::Type::Saddle) {
        // On the fold: across the sheet's long side, in its middle.
        along(plan.sheetWidth >= plan.sheetHeight, 0.5, {0.25, 0.75});
        return;
    }
    if (plan.stitching.type == SheetPlan::Stitching::Type::Corner) {
        bool right = mode.starts_with("TopRight") || mode.starts_with("BottomRight");
        bool bottom = mode.starts_with("Bottom");
        plan.staples.push_back(
            {right ? 1 - kInset : kInset, bottom ? 1 - kInset : kInset, false, true});
        return;
    }
    bool vertical = !(mode.starts_with("Top") || mode.starts_with("Bottom"));
    double at = mode.starts_with("Right") || mode.starts_with("Bottom") ? 1 - kInset : kInset;
    if (plan.stitching.count == 4)
        along(vertical, at, {0.2, 0.4, 0.6, 0.8});
    else if (plan.stitching.count == 2)
        along(vertical, at, {0.25, 0.75});
    else
        along(vertical, at, {0.5});
}

// Holes along the punched edge, centred on it, at the pitch the press punches them.
void placeHoles(SheetPlan& plan) {
    if (!plan.punchEdge || plan.punchHoles < 1)
        return;
    bool upright =
        plan.punchEdge == SheetPlan::Edge::Left || plan.punchEdge == SheetPlan::Edge::Right;
    double edgeMm = (upright ? plan.sheetHeight : plan.sheetWidth) * 25.4 / 72;
    double pitchMm = plan.punchHoles == 3 ? 108 : plan.punchHoles > 4 ? 9.5 : 80;
    double spread = plan.punchHoles > 1 ? pitchMm * (plan.punchHoles - 1) / edgeMm : 0;
    spread = std::min(spread, 0.95);
    constexpr double kInset = 0.045;
    double at =
        plan.punchEdge == SheetPlan::Edge::Right || plan.punchEdge == SheetPlan::Edge::Bottom
            ? 1 - kInset
            : kInset;
    for (int hole = 0; hole < plan.punchHoles; ++hole) {
        double along =
            plan.punchHoles > 1 ? 0.5 - spread / 2 + spread * hole / (plan.punchHoles - 1) : 0.5;
        plan.holes.push_back(upright ? SheetPlan::Mark{at, along, true, false}
                                     : SheetPlan::Mark{along, at, false, false});
    }
}

void placeFolds(SheetPlan& plan, const Options& options) {
    std::string fold = option(options, "Fold");
    if (fold.starts_with("Bifold"))
        plan.folds = acrossTheLongSide(plan, {0.5});
    else if (fold.starts_with("C_Trifold") || fold.starts_with("Z_Trifold"))
        plan.folds = acrossTheLongSide(plan, {1.0 / 3, 2.0 / 3});
    else if (fold == "ZfoldRightBind")
        plan.folds = acrossTheLongSide(plan, {0.25, 0.5});
    else if (fold == "ZfoldLeftBind" || fold == "MixSizeZfold")
        plan.folds = acrossTheLongSide(plan, {0.5, 0.75});

    if (isOff(option(options, "CreaseMode")))
        return;
    // Crease positions are in thousandths of a millimetre from the sheet's leading edge.
    double longSideMm = std::max(plan.sheetWidth, plan.sheetHeight) * 25.4 / 72;
    int count = integer(options, "CreaseNum", 1, 1, 5);
    for (int n = 1; n <= count; ++n) {
        std::string index = std::to_string(n);
        auto position = NumberText::exactReal(option(options, "CreasePosition" + index));
        if (!position || !(*position > 0))
            continue;
        double fraction = *position / 1000 / longSideMm;
        if (fraction >= 1)
            continue;
        plan.creases.push_back({fraction, plan.sheetWidth >= plan.sheetHeight,
                                option(options, "CreaseDirection" + index) == "Valley"});
    }
}

} // namespace

SheetPlan::Stitching SheetPlan::stitchingOf(const std::string& mode) {
    Stitching stitching;
    if (isOff(mode))
        return stitching;
    bool saddle = mode.starts_with("Saddle");
    bool corner = mode.ends_with("Corner");
    stitching.type = saddle   ? Stitching::Type::Saddle
                     : corner ? Stitching::Type::Corner
                              : Stitching::Type::Side;
    stitching.count = saddle || mode.ends_with("Edge") ? 2 : mode.ends_with("4") ? 4 : 1;
    return stitching;
}

int SheetPlan::holesOf(const std::string& holes) {
    if (holes == "Holes2")
        return 2;
    if (holes == "Holes3")
        return 3;
    if (holes == "Holes4")
        return 4;
    // The multi-hole pattern binds with a comb or a wire: many small holes along the edge.
    if (holes == "HolesMulti")
        return 21;
    return 0;
}

std::optional<SheetPlan::Edge> SheetPlan::punchEdgeOf(const std::string& punch) {
    // "MixSize" leaves the edge to the press, as the ticket does.
    if (punch == "Left")
        return Edge::Left;
    if (punch == "Right")
        return Edge::Right;
    if (punch == "Top")
        return Edge::Top;
    if (punch == "Bottom")
        return Edge::Bottom;
    return std::nullopt;
}

SheetPlan SheetPlan::of(const Options& options, ppd_file_s* ppd) {
    SheetPlan plan;
    PressNames names(ppd);
    std::string imposition = option(options, "ImpositionMode");
    bool imposed = !isOff(imposition);
    placeSheet(plan, options, ppd, imposed);
    std::string duplex = option(options, "DuplexMode");
    if (isOff(duplex))
        duplex = option(options, "Duplex");
    plan.twoSided = !isOff(duplex);
    plan.tumble = duplex == "DuplexTumble";
    placeCells(plan, options, imposed);

    plan.paperColor = option(options, "PaperColor");
    plan.tray = option(options, "KVInputSlot");
    plan.trayTitle = plan.tray.empty() ? "" : choiceTitle(ppd, "KVInputSlot", plan.tray);
    std::string outputOption = names.optionInPpd("OutputTray");
    plan.outputTray = option(options, outputOption);
    plan.outputTrayTitle =
        plan.outputTray.empty() ? "" : choiceTitle(ppd, outputOption, plan.outputTray);

    placeStaples(plan, option(options, "StapleMode"));
    plan.punchEdge = punchEdgeOf(option(options, "Punch"));
    plan.punchHoles = plan.punchEdge ? holesOf(option(options, "PunchHoles")) : 0;
    if (plan.punchEdge && plan.punchHoles == 0)
        plan.punchHoles = 2;
    placeHoles(plan);
    placeFolds(plan, options);
    return plan;
}

int SheetPlan::sheetCount(int pageCount) const {
    int pages = std::max(pageCount, 1);
    int perSheet = booklet ? 4 : cellsPerSide() * sidesPerSheet();
    return (pages - 1) / perSheet + 1;
}

SheetPlan::Side SheetPlan::side(int sheet, bool back, int pageCount) const {
    Side side;
    // Counted in 64 bits: the last sheets of a document of INT_MAX pages stay in range.
    auto shown = [pageCount](std::int64_t page) {
        return page >= 1 && page <= pageCount ? static_cast<int>(page) : 0;
    };
    if (sheet < 0 || sheet >= sheetCount(pageCount) || (back && !twoSided)) {
        side.pages.assign(static_cast<std::size_t>(cellsPerSide()), 0);
        return side;
    }
    if (booklet) {
        // The outer sheet holds the last and the first page; each sheet inside it the next pair
        // from each end.
        std::int64_t last = std::int64_t{sheetCount(pageCount)} * 4;
        std::int64_t outer = last - 2 * std::int64_t{sheet}, inner = 1 + 2 * std::int64_t{sheet};
        std::pair<std::int64_t, std::int64_t> cells =
            back ? std::pair(inner + 1, outer - 1) : std::pair(outer, inner);
        if (rightBinding)
            std::swap(cells.first, cells.second);
        side.pages = {shown(cells.first), shown(cells.second)};
        return side;
    }
    std::int64_t first =
        std::int64_t{sheet} * cellsPerSide() * sidesPerSheet() + (back ? cellsPerSide() : 0);
    for (int cell = 0; cell < cellsPerSide(); ++cell)
        side.pages.push_back(shown(first + cell + 1));
    return side;
}

namespace {

// Whether turning the sheet over swaps its left and right (else its top and bottom). Two-sided on
// the long edge turns a portrait sheet about its upright axis; a booklet sheet is always turned so
// that its pages stay upright.
bool turnsLeftToRight(const SheetPlan& plan) {
    if (plan.booklet)
        return true;
    bool portrait = plan.sheetHeight >= plan.sheetWidth;
    return portrait != plan.tumble;
}

} // namespace

SheetPlan::Mark SheetPlan::seenFromBack(Mark mark) const {
    if (turnsLeftToRight(*this))
        mark.x = 1 - mark.x;
    else
        mark.y = 1 - mark.y;
    return mark;
}

SheetPlan::Line SheetPlan::seenFromBack(Line line) const {
    if (line.vertical == turnsLeftToRight(*this))
        line.from = 1 - line.from;
    // A mountain fold seen from the other side is a valley.
    line.valley = !line.valley;
    return line;
}

} // namespace velmora
