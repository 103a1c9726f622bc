// The preview, checked the way a print operator checks a proof: by looking at where things are on
// the sheet, not by comparing whole pictures.
#include "PreviewPane.h"
#include "SheetPreview.h"

#include "platform/printing/OpenedPpd.h"
#include "platform/printing/SheetPlan.h"
#include "support/CommandRunner.h"
#include "support/LockedPdf.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <fstream>
#include <memory>

namespace velmora::app {
namespace {

using Options = std::map<std::string, std::string>;

// Page n of a test document is filled with a light colour of its own.
QColor colourOfPage(int page) {
    return QColor::fromHsv((page * 47) % 360, 110, 245);
}

std::string writeColouredPdf(const test::TempDir& dir, const std::string& name, int pages) {
    std::string path = dir / name;
    QPdfWriter writer(QString::fromStdString(path));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(36);
    QPainter painter(&writer);
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            writer.newPage();
        painter.fillRect(QRect(QPoint(0, 0), QSize(writer.width(), writer.height())),
                         colourOfPage(page));
    }
    painter.end();
    return path;
}

bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
               std::abs(a.blue() - b.blue()) <
           30;
}

// Which test page fills the point (fractions of the sheet), 0 for none.
int pageAt(const QImage& image, const QRect& sheet, double x, double y) {
    QColor seen = image.pixelColor(sheet.left() + static_cast<int>(x * sheet.width()),
                                   sheet.top() + static_cast<int>(y * sheet.height()));
    for (int page = 1; page <= 64; ++page)
        if (near(seen, colourOfPage(page)))
            return page;
    return 0;
}

// The dark pixels (staples, holes) within a part of the sheet, given in fractions of it.
int darkPixels(const QImage& image, const QRect& sheet, QRectF part, int darkerThan = 70) {
    QRect area(sheet.left() + static_cast<int>(part.left() * sheet.width()),
               sheet.top() + static_cast<int>(part.top() * sheet.height()),
               static_cast<int>(part.width() * sheet.width()),
               static_cast<int>(part.height() * sheet.height()));
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < darkerThan)
                ++dark;
    return dark;
}

class PreviewTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScopedEnv library{"VELMORA_USER_LIBRARY", (dir / "library").c_str()};
    test::ScopedEnv data{"XDG_DATA_HOME", (dir / "data").c_str()};
    OpenedPpd ppd{std::string(VELMORA_PRESS_SOURCE "/VelmoraPress.ppd")};
    std::string eightPages = writeColouredPdf(dir, "eight.pdf", 8);
    const QSize size{500, 600};

    SheetPlan plan(Options options) {
        options.emplace("PageSize", "A4");
        return SheetPlan::of(options, ppd.get());
    }
};

TEST_F(PreviewTest, ALeftEdgeStapleShowsAtTheLeftAndNotAtTheRight) {
    SheetPreview preview(eightPages);
    ASSERT_EQ(preview.problem(), "");
    SheetPlan stapled = plan({{"StapleMode", "LeftEdge"}});
    QImage image = preview.draw(stapled, 0, false, size);
    QRect sheet = SheetPreview::sheetRect(stapled, size);
    EXPECT_GT(darkPixels(image, sheet, {0, 0, 0.08, 1}, 40), 20);
    EXPECT_EQ(darkPixels(image, sheet, {0.92, 0, 0.08, 1}, 40), 0);
    // Two staples: dark near a quarter and three quarters down the edge, not in the middle.
    EXPECT_GT(darkPixels(image, sheet, {0, 0.2, 0.08, 0.1}, 40), 5);
    EXPECT_GT(darkPixels(image, sheet, {0, 0.7, 0.08, 0.1}, 40), 5);
    EXPECT_EQ(darkPixels(image, sheet, {0, 0.45, 0.08, 0.1}, 40), 0);
    QImage plain = preview.draw(plan({}), 0, false, size);
    EXPECT_EQ(darkPixels(plain, sheet, {0, 0, 0.08, 1}, 40), 0) << "no staple, no mark";
}

TEST_F(PreviewTest, TwoUpShowsTwoPageAreasOnOneSheet) {
    SheetPreview preview(eightPages);
    SheetPlan twoUp = plan({{"ImpositionMode", "Job"},
                            {"ImpositionCustomMode", "Nup"},
                            {"FixedForm", "A3"},
                            {"SheetDirection", "Landscape"},
                            {"LayoutRepeatX", "2"},
                            {"LayoutRepeatY", "1"}});
    QImage image = preview.draw(twoUp, 0, false, size);
    QRect sheet = SheetPreview::sheetRect(twoUp, size);
    EXPECT_GT(sheet.width(), sheet.height()) << "the A3 sheet lies landscape";
    EXPECT_EQ(pageAt(image, sheet, 0.25, 0.5), 1);
    EXPECT_EQ(pageAt(image, sheet, 0.75, 0.5), 2);
    QImage second = preview.draw(twoUp, 1, false, size);
    EXPECT_EQ(pageAt(second, sheet, 0.25, 0.5), 3);
}

TEST_F(PreviewTest, ABookletOfEightPagesPutsPagesEightAndOneOnTheFirstFront) {
    SheetPreview preview(eightPages);
    SheetPlan booklet = plan({{"ImpositionMode", "Job"},
                              {"ImpositionCustomMode", "Booklet"},
                              {"FixedForm", "A3"},
                              {"SheetDirection", "Landscape"},
                              {"LayoutBaseFile", "SaddleStiching2x1(LeftBinding).json"}});
    QRect sheet = SheetPreview::sheetRect(booklet, size);
    QImage front = preview.draw(booklet, 0, false, size);
    EXPECT_EQ(pageAt(front, sheet, 0.25, 0.5), 8);
    EXPECT_EQ(pageAt(front, sheet, 0.75, 0.5), 1);
    QImage back = preview.draw(booklet, 0, true, size);
    EXPECT_EQ(pageAt(back, sheet, 0.25, 0.5), 2);
    EXPECT_EQ(pageAt(back, sheet, 0.75, 0.5), 7);
}

TEST_F(PreviewTest, PunchHolesAppearOnTheChosenEdgeOnly) {
    SheetPreview preview(eightPages);
    struct Case {
        std::string edge;
        QRectF there, opposite;
    };
    for (const Case& c : std::vector<Case>{
             {"Top", {0, 0, 1, 0.08}, {0, 0.92, 1, 0.08}},
             {"Left", {0, 0, 0.08, 1}, {0.92, 0, 0.08, 1}},
             {"Right", {0.92, 0, 0.08, 1}, {0, 0, 0.08, 1}},
         }) {
        SheetPlan punched = plan({{"Punch", c.edge}, {"PunchHoles", "Holes3"}});
        QImage image = preview.draw(punched, 0, false, size);
        QRect sheet = SheetPreview::sheetRect(punched, size);
        EXPECT_GT(darkPixels(image, sheet, c.there), 30) << c.edge;
        EXPECT_EQ(darkPixels(image, sheet, c.opposite), 0) << c.edge;
    }
}

TEST_F(PreviewTest, TheBackOfATwoSidedSheetShowsTheNextPageAndTheStaplesTurnedOver) {
    SheetPreview preview(eightPages);
    SheetPlan duplex = plan({{"DuplexMode", "DuplexNoTumble"}, {"StapleMode", "TopLeftCorner"}});
    QRect sheet = SheetPreview::sheetRect(duplex, size);
    QImage front = preview.draw(duplex, 0, false, size);
    QImage back = preview.draw(duplex, 0, true, size);
    EXPECT_EQ(pageAt(front, sheet, 0.5, 0.5), 1);
    EXPECT_EQ(pageAt(back, sheet, 0.5, 0.5), 2);
    EXPECT_GT(darkPixels(front, sheet, {0, 0, 0.1, 0.1}, 40), 5);
    EXPECT_EQ(darkPixels(back, sheet, {0, 0, 0.1, 0.1}, 40), 0);
    EXPECT_GT(darkPixels(back, sheet, {0.9, 0, 0.1, 0.1}, 40), 5)
        << "turned over on the long edge, the corner staple is at the top right";
}

TEST_F(PreviewTest, ThePaperColourIsTheSheetsColour) {
    SheetPreview preview(eightPages);
    SheetPlan yellow = plan({{"PaperColor", "Yellow"},
                             {"ImpositionMode", "Job"},
                             {"ImpositionCustomMode", "Nup"},
                             {"FixedForm", "A3"},
                             {"SheetDirection", "Portrait"},
                             {"LayoutRepeatX", "1"},
                             {"LayoutRepeatY", "2"}});
    QImage image = preview.draw(yellow, 0, false, size);
    QRect sheet = SheetPreview::sheetRect(yellow, size);
    // Between the two page cells the paper shows.
    QColor between = image.pixelColor(sheet.center());
    EXPECT_GT(between.red(), 230);
    EXPECT_GT(between.green(), 220);
    EXPECT_LT(between.blue(), 180) << "yellow, not white";
}

TEST_F(PreviewTest, ADocumentThatCannotBeReadIsSaidAndTheSheetStillDrawn) {
    std::ofstream(dir / "notes.txt") << "not a PDF\n";
    std::string whole = writeColouredPdf(dir, "whole.pdf", 2);
    QFile file(QString::fromStdString(whole));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    std::ofstream(dir / "cut.pdf", std::ios::binary).write(bytes.constData(), bytes.size() / 3);
    // The sample document with a password the preview does not have: Poppler opens it locked.
    ASSERT_FALSE(test::writeLockedPdf(dir, "locked.pdf").empty());
    EXPECT_NE(SheetPreview(dir / "locked.pdf").problem().find("encrypted"), std::string::npos);
    for (const char* name : {"notes.txt", "cut.pdf", "missing.pdf", "locked.pdf"}) {
        SheetPreview preview(dir / name);
        EXPECT_NE(preview.problem(), "") << name;
        EXPECT_EQ(preview.pageCount(), 1) << name;
        QImage image = preview.draw(plan({{"StapleMode", "LeftEdge"}}), 0, false, size);
        EXPECT_FALSE(image.isNull()) << name;
        EXPECT_EQ(preview.pagesRendered(), 0) << name;
    }
}

TEST_F(PreviewTest, ALongDocumentRendersOnlyThePagesShown) {
    std::string longOne = writeColouredPdf(dir, "long.pdf", 2000);
    SheetPreview preview(longOne);
    EXPECT_EQ(preview.pageCount(), 2000);
    EXPECT_EQ(preview.pagesRendered(), 0);
    SheetPlan onePerSide = plan({});
    preview.draw(onePerSide, 0, false, size);
    preview.draw(onePerSide, 1999, false, size);
    EXPECT_EQ(preview.pagesRendered(), 2);
    preview.draw(onePerSide, 0, false, size);
    EXPECT_EQ(preview.pagesRendered(), 2) << "a page shown again is not rendered again";
}

TEST_F(PreviewTest, ThePaneFlipsToTheBackWithAClickOnItsButton) {
    QWidget window;
    window.resize(420, 520);
    auto* pane = new PreviewPane(&window);
    pane->setGeometry(0, 0, 420, 520);
    pane->setDocument(eightPages);
    pane->setPlan(plan({{"DuplexMode", "DuplexNoTumble"}}));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QPushButton* flip = pane->flipButton();
    for (QWidget* control : std::initializer_list<QWidget*>{flip, pane->nextButton(),
                                                            pane->previousButton(), pane->view()}) {
        QRect shown(control->mapTo(&window, QPoint(0, 0)), control->size());
        EXPECT_FALSE(shown.isEmpty()) << control->objectName().toStdString();
        EXPECT_TRUE(window.rect().contains(shown)) << control->objectName().toStdString();
        EXPECT_EQ(window.childAt(shown.center()), control) << control->objectName().toStdString();
        auto* accessible = QAccessible::queryAccessibleInterface(control);
        ASSERT_TRUE(accessible);
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty())
            << control->objectName().toStdString();
    }
    auto pageInView = [&] {
        const QImage& picture = pane->view()->picture();
        return pageAt(picture, SheetPreview::sheetRect(plan({}), picture.size(), false), 0.5, 0.5);
    };
    EXPECT_EQ(pageInView(), 1);
    EXPECT_FALSE(pane->previousButton()->isEnabled());
    QTest::mouseClick(flip, Qt::LeftButton);
    EXPECT_TRUE(pane->showsBack());
    EXPECT_EQ(pageInView(), 2);
    QTest::mouseClick(pane->nextButton(), Qt::LeftButton);
    EXPECT_EQ(pane->sheet(), 1);
    EXPECT_EQ(pageInView(), 4) << "the next sheet, still its back";
    pane->setPlan(plan({}));
    EXPECT_FALSE(flip->isEnabled()) << "a one-sided job has no back to show";
    EXPECT_FALSE(pane->showsBack());
    EXPECT_EQ(pane->sheet(), 1);
    EXPECT_EQ(pageInView(), 2);
}

TEST_F(PreviewTest, TheCommandWritesEverySheetSideAsAPicture) {
    std::string out = dir / "sheets";
    auto result = test::runVelmora("preview " + test::shellQuote(eightPages) + " --output " +
                                   test::shellQuote(out) +
                                   " --size 400x500 --set DuplexMode=DuplexNoTumble"
                                   " --set StapleMode_StapleMechanism=LeftEdgeUseStaple");
    ASSERT_EQ(result.status, 0) << result.out;
    EXPECT_NE(result.out.find("\"sheets\": 4"), std::string::npos) << result.out;
    for (int sheet = 1; sheet <= 4; ++sheet)
        for (const char* side : {"front", "back"}) {
            QImage image(QString::fromStdString(out + "/sheet-" + std::to_string(sheet) + "-" +
                                                side + ".png"));
            ASSERT_FALSE(image.isNull()) << sheet << side;
            EXPECT_EQ(image.size(), QSize(400, 500));
        }
    QImage front(QString::fromStdString(out + "/sheet-1-front.png"));
    SheetPlan duplex = plan({{"DuplexMode", "DuplexNoTumble"}});
    QRect sheet = SheetPreview::sheetRect(duplex, front.size());
    EXPECT_EQ(pageAt(front, sheet, 0.5, 0.5), 1);
    EXPECT_GT(darkPixels(front, sheet, {0, 0, 0.08, 1}, 40), 10) << "the staples the panel chose";
    QImage back(QString::fromStdString(out + "/sheet-1-back.png"));
    EXPECT_EQ(pageAt(back, sheet, 0.5, 0.5), 2);

    auto one = test::runVelmora("preview " + test::shellQuote(eightPages) + " --output " +
                                test::shellQuote(dir / "one") + " --sheet 2");
    EXPECT_EQ(one.status, 0) << one.out;
    EXPECT_TRUE(std::filesystem::exists(dir / "one/sheet-2-front.png"));
    EXPECT_FALSE(std::filesystem::exists(dir / "one/sheet-1-front.png"));
    EXPECT_EQ(test::runVelmora("preview " + test::shellQuote(eightPages) + " --output " +
                               test::shellQuote(dir / "two") + " --sheet 99")
                  .status,
              1);
    std::ofstream(dir / "notes.txt") << "not a PDF\n";
    auto unreadable = test::runVelmora("preview " + test::shellQuote(dir / "notes.txt") +
                                       " --output " + test::shellQuote(dir / "three"));
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_TRUE(std::filesystem::exists(dir / "three/sheet-1-front.png"))
        << "the layout is still drawn";
    // A preview writes its pictures and nothing else, and takes only sizes it can draw.
    for (const std::string& refused :
         {std::string(" --save-favorite Proofs"), std::string(" --size 1e300x100"),
          std::string(" --size 100xnan"), std::string(" --sheet 0"),
          std::string(" --output-dir x")})
        EXPECT_EQ(test::runVelmora("preview " + test::shellQuote(eightPages) + " --output " +
                                   test::shellQuote(dir / "four") + refused)
                      .status,
                  2)
            << refused;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir / "library"))
        EXPECT_EQ(entry.path().filename().string().find("Proofs"), std::string::npos)
            << "no favorite was saved: " << entry.path();
    EXPECT_EQ(test::runVelmora("preview --output x").status, 2);
}

} // namespace
} // namespace velmora::app
