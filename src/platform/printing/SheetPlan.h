#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

struct ppd_file_s;

namespace velmora {

// How the press will lay a job's pages out on its sheets and finish them, read from the options
// the press receives with the job (a PressTicket's). The job ticket's finishing and this plan
// come from the same reading, so that what a person is shown is what the press is told.
//
// Positions are fractions of the sheet as a person holds its front: x from the left edge, y from
// the top edge, both 0 to 1.
class SheetPlan {
public:
    enum class Edge { Left, Right, Top, Bottom };

    // The stitching the job asks for, as the press names it in its ticket.
    struct Stitching {
        enum class Type { Corner, Side, Saddle } type = Type::Side;
        int count = 0; // 0: no stitching
    };
    struct Mark {
        double x = 0, y = 0;
        bool vertical = true; // a staple's direction (a corner staple is drawn slanted)
        bool slanted = false;
    };
    struct Line {
        double from = 0;      // the fraction along the axis the line crosses
        bool vertical = true; // true: a line from top to bottom at x = from
        bool valley = false;  // a crease's direction; folds are drawn as mountain lines
    };
    // One side of one sheet: the document pages in its cells, row by row from the top left; 0
    // where a cell stays blank.
    struct Side {
        std::vector<int> pages;
    };

    // The sheet, in points, as it is held (its orientation applied).
    double sheetWidth = 595, sheetHeight = 842;
    // The page cells of one side.
    int columns = 1, rows = 1;
    bool twoSided = false;
    // Two-sided on the short edge: the back is turned over top to bottom.
    bool tumble = false;
    bool booklet = false;
    // A booklet bound on the right: the first page is on the left of the outer sheet.
    bool rightBinding = false;
    // The press's keywords, and the titles a person reads (the PPD's choice text).
    std::string paperColor;
    std::string tray, trayTitle;
    std::string outputTray, outputTrayTitle;

    Stitching stitching;
    std::vector<Mark> staples;
    std::optional<Edge> punchEdge;
    int punchHoles = 0;
    std::vector<Mark> holes;
    std::vector<Line> folds;
    std::vector<Line> creases;

    // The plan of the options a job is printed with (PressTicket::optionsOfJob); the PPD gives
    // the page sizes and the choices' titles, and may be null.
    static SheetPlan of(const std::map<std::string, std::string>& options, ppd_file_s* ppd);
    // The stitching a StapleMode choice stands for; count 0 for none.
    static Stitching stitchingOf(const std::string& stapleMode);
    // How many holes a PunchHoles choice makes; "HolesMulti" is the press's multi-hole pattern.
    static int holesOf(const std::string& punchHoles);
    // The edge a Punch choice names; none for "None" and anything unknown.
    static std::optional<Edge> punchEdgeOf(const std::string& punch);

    int cellsPerSide() const { return columns * rows; }
    int sidesPerSheet() const { return twoSided ? 2 : 1; }
    // How many sheets a document of pageCount pages takes (at least one).
    int sheetCount(int pageCount) const;
    // The pages on one side of one sheet (sheet from 0), in cell order.
    Side side(int sheet, bool back, int pageCount) const;
    // A position on the front as it shows from the back, once the sheet is turned over the way
    // the press turns it.
    Mark seenFromBack(Mark mark) const;
    Line seenFromBack(Line line) const;
};

} // namespace velmora
