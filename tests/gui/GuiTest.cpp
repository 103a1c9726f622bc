// The graphical print dialog under Qt's offscreen platform: a person's clicks and keys reach the
// toolkit, and what the toolkit holds is what the screen shows.
#include "PreviewPane.h"
#include "PrintDialogWindow.h"
#include "UserAction.h"

#include "controls/ZEMAMgr.h"
#include "controls/ZEMATextField.h"
#include "controls/ZEMAUI.h"
#include "favoritewindows/FavoriteWindowController.h"
#include "favoritewindows/SaveFavoriteWindowController.h"
#include "panel/DetailedSettingsWinController.h"
#include "panel/LornPDEByCocoa.h"
#include "panes/PanePlugInMgr.h"
#include "platform/foundation/RunLoop.h"
#include "platform/printing/JobPackage.h"
#include "platform/printing/PressNames.h"
#include "platform/qt/LayoutInspector.h"
#include "platform/qt/QtAlertDialog.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtToolkit.h"
#include "platform/qt/QtWindow.h"
#include "platform/qt/ScrolledSize.h"
#include "platform/qt/ViewMirror.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/Matrix.h"
#include "platform/ui/OutlineView.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TabView.h"
#include "platform/ui/TextField.h"
#include "ppd/PrintOptionConverter.h"
#include "support/CommandRunner.h"
#include "support/CupsQueueTest.h"
#include "support/LockedPdf.h"
#include "support/PrivateCupsd.h"
#include "support/TempDir.h"

#include <cstdlib>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QStyle>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>

namespace velmora {
namespace {

using app::HeldJobsList;
using app::PrintDialogWindow;

class GuiTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScopedEnv library{"VELMORA_USER_LIBRARY", (dir / "library").c_str()};
    test::ScopedEnv data{"XDG_DATA_HOME", (dir / "data").c_str()};
    test::ScopedEnv language{"LANGUAGE", "en"};
    CupsConnection cups;
    std::unique_ptr<PrintDialogWindow> window;
    std::vector<std::function<void(qt::QtWindow&)>> steps;
    std::vector<std::string> opened;

    void SetUp() override {
        open();
        // Each window that opens takes the next step; one without a step is closed with Escape.
        qt::QtToolkit::shared().setWindowShownHook([this](qt::QtWindow& shown) {
            opened.push_back(shown.windowTitle().toStdString());
            if (steps.empty()) {
                QTest::keyClick(&shown, Qt::Key_Escape);
                return;
            }
            auto step = std::move(steps.front());
            steps.erase(steps.begin());
            step(shown);
            // A step that failed half-way must not leave its window waiting for a person.
            if (HasFatalFailure() && !ui::Application::shared().isModalStopped())
                ui::Application::shared().abortModal();
        });
    }
    // The dialog on the sample press, with settings restored from storage when given.
    void open(std::optional<Dictionary> settings = std::nullopt,
              const std::string& document = VELMORA_SAMPLE_DOCUMENT) {
        window.reset();
        PanePlugInMgr::releaseSharedInstance();
        PrintDialogWindow::Request request;
        request.files = {document};
        request.embeddedOnly = true;
        request.outputDir = dir / "jobs";
        request.panel.bundle = VELMORA_PLUGIN_DIR;
        request.panel.ppd = VELMORA_QUEUE_PPD;
        request.settings = std::move(settings);
        window = std::make_unique<PrintDialogWindow>(request, cups, false);
        ASSERT_TRUE(window->openDestination()) << window->error();
        window->show();
    }
    void TearDown() override {
        qt::QtToolkit::shared().setWindowShownHook(nullptr);
        qt::QtToolkit::shared().setAlertShownHook(nullptr);
        window.reset();
        PanePlugInMgr::releaseSharedInstance();
    }

    LornPDEByCocoa& panel() { return *window->panel(); }
    template <typename W> W* onPanel(const ui::View* view) {
        auto* widget = qobject_cast<W*>(window->mirror()->widgetFor(view));
        EXPECT_NE(widget, nullptr);
        return widget;
    }
    template <typename W> W* inWindow(qt::QtWindow& shown, const ui::View* view) {
        auto* widget = qobject_cast<W*>(shown.mirror().widgetFor(view));
        EXPECT_NE(widget, nullptr);
        return widget;
    }
    static ui::Button& firstButton(ZEMAUI& control) {
        return *control.descendantsOfType<ui::Button>().front();
    }
    static ZEMAUI* detailedControl(const std::string& key) {
        auto& tabs = *DetailedSettingsWinController::sharedInstance().views().tabView;
        for (const auto& item : tabs.tabViewItems())
            if (item->view())
                if (auto* control = app::findOptionControl(
                        PaneControlServices::getZEMAUIControls(item->view().get()), key))
                    return control;
        return nullptr;
    }
    // Shows the tab that holds the control, as a person would before using it.
    static void showTabOf(ZEMAUI& control) {
        showTabOf(control, *DetailedSettingsWinController::sharedInstance().views().tabView);
        qt::QtToolkit::shared().refreshAll();
    }
    // The page that holds the control, and its part on that page (a part not shown is not
    // among the page's views).
    static bool showTabOf(ZEMAUI& control, ui::TabView& tabs) {
        for (const auto& item : tabs.tabViewItems()) {
            if (!item->view())
                continue;
            bool holds = control.isDescendantOf(item->view().get());
            for (const auto& nested : item->view()->descendantsOfType<ui::TabView>())
                holds = showTabOf(control, *nested) || holds;
            if (holds) {
                tabs.selectTabViewItem(item.get());
                return true;
            }
        }
        return false;
    }
    // The row of tabs of the parts of the page shown; null when the page has no parts.
    QTabBar* ownTabBarOfShownPage(qt::QtWindow& shown, ui::TabView& tabs) {
        auto nested = tabs.selectedTabViewItem()->view()->descendantsOfType<ui::TabView>();
        return nested.empty()
                   ? nullptr
                   : inWindow<QWidget>(shown, nested.front().get())->findChild<QTabBar*>();
    }
    void click(QWidget* widget) {
        ASSERT_NE(widget, nullptr);
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(8, widget->height() / 2));
    }
    Dictionary printed() {
        QTest::mouseClick(window->printButton(), Qt::LeftButton);
        EXPECT_TRUE(window->result());
        return window->result() ? *window->result()->get("options").dictionary() : Dictionary();
    }
};

TEST_F(GuiTest, ACheckBoxClickReachesThePanelAndThePrintedJob) {
    ui::Button& center = firstButton(*panel().views().pagePrintOnCenter);
    auto* box = onPanel<QCheckBox>(&center);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->isChecked(), center.state() == ui::kOnState);
    int before = center.state();
    click(box);
    EXPECT_NE(center.state(), before);
    EXPECT_EQ(onPanel<QCheckBox>(&center)->isChecked(), center.state() == ui::kOnState);
    Dictionary options = printed();
    // The job carries the option as the screen shows it.
    std::string expected = center.state() == ui::kOnState ? "True" : "False";
    std::optional<std::string> sent;
    for (const auto& [key, value] : options)
        if (key.ends_with("PagePrintOnCenter") && value.isString())
            sent = value.stringValue();
    EXPECT_EQ(sent, expected) << Value(options).toJson();
    // And so does the package the press receives.
    auto package = JobPackage::open(dir / "jobs/job-1/job.xjmf.zip");
    ASSERT_TRUE(package) << package.error();
    EXPECT_EQ(package->ticket().options.at("PagePrintOnCenter"), expected);
}

TEST_F(GuiTest, TheKeyboardPicksADuplexChoiceAndTheHostFollowsIt) {
    auto& duplex = *panel().views().duplexMode->descendantsOfType<ui::PopUpButton>().front();
    auto* combo = onPanel<QComboBox>(&duplex);
    ASSERT_TRUE(combo);
    EXPECT_EQ(combo->currentText().toStdString(), duplex.titleOfSelectedItem());
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_NE(duplex.indexOfSelectedItem(), 0);
    EXPECT_EQ(combo->currentIndex(), duplex.indexOfSelectedItem());
    Dictionary options = printed();
    ASSERT_TRUE(options.get("Duplex").isString()) << Value(options).toJson();
    EXPECT_NE(options.get("Duplex").stringValue(), "None");
}

TEST_F(GuiTest, TabGoesFromTheDestinationThroughThePanelToPrint) {
    auto nextStop = [](QWidget* from) {
        QWidget* next = from->nextInFocusChain();
        while (next != from &&
               !((next->focusPolicy() & Qt::TabFocus) && next->isVisible() && next->isEnabled()))
            next = next->nextInFocusChain();
        return next;
    };
    QWidget* panelArea = window->mirror()->host();
    QWidget* stop = nextStop(window->findChild<QComboBox*>("destination"));
    // The favorites row, then the panel from its top, then the copies row below it.
    EXPECT_EQ(stop, window->favoritesChooser());
    stop = nextStop(nextStop(nextStop(stop)));
    EXPECT_TRUE(panelArea->isAncestorOf(stop));
    EXPECT_EQ(stop, onPanel<QPushButton>(panel().views().jobNameButton.get()))
        << "Tab does not start at the top of the panel";
    std::vector<QWidget*> visited;
    while (panelArea->isAncestorOf(stop) &&
           std::find(visited.begin(), visited.end(), stop) == visited.end()) {
        visited.push_back(stop);
        stop = nextStop(stop);
    }
    EXPECT_GT(visited.size(), 10u); // every option of the panel, not a few stray widgets
    ASSERT_GE(visited.size(), 3u);
    EXPECT_EQ(visited[visited.size() - 3],
              onPanel<QLineEdit>(window->hostDialog()->copiesField().get()))
        << "the copies row comes after the panel above it";
    EXPECT_EQ(stop, window->findChild<QTreeWidget*>("summary"));
    EXPECT_EQ(nextStop(nextStop(stop)), window->printButton());
}

TEST_F(GuiTest, TypingInTheDetailedWindowRefusesWhatTheFormatterRefuses) {
    std::string shownAfterRefusal;
    steps.push_back([&](qt::QtWindow& shown) {
        ZEMAUI* copies = detailedControl("NumCopies");
        ASSERT_NE(copies, nullptr);
        showTabOf(*copies);
        ui::TextField* field = nullptr;
        for (const auto& candidate : copies->descendantsOfType<ui::TextField>())
            if (candidate->isEditable())
                field = candidate.get();
        ASSERT_NE(field, nullptr);
        auto* edit = inWindow<QLineEdit>(shown, field);
        ASSERT_TRUE(edit);
        click(edit);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, "4");
        QTest::keyClicks(edit, "x"); // not a digit
        shownAfterRefusal = edit->text().toStdString();
        QTest::keyClick(edit, Qt::Key_Tab);
        click(inWindow<QPushButton>(
            shown, DetailedSettingsWinController::sharedInstance().views().ok.get()));
    });
    click(onPanel<QPushButton>(panel().views().showDetailedSettingsButton.get()));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(shownAfterRefusal, "4");
    EXPECT_TRUE(qt::QtToolkit::shared().windows().empty());
    Dictionary options = printed();
    EXPECT_EQ(options.get("copies"), Value(std::string("4"))) << Value(options).toJson();
}

TEST_F(GuiTest, TheOutlineStyleListsThePanesAndAboutClosesWithEscape) {
    long rows = 0, treeRows = 0;
    std::string aboutTitle;
    steps.push_back([&](qt::QtWindow& shown) {
        auto& views = DetailedSettingsWinController::sharedInstance().views();
        auto* style = inWindow<QComboBox>(shown, views.viewStyle.get());
        ASSERT_TRUE(style);
        style->setFocus();
        int outline = views.viewStyle->indexOfItemWithTag(2);
        for (int presses = 0; style->currentIndex() < outline && presses < 5; ++presses)
            QTest::keyClick(style, Qt::Key_Down);
        auto* tree = inWindow<QTreeWidget>(shown, views.outline.get());
        ASSERT_TRUE(tree);
        EXPECT_TRUE(tree->isVisible());
        rows = views.outline->numberOfRows();
        QTreeWidgetItemIterator it(tree);
        for (; *it; ++it)
            ++treeRows;
        // The arrow key moves the outline's selection as a click would, and the pane follows.
        tree->setFocus();
        long before = views.outline->selectedRow();
        QTest::keyClick(tree, Qt::Key_Down);
        EXPECT_NE(views.outline->selectedRow(), before);
        EXPECT_GE(views.outline->selectedRow(), 0);
        steps.push_back([&](qt::QtWindow& about) {
            aboutTitle = about.windowTitle().toStdString();
            QTest::keyClick(&about, Qt::Key_Escape);
        });
        click(inWindow<QPushButton>(shown, views.versionInfo.get()));
        // The window About ran over is still on screen and answers the person later.
        QTimer::singleShot(50, &shown, [&shown] { QTest::keyClick(&shown, Qt::Key_Escape); });
    });
    click(onPanel<QPushButton>(panel().views().showDetailedSettingsButton.get()));
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_GT(rows, 0);
    EXPECT_GE(treeRows, rows);
    EXPECT_FALSE(aboutTitle.empty());
    EXPECT_TRUE(qt::QtToolkit::shared().windows().empty());
}

TEST_F(GuiTest, TheOutlineHighlightsTheRowOfThePageShown) {
    std::vector<std::string> problems;
    steps.push_back([&](qt::QtWindow& shown) {
        auto& views = DetailedSettingsWinController::sharedInstance().views();
        auto* style = inWindow<QComboBox>(shown, views.viewStyle.get());
        ASSERT_TRUE(style);
        style->setFocus();
        while (style->currentIndex() < 1)
            QTest::keyClick(style, Qt::Key_Down);
        qt::QtToolkit::shared().refreshAll();
        auto* tree = inWindow<QTreeWidget>(shown, views.outline.get());
        ASSERT_TRUE(tree);
        auto& tabs = *views.tabView;
        auto pageTitle = [&] { return qt::toQString(tabs.selectedTabViewItem()->label()); };
        auto highlighted = [&]() -> QString {
            auto chosen = tree->selectedItems();
            return chosen.size() == 1 ? chosen.front()->text(0) : QString("(none)");
        };
        // On opening, and after a click on each top-level row, the row of the page shown is
        // the one highlighted.
        if (highlighted() != pageTitle())
            problems.push_back("on opening: " + highlighted().toStdString() + " for " +
                               pageTitle().toStdString());
        for (int row = 0; row < tree->topLevelItemCount(); ++row) {
            QTreeWidgetItem* item = tree->topLevelItem(row);
            tree->scrollToItem(item);
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                              tree->visualItemRect(item).center());
            qt::QtToolkit::shared().refreshAll();
            if (highlighted() != item->text(0) || pageTitle() != item->text(0))
                problems.push_back("clicked " + item->text(0).toStdString() + ": highlighted " +
                                   highlighted().toStdString() + ", shown " +
                                   pageTitle().toStdString());
        }
        QTest::keyClick(&shown, Qt::Key_Escape);
    });
    click(onPanel<QPushButton>(panel().views().showDetailedSettingsButton.get()));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(problems.empty()) << testing::PrintToString(problems);
}

// The summary as the dialog shows it: rows outside any heading under "", the others under their
// pane's heading, each as title → value.
std::map<std::string, std::map<std::string, std::string>> summaryShown(PrintDialogWindow& window) {
    window.refreshSummary();
    std::map<std::string, std::map<std::string, std::string>> shown;
    QTreeWidget& tree = *window.summary();
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = tree.topLevelItem(i);
        if (top->childCount() == 0)
            shown[""][top->text(0).toStdString()] = top->text(1).toStdString();
        for (int row = 0; row < top->childCount(); ++row)
            shown[top->text(0).toStdString()][top->child(row)->text(0).toStdString()] =
                top->child(row)->text(1).toStdString();
    }
    return shown;
}

TEST_F(GuiTest, TheSummaryShowsTheCopiesThenWhatAppliesPaneByPane) {
    auto* copies = onPanel<QLineEdit>(window->hostDialog()->copiesField().get());
    ASSERT_TRUE(copies);
    QTest::mouseDClick(copies, Qt::LeftButton, {}, QPoint(8, copies->height() / 2));
    QTest::keyClick(copies, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(copies, "7");
    QTest::keyClick(copies, Qt::Key_Tab);
    auto shown = summaryShown(*window);
    ASSERT_GT(window->summary()->topLevelItemCount(), 1);
    EXPECT_EQ(window->summary()->topLevelItem(0)->text(0).toStdString(), "Copies");
    EXPECT_EQ(shown[""]["Copies"], "7");
    EXPECT_EQ(shown["Basic Settings"]["2-Sided Printing"], "1-Sided");
    EXPECT_EQ(shown["Finishing and Output Tray"]["Staple"], "Off");
    // Imposition is off: its page count does not apply and is not listed anywhere.
    for (const auto& [heading, rows] : shown)
        EXPECT_FALSE(rows.contains("Pages per Sheet Side")) << heading;

    // Through the detailed window, imposition becomes N-up: now the count applies.
    std::vector<std::string> pageTitles;
    steps = {[&](qt::QtWindow& shown) {
        for (const auto& page :
             DetailedSettingsWinController::sharedInstance().views().tabView->tabViewItems())
            pageTitles.push_back(page->label());
        ZEMAUI* imposition = detailedControl("ImpositionMode_ImpositionCustomMode");
        ASSERT_TRUE(imposition);
        showTabOf(*imposition);
        auto* combo = inWindow<QComboBox>(shown, imposition->popUpButton().get());
        ASSERT_TRUE(combo);
        combo->setFocus();
        while (imposition->getStringValue() != "Nup" && combo->currentIndex() + 1 < combo->count())
            QTest::keyClick(combo, Qt::Key_Down);
        click(inWindow<QPushButton>(
            shown, DetailedSettingsWinController::sharedInstance().views().ok.get()));
    }};
    click(onPanel<QPushButton>(panel().views().showDetailedSettingsButton.get()));
    shown = summaryShown(*window);
    bool listed = false;
    for (const auto& [heading, rows] : shown)
        listed = listed || rows.contains("Pages per Sheet Side");
    EXPECT_TRUE(listed) << "with N-up chosen";
    EXPECT_EQ(shown[""]["Copies"], "7");
    // The panes' headings come in the order of the detailed window's pages.
    std::vector<std::string> headings;
    for (int i = 0; i < window->summary()->topLevelItemCount(); ++i)
        if (window->summary()->topLevelItem(i)->childCount() > 0)
            headings.push_back(window->summary()->topLevelItem(i)->text(0).toStdString());
    auto page = pageTitles.begin();
    for (const auto& heading : headings) {
        if (heading == "Other Options")
            continue;
        page = std::find(page, pageTitles.end(), heading);
        EXPECT_NE(page, pageTitles.end()) << heading << " out of the pages' order";
    }
}

TEST_F(GuiTest, InAJapaneseSessionTheSummaryIsJapanese) {
    test::ScopedEnv japanese{"LANGUAGE", "ja"};
    open();
    auto shown = summaryShown(*window);
    ASSERT_GT(shown.size(), 3u);
    std::vector<std::string> english;
    auto isAscii = [](const std::string& text) {
        return std::all_of(text.begin(), text.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    for (const auto& [heading, rows] : shown) {
        if (!heading.empty() && isAscii(heading))
            english.push_back("heading " + heading);
        for (const auto& [title, value] : rows)
            if (isAscii(title))
                english.push_back(title + ": " + value);
    }
    EXPECT_TRUE(english.empty()) << testing::PrintToString(english);
    EXPECT_EQ(shown["基本設定"]["両面印刷"], "片面");
}

// The staple pop-up shows a picture of where the staples go, and it follows the choice.
TEST_F(GuiTest, TheStapleIconFollowsTheChoice) {
    auto& staple = *panel().views().stapleMode->descendantsOfType<ui::PopUpButton>().front();
    auto* combo = onPanel<QComboBox>(&staple);
    ASSERT_TRUE(combo);
    std::vector<QImage> pictures;
    combo->setFocus();
    for (int step = 0; step < 4; ++step) {
        QIcon shown = combo->itemIcon(combo->currentIndex());
        EXPECT_FALSE(shown.isNull()) << combo->currentText().toStdString();
        QImage picture = shown.pixmap(16, 16).toImage();
        for (const auto& before : pictures)
            EXPECT_NE(picture, before) << combo->currentText().toStdString();
        pictures.push_back(picture);
        QTest::keyClick(combo, Qt::Key_Down);
    }
}

// The preview beside the panel shows what the panel now says: a staple chosen on the panel is
// drawn on the sheet once the event that chose it has ended, and printed as drawn.
TEST_F(GuiTest, ThePreviewFollowsAStapleChosenOnThePanel) {
    window->resize(1366, 768);
    QApplication::processEvents();
    app::PreviewPane* preview = window->preview();
    ASSERT_TRUE(preview);
    for (QWidget* shown : std::initializer_list<QWidget*>{preview->view(), preview->flipButton()}) {
        QRect area(shown->mapTo(window.get(), QPoint(0, 0)), shown->size());
        EXPECT_FALSE(area.isEmpty()) << shown->objectName().toStdString();
        EXPECT_TRUE(window->rect().contains(area)) << shown->objectName().toStdString();
        EXPECT_EQ(window->childAt(area.center()), shown) << shown->objectName().toStdString();
    }
    auto stapleMarksAtLeft = [&] {
        const QImage& picture = preview->view()->picture();
        SheetPlan plan;
        plan.sheetWidth = 595;
        plan.sheetHeight = 842;
        QRect sheet = app::SheetPreview::sheetRect(plan, picture.size(), false);
        int dark = 0;
        for (int y = sheet.top(); y <= sheet.bottom(); ++y)
            for (int x = sheet.left(); x < sheet.left() + sheet.width() / 12; ++x)
                dark += qGray(picture.pixel(x, y)) < 40 ? 1 : 0;
        return dark;
    };
    EXPECT_EQ(stapleMarksAtLeft(), 0) << "the sample press staples nothing by default";

    auto& staple = *panel().views().stapleMode->descendantsOfType<ui::PopUpButton>().front();
    auto* combo = onPanel<QComboBox>(&staple);
    ASSERT_TRUE(combo);
    int leftEdge = staple.indexOfItemWithRepresentedObject(Value("LeftEdgeUseStaple"));
    ASSERT_GE(leftEdge, 0);
    combo->setFocus();
    while (combo->currentIndex() < leftEdge)
        QTest::keyClick(combo, Qt::Key_Down);
    ASSERT_EQ(staple.indexOfSelectedItem(), leftEdge);
    QApplication::processEvents();
    EXPECT_GT(stapleMarksAtLeft(), 20);
    printed();
    auto package = JobPackage::open(dir / "jobs/job-1/job.xjmf.zip");
    ASSERT_TRUE(package) << package.error();
    EXPECT_EQ(package->ticket().options.at("StapleMode"), "LeftEdge");
}

// On a screen with room for it, the detailed settings window shows the same preview beside its
// pages, and it follows a change made in that window.
TEST_F(GuiTest, OnARealXServerTheDetailedSettingsShowThePreviewBesideTheirPages) {
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs a screen of 1366x768: the Xvfb run of this test has one";
    bool looked = false;
    steps = {[&](qt::QtWindow& shown) {
        auto* preview = dynamic_cast<app::PreviewPane*>(shown.companion());
        ASSERT_TRUE(preview);
        EXPECT_EQ(window->detailedPreview(), preview);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown));
        QWidget* view = preview->view();
        QRect area(view->mapTo(&shown, QPoint(0, 0)), view->size());
        EXPECT_TRUE(preview->isVisible());
        EXPECT_GT(area.width(), 100);
        EXPECT_TRUE(shown.rect().contains(area));
        EXPECT_EQ(shown.childAt(area.center()), view);
        EXPECT_FALSE(view->accessibleName().isEmpty());
        ZEMAUI* staple = detailedControl("StapleMode_StapleMechanism");
        ASSERT_TRUE(staple);
        showTabOf(*staple);
        auto& popUp = *staple->descendantsOfType<ui::PopUpButton>().front();
        auto* combo = inWindow<QComboBox>(shown, &popUp);
        ASSERT_TRUE(combo);
        int leftEdge = popUp.indexOfItemWithRepresentedObject(Value("LeftEdgeUseStaple"));
        ASSERT_GE(leftEdge, 0);
        combo->setFocus();
        while (combo->currentIndex() < leftEdge)
            QTest::keyClick(combo, Qt::Key_Down);
        QApplication::processEvents();
        const QImage& picture = view->isVisible() ? preview->view()->picture() : QImage();
        SheetPlan plan;
        QRect sheet = app::SheetPreview::sheetRect(plan, picture.size(), false);
        int dark = 0;
        for (int y = sheet.top(); y <= sheet.bottom(); ++y)
            for (int x = sheet.left(); x < sheet.left() + sheet.width() / 12; ++x)
                dark += qGray(picture.pixel(x, y)) < 40 ? 1 : 0;
        EXPECT_GT(dark, 20) << "the staples chosen in the window";
        looked = true;
        click(inWindow<QPushButton>(
            shown, DetailedSettingsWinController::sharedInstance().views().ok.get()));
    }};
    click(onPanel<QPushButton>(panel().views().showDetailedSettingsButton.get()));
    ASSERT_TRUE(looked);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window->detailedPreview(), nullptr) << "gone with its window";
    printed();
    auto package = JobPackage::open(dir / "jobs/job-1/job.xjmf.zip");
    ASSERT_TRUE(package) << package.error();
    EXPECT_EQ(package->ticket().options.at("StapleMode"), "LeftEdge");
}

// A document the preview cannot show is said so beside the panel, and the job prints all the same.
TEST_F(GuiTest, APdfThePreviewCannotShowIsSaidAndStillPrinted) {
    ASSERT_FALSE(test::writeLockedPdf(dir, "locked.pdf").empty());
    open(std::nullopt, dir / "locked.pdf");
    QApplication::processEvents();
    QLabel* problem = window->preview()->problemLabel();
    EXPECT_TRUE(problem->isVisible());
    EXPECT_NE(problem->text().toStdString().find("encrypted"), std::string::npos);
    printed();
    auto package = JobPackage::open(dir / "jobs/job-1/job.xjmf.zip");
    ASSERT_TRUE(package) << package.error();
    EXPECT_EQ(package->ticket().documents.size(), 1u);
}

TEST_F(GuiTest, AnEngineAlertIsADialogAndItsAnswerActs) {
    std::vector<std::string> alerts;
    qt::QtToolkit::shared().setAlertShownHook([&](QDialog& dialog) {
        auto* alert = dynamic_cast<qt::QtAlertDialog*>(&dialog);
        auto* text = dialog.findChild<QLabel*>("informativeText");
        alerts.push_back(text ? text->text().toStdString() : std::string());
        // Answered first, so that a failed check below cannot leave the alert waiting.
        if (alert)
            QTest::mouseClick(alert->buttons().front(), Qt::LeftButton);
        else
            dialog.reject();
        EXPECT_NE(alert, nullptr);
        EXPECT_NE(text, nullptr);
    });
    int runs = 0;
    auto refusedThenCancelled = [&](qt::QtWindow& shown) {
        auto& views = DetailedSettingsWinController::sharedInstance().views();
        if (++runs == 1) {
            ZEMAUI* secure = detailedControl("SecPrint");
            ASSERT_NE(secure, nullptr);
            showTabOf(*secure);
            click(inWindow<QCheckBox>(shown, &firstButton(*secure)));
            click(inWindow<QPushButton>(shown, views.ok.get())); // refused: no password
            return;
        }
        click(inWindow<QPushButton>(shown, views.cancel.get()));
    };
    steps = {refusedThenCancelled, refusedThenCancelled};
    click(onPanel<QPushButton>(panel().views().showDetailedSettingsButton.get()));
    EXPECT_EQ(runs, 2); // the window ran again after the refusal
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_NE(alerts[0].find("password"), std::string::npos) << alerts[0];
    // Off, as the panel keeps it (a flag, or the defaults' "False" once the settings are the
    // default item's again).
    const Value& secure = panel().printOption()->get("SecPrint");
    EXPECT_TRUE(secure == Value(false) || secure == Value("False")) << secure.toJson();
}

// A pane's deferred step waits while an alert is open, so it cannot re-enter the change that the
// alert is part of.
TEST_F(GuiTest, DeferredActionsWaitWhileAnAlertIsOpen) {
    bool ran = false, ranDuringAlert = false;
    qt::QtToolkit::shared().setAlertShownHook([&](QDialog& dialog) {
        // Queued as the panes queue their deferred steps: for the default and the modal mode.
        RunLoop::main().perform([&] { ran = true; },
                                {RunLoop::kDefaultMode, RunLoop::kModalPanelMode});
        QTest::qWait(150); // several passes of the toolkit's loop
        ranDuringAlert = ran;
        if (auto* alert = dynamic_cast<qt::QtAlertDialog*>(&dialog))
            QTest::mouseClick(alert->buttons().front(), Qt::LeftButton);
    });
    ui::Alert alert;
    alert.setMessageText("A question");
    alert.addButtonWithTitle("OK");
    alert.runModal();
    EXPECT_FALSE(ranDuringAlert);
    QTest::qWait(150);
    EXPECT_TRUE(ran) << "after the alert";
}

// A rule the engine cannot resolve for the person reaches them in the dialog: with Secure Print
// on, choosing "Store in a Job Folder" shows why it cannot be, and the choice goes back.
TEST_F(GuiTest, AConflictTheEngineCannotResolveIsShownAndTheChoiceGoesBack) {
    std::vector<std::string> alerts;
    qt::QtToolkit::shared().setAlertShownHook([&](QDialog& dialog) {
        auto* alert = dynamic_cast<qt::QtAlertDialog*>(&dialog);
        std::string text;
        for (auto* label : dialog.findChildren<QLabel*>())
            text += label->text().toStdString() + "\n";
        alerts.push_back(text);
        if (alert)
            QTest::mouseClick(alert->buttons().front(), Qt::LeftButton);
        else
            dialog.reject();
    });
    std::string chosen;
    steps = {[&](qt::QtWindow& shown) {
        ZEMAUI* secure = detailedControl("SecPrint");
        ZEMAUI* handling = detailedControl("JobDisposition");
        ASSERT_TRUE(secure && handling);
        showTabOf(*secure);
        click(inWindow<QCheckBox>(shown, &firstButton(*secure)));
        showTabOf(*handling);
        auto& popUp = *handling->descendantsOfType<ui::PopUpButton>().front();
        auto* combo = inWindow<QComboBox>(shown, &popUp);
        ASSERT_TRUE(combo);
        int store = combo->findText("Store in a Job Folder");
        ASSERT_GE(store, 0);
        combo->setFocus();
        for (int down = store - combo->currentIndex(); down > 0; --down)
            QTest::keyClick(combo, Qt::Key_Down);
        chosen = popUp.titleOfSelectedItem();
        click(inWindow<QPushButton>(
            shown, DetailedSettingsWinController::sharedInstance().views().cancel.get()));
    }};
    click(onPanel<QPushButton>(panel().views().showDetailedSettingsButton.get()));
    ASSERT_FALSE(alerts.empty());
    EXPECT_NE(alerts.back().find("cannot be stored in a job folder"), std::string::npos)
        << alerts.back();
    EXPECT_NE(chosen, "Store in a Job Folder");
}

// Settings restored from storage that break a rule no change resolves (a settings file written
// before the rule, or by hand) are shown as stored and the person is told once; Print refuses
// them until the person changes one of the options, and then prints what they chose.
TEST_F(GuiTest, StoredSettingsThatBreakARuleAreShownAsStoredAndPrintedOnlyOnceChanged) {
    std::vector<std::string> alerts;
    qt::QtToolkit::shared().setAlertShownHook([&](QDialog& dialog) {
        std::string text;
        for (auto* label : dialog.findChildren<QLabel*>())
            text += label->text().toStdString() + "\n";
        alerts.push_back(text);
        if (auto* alert = dynamic_cast<qt::QtAlertDialog*>(&dialog))
            QTest::mouseClick(alert->buttons().front(), Qt::LeftButton);
        else
            dialog.reject();
    });
    open(Dictionary{{"ppd", Value(Dictionary{{"Fold", Value("Bifold")},
                                             {"MediaTypeWeight", Value("Group6")}})}});
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_NE(alerts[0].find("[Fold]:[Half Fold]"), std::string::npos) << alerts[0];
    EXPECT_NE(alerts[0].find("[Paper Weight]:[301-400 gsm (Heavy 4)]"), std::string::npos)
        << alerts[0];
    auto& fold = *panel().views().fold->descendantsOfType<ui::PopUpButton>().front();
    auto* combo = onPanel<QComboBox>(&fold);
    ASSERT_TRUE(combo);
    EXPECT_EQ(combo->currentText().toStdString(), "Half Fold"); // as stored, not put back

    QTest::mouseClick(window->printButton(), Qt::LeftButton);
    EXPECT_FALSE(window->result());
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_NE(alerts[1].find("cannot be folded"), std::string::npos) << alerts[1];
    std::string status;
    for (auto* label : window->findChildren<QLabel*>())
        if (label->isVisible() && label->text().startsWith("Not printed"))
            status = label->text().toStdString();
    EXPECT_EQ(status, "Not printed: change the settings the message named.");

    combo->setFocus();
    while (combo->currentIndex() > 0)
        QTest::keyClick(combo, Qt::Key_Up);
    EXPECT_NE(combo->currentText().toStdString(), "Half Fold");
    Dictionary options = printed();
    EXPECT_EQ(alerts.size(), 2u);
    EXPECT_EQ(options.get("MediaTypeWeight"), Value("Group6")) << Value(options).toJson();
    EXPECT_NE(options.get("Fold"), Value("Bifold")) << Value(options).toJson();
}

// The copies a person types are the job's copies, stay what they typed when other settings
// change, and the detailed window shows the same count.
TEST_F(GuiTest, TypedCopiesArePrintedAndShownTheSameEverywhere) {
    auto* copies = onPanel<QLineEdit>(window->hostDialog()->copiesField().get());
    ASSERT_TRUE(copies);
    auto type = [&](const char* count) {
        QTest::mouseDClick(copies, Qt::LeftButton, {}, QPoint(8, copies->height() / 2));
        QTest::keyClick(copies, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(copies, count);
        QTest::keyClick(copies, Qt::Key_Tab);
    };
    type("5");
    EXPECT_EQ(copies->text().toStdString(), "5");
    click(onPanel<QCheckBox>(window->hostDialog()->twoSidedCheckBox().get()));
    EXPECT_EQ(copies->text().toStdString(), "5") << "after Two-Sided";

    std::string shownInDetails;
    steps = {[&](qt::QtWindow& shown) {
        ZEMAUI* count = detailedControl("NumCopies");
        ASSERT_TRUE(count);
        shownInDetails = count->getStringValue().value_or("");
        click(inWindow<QPushButton>(
            shown, DetailedSettingsWinController::sharedInstance().views().ok.get()));
    }};
    click(onPanel<QPushButton>(panel().views().showDetailedSettingsButton.get()));
    EXPECT_EQ(shownInDetails, "5");
    EXPECT_EQ(copies->text().toStdString(), "5") << "after the detailed window's OK";

    type("3");
    Dictionary options = printed();
    EXPECT_EQ(options.get("copies"), Value("3")) << Value(options).toJson();
    auto package = JobPackage::open(dir / "jobs/job-1/job.xjmf.zip");
    ASSERT_TRUE(package) << package.error();
    EXPECT_EQ(package->ticket().copies, 3);
}

// The panel's duplex pop-up and the dialog's Two-Sided box are one setting seen twice: changing
// either shows in the other, in the summary and in the job.
TEST_F(GuiTest, TheDuplexPopUpAndTwoSidedBoxStayInStep) {
    auto& duplex = *panel().views().duplexMode->descendantsOfType<ui::PopUpButton>().front();
    auto* combo = onPanel<QComboBox>(&duplex);
    auto* twoSided = onPanel<QCheckBox>(window->hostDialog()->twoSidedCheckBox().get());
    ASSERT_TRUE(combo && twoSided);
    ASSERT_EQ(duplex.selectedItem()->representedObject(), Value("None"));
    ASSERT_FALSE(twoSided->isChecked());

    click(twoSided);
    EXPECT_TRUE(twoSided->isChecked());
    EXPECT_EQ(duplex.selectedItem()->representedObject(), Value("DuplexNoTumble"));
    EXPECT_EQ(combo->currentIndex(), duplex.indexOfSelectedItem());
    click(twoSided);
    EXPECT_EQ(duplex.selectedItem()->representedObject(), Value("None"));

    combo->setFocus();
    int tumble = duplex.indexOfItemWithRepresentedObject(Value("DuplexTumble"));
    ASSERT_GE(tumble, 0);
    for (int down = tumble - combo->currentIndex(); down > 0; --down)
        QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_TRUE(twoSided->isChecked());
    QTest::qWait(300); // the summary follows a moment after the change
    std::string summary;
    for (auto* item : window->summary()->findItems("*", Qt::MatchWildcard | Qt::MatchRecursive))
        summary += item->text(0).toStdString() + ": " + item->text(1).toStdString() + "\n";
    EXPECT_EQ(summary.find("1-Sided"), std::string::npos) << summary;
    Dictionary options = printed();
    EXPECT_EQ(options.get("Duplex"), Value("DuplexTumble")) << Value(options).toJson();
    EXPECT_EQ(options.get("DuplexMode"), Value("DuplexTumble")) << Value(options).toJson();
    EXPECT_EQ(options.get("sides"), Value("two-sided-short-edge"));
}

// The paper source chosen on the panel is printed as shown, whether the detailed window that
// opened meanwhile was closed with OK or with Escape.
TEST_F(GuiTest, TheBypassTrayChosenOnThePanelIsPrintedAfterTheDetailedWindowClosesAnyWay) {
    for (bool escape : {true, false}) {
        SCOPED_TRACE(escape ? "Escape" : "OK");
        open();
        auto& source = *panel().views().inputSlot->descendantsOfType<ui::PopUpButton>().front();
        auto* combo = onPanel<QComboBox>(&source);
        ASSERT_TRUE(combo);
        int bypass = source.indexOfItemWithRepresentedObject(Value("Manual"));
        ASSERT_GE(bypass, 0);
        combo->setFocus();
        for (int down = bypass - combo->currentIndex(); down > 0; --down)
            QTest::keyClick(combo, Qt::Key_Down);
        ASSERT_EQ(source.indexOfSelectedItem(), bypass);
        if (!escape)
            steps = {[&](qt::QtWindow& shown) {
                click(inWindow<QPushButton>(
                    shown, DetailedSettingsWinController::sharedInstance().views().ok.get()));
            }};
        click(onPanel<QPushButton>(panel().views().showDetailedSettingsButton.get()));
        EXPECT_EQ(combo->currentIndex(), bypass);
        Dictionary options = printed();
        EXPECT_EQ(options.get("KVInputSlot"), Value("Manual")) << Value(options).toJson();
        EXPECT_EQ(options.get("InputSlot"), Value("Manual")) << Value(options).toJson();
    }
}

// On a real X server, with input a person's devices would give (X events through xdotool, not
// Qt's synthetic ones): the copies typed, a staple chosen in its pop-up and Print reach the
// press's ticket. Runs in the test that starts Xvfb; elsewhere there is no X server to use.
TEST_F(GuiTest, OnARealXServerTypedCopiesAndAStapleReachThePress) {
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs an X server: the Xvfb run of this test has one";
    ASSERT_EQ(std::system("command -v xdotool >/dev/null"), 0) << "xdotool is not installed";
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    auto xdotool = [](const std::string& arguments) {
        ASSERT_EQ(std::system(("xdotool " + arguments).c_str()), 0) << arguments;
        QTest::qWait(250); // the X events arrive and are handled
    };
    auto clickAt = [&](QWidget* widget) {
        ASSERT_TRUE(widget);
        QPoint centre = widget->mapToGlobal(widget->rect().center());
        xdotool("mousemove " + std::to_string(centre.x()) + " " + std::to_string(centre.y()) +
                " click 1");
    };
    window->activateWindow();
    auto* copies = onPanel<QLineEdit>(window->hostDialog()->copiesField().get());
    clickAt(copies);
    xdotool("key ctrl+a");
    xdotool("type 3");
    xdotool("key Tab");
    EXPECT_EQ(copies->text().toStdString(), "3");

    auto& staple = *panel().views().stapleMode->descendantsOfType<ui::PopUpButton>().front();
    auto* combo = onPanel<QComboBox>(&staple);
    clickAt(combo);
    xdotool("key Down Return"); // the item below Off in the open list
    EXPECT_NE(staple.indexOfSelectedItem(), 0);
    std::string chosen = staple.selectedItem()->representedObject().stringValue();

    clickAt(window->printButton());
    for (int waited = 0; !window->result() && waited < 40; ++waited)
        QTest::qWait(100);
    ASSERT_TRUE(window->result());
    auto package = JobPackage::open(dir / "jobs/job-1/job.xjmf.zip");
    ASSERT_TRUE(package) << package.error();
    EXPECT_EQ(package->ticket().copies, 3);
    // The press's ticket names the staple position the panel's choice stands for.
    const std::string& stapled = package->ticket().options.at("StapleMode");
    EXPECT_NE(stapled, "None");
    EXPECT_TRUE(chosen.starts_with(stapled)) << chosen << " printed as " << stapled;
}

// The print dialog and the detailed settings window fit the screen; what does not fit scrolls,
// and the detailed window's OK can be scrolled to and clicked.
TEST_F(GuiTest, BothWindowsFitTheScreenAndOkCanBeReached) {
    QSize available = window->screen()->availableGeometry().size();
    EXPECT_LE(window->width(), available.width());
    EXPECT_LE(window->height(), available.height());
    bool reached = false;
    steps = {[&](qt::QtWindow& shown) {
        EXPECT_LE(shown.width(), available.width());
        EXPECT_LE(shown.height(), available.height());
        auto* ok = inWindow<QPushButton>(
            shown, DetailedSettingsWinController::sharedInstance().views().ok.get());
        auto* scroll = shown.findChild<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_TRUE(ok && scroll);
        scroll->ensureWidgetVisible(ok);
        QPoint centre = ok->mapTo(&shown, ok->rect().center());
        ASSERT_TRUE(shown.rect().contains(centre)) << "OK lies outside the window";
        QWidget* there = shown.childAt(centre);
        EXPECT_TRUE(there == ok || ok->isAncestorOf(there)) << "OK is covered";
        QTest::mouseClick(ok, Qt::LeftButton);
        reached = true;
    }};
    click(onPanel<QPushButton>(panel().views().showDetailedSettingsButton.get()));
    EXPECT_TRUE(reached);
    EXPECT_TRUE(qt::QtToolkit::shared().windows().empty()) << "OK closed the window";
}

// An alert with only OK closes with Escape, answering OK; its title names the window it belongs
// to instead of repeating the message.
TEST_F(GuiTest, AnAlertWithOnlyOkClosesWithEscape) {
    bool closedByEscape = false;
    std::string title;
    qt::QtToolkit::shared().setAlertShownHook([&](QDialog& dialog) {
        title = dialog.windowTitle().toStdString();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        closedByEscape = !dialog.isVisible();
        if (dialog.isVisible())
            dialog.done(0); // never left waiting for a person
    });
    ui::Alert alert;
    alert.setMessageText("Enter the secure print password.");
    alert.addButtonWithTitle("OK");
    EXPECT_EQ(alert.runModal(), ui::kAlertFirstButtonReturn);
    EXPECT_TRUE(closedByEscape);
    EXPECT_FALSE(title.empty());
    EXPECT_NE(title, "Enter the secure print password.");
}

// Every mnemonic of the dialog's own controls is its own: Alt+R chooses the printer and Alt+P
// prints.
TEST_F(GuiTest, ThePrinterAndPrintHaveTheirOwnMnemonics) {
    std::map<QChar, std::vector<std::string>> owners;
    auto mnemonic = [](const QString& text) -> std::optional<QChar> {
        int at = text.indexOf('&');
        if (at < 0 || at + 1 >= text.size())
            return std::nullopt;
        return text.at(at + 1).toLower();
    };
    for (auto* label : window->findChildren<QLabel*>())
        if (auto key = mnemonic(label->text()))
            owners[*key].push_back(label->text().toStdString());
    for (auto* button : window->findChildren<QPushButton*>())
        if (auto key = mnemonic(button->text()))
            owners[*key].push_back(button->text().toStdString());
    for (const auto& [key, texts] : owners)
        EXPECT_EQ(texts.size(), 1u) << "Alt+" << QString(key).toStdString() << " is shared by "
                                    << testing::PrintToString(texts);
    EXPECT_FALSE(owners.empty());
}

// A person saves the settings as a favorite from the dialog, goes back to the defaults and
// chooses the favorite again from the favorites pop-up; the favorites window opens from there.
TEST_F(GuiTest, FavoritesAreSavedChosenAndManagedFromTheDialog) {
    auto* chooser = window->favoritesChooser();
    ASSERT_TRUE(chooser);
    EXPECT_TRUE(chooser->isVisibleTo(window.get()));
    EXPECT_FALSE(chooser->accessibleName().isEmpty());
    auto colorMode = [] {
        return PanePlugInMgr::sharedInstance().getStringValueFromKey("ColorMode").value_or("");
    };
    auto choose = [&](QComboBox& combo, const QString& title) {
        int wanted = combo.findText(title);
        ASSERT_GE(wanted, 0) << title.toStdString();
        combo.setFocus();
        while (combo.currentIndex() != wanted) {
            int before = combo.currentIndex();
            QTest::keyClick(&combo, before < wanted ? Qt::Key_Down : Qt::Key_Up);
            ASSERT_NE(combo.currentIndex(), before) << "the keys do not reach " << wanted;
        }
    };
    auto& color = *panel().views().colorMode->descendantsOfType<ui::PopUpButton>().front();
    auto* colorCombo = onPanel<QComboBox>(&color);
    ASSERT_TRUE(colorCombo);
    choose(*colorCombo,
           QString::fromStdString(
               color.itemAtIndex(color.indexOfItemWithRepresentedObject(Value("Gray")))->title()));
    ASSERT_EQ(colorMode(), "Gray");

    steps = {[&](qt::QtWindow& shown) {
        const auto& views = SaveFavoriteWindowController::sharedInstance().views();
        auto* name = inWindow<QLineEdit>(shown, views.favoriteName.get());
        ASSERT_TRUE(name);
        QTest::mouseClick(name, Qt::LeftButton);
        QTest::keyClicks(name, "Grey proofs");
        click(inWindow<QPushButton>(shown, views.ok.get()));
    }};
    click(window->saveFavoriteButton());
    ASSERT_GE(chooser->findText("Grey proofs"), 0) << "the saved favorite is not offered";

    choose(*chooser, chooser->itemText(0)); // the default item
    EXPECT_EQ(colorMode(), "Color");
    choose(*chooser, "Grey proofs");
    EXPECT_EQ(colorMode(), "Gray");

    steps = {[&](qt::QtWindow& shown) { QTest::keyClick(&shown, Qt::Key_Escape); }};
    opened.clear();
    click(window->manageFavoritesButton());
    EXPECT_EQ(opened.size(), 1u) << "the favorites window did not open";
}

// Ticking Two-Sided on transparencies asks whether to change the paper; answered No, both the
// box and the pop-up stay one-sided and the job is printed one-sided.
TEST_F(GuiTest, TwoSidedRefusedByThePersonLeavesTheJobOneSided) {
    steps = {[&](qt::QtWindow& shown) {
        ZEMAUI* paper = detailedControl("PaperType_MediaTypeTabbed");
        ASSERT_TRUE(paper);
        showTabOf(*paper);
        auto refused = app::actAsUser(*paper, "Transparency_False", *shown.window());
        ASSERT_FALSE(refused) << *refused;
        click(inWindow<QPushButton>(
            shown, DetailedSettingsWinController::sharedInstance().views().ok.get()));
    }};
    click(onPanel<QPushButton>(panel().views().showDetailedSettingsButton.get()));
    std::vector<std::string> asked;
    qt::QtToolkit::shared().setAlertShownHook([&](QDialog& dialog) {
        auto* alert = dynamic_cast<qt::QtAlertDialog*>(&dialog);
        asked.push_back(dialog.findChild<QLabel*>("messageText")->text().toStdString());
        if (alert && alert->buttons().size() == 2)
            QTest::mouseClick(alert->buttons()[1], Qt::LeftButton); // No
        else
            dialog.reject();
    });
    auto* twoSided = onPanel<QCheckBox>(window->hostDialog()->twoSidedCheckBox().get());
    click(twoSided);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].find("[Paper Type]:[Transparency]"), std::string::npos) << asked[0];
    EXPECT_FALSE(twoSided->isChecked());
    auto& duplex = *panel().views().duplexMode->descendantsOfType<ui::PopUpButton>().front();
    EXPECT_EQ(duplex.selectedItem()->representedObject(), Value("None"));
    Dictionary options = printed();
    EXPECT_NE(options.get("Duplex"), Value("DuplexNoTumble")) << Value(options).toJson();
    EXPECT_EQ(options.get("sides"), Value("one-sided")) << Value(options).toJson();
}

// Every control a person can reach in the dialog and on the detailed window's page is named
// for assistive technology by its label, not announced by its value; radio buttons are radio
// buttons.
TEST_F(GuiTest, EveryControlIsNamedForAssistiveTechnology) {
    auto check = [](QWidget& root, const std::string& where) {
        int checked = 0;
        for (QWidget* widget : root.findChildren<QWidget*>()) {
            if (!widget->isVisibleTo(&root) || !(widget->focusPolicy() & Qt::TabFocus))
                continue;
            QAccessibleInterface* shown = QAccessible::queryAccessibleInterface(widget);
            if (!shown)
                continue;
            QAccessible::Role role = shown->role();
            static const std::set<QAccessible::Role> kinds = {
                QAccessible::ComboBox,    QAccessible::EditableText, QAccessible::CheckBox,
                QAccessible::RadioButton, QAccessible::Slider,       QAccessible::SpinBox};
            if (!kinds.contains(role) && !qobject_cast<QRadioButton*>(widget))
                continue;
            // Named by its own name where that is not its value, else by the label related to it
            // (on Linux Qt names a pop-up by its value and relates its label).
            QString value;
            if (auto* combo = qobject_cast<QComboBox*>(widget))
                value = combo->currentText();
            if (auto* field = qobject_cast<QLineEdit*>(widget))
                value = field->text();
            QString name = shown->text(QAccessible::Name).trimmed();
            if (name == value)
                name.clear();
            for (const auto& [label, relation] : shown->relations(QAccessible::Label))
                if (name.isEmpty() && label)
                    name = label->text(QAccessible::Name).remove('&').trimmed();
            std::string what = where + ": a " + widget->metaObject()->className() + " showing \"" +
                               value.toStdString() + "\"";
            EXPECT_FALSE(name.isEmpty()) << what << " has no name but its value";
            if (qobject_cast<QRadioButton*>(widget)) {
                EXPECT_EQ(role, QAccessible::RadioButton) << what << " " << name.toStdString();
            }
            ++checked;
        }
        EXPECT_GT(checked, 5) << where;
    };
    check(*window, "the print dialog");
    bool looked = false;
    steps = {[&](qt::QtWindow& shown) {
        check(shown, "the detailed settings window");
        looked = true;
        QTest::keyClick(&shown, Qt::Key_Escape);
    }};
    click(onPanel<QPushButton>(panel().views().showDetailedSettingsButton.get()));
    EXPECT_TRUE(looked);
}

// Each page of the detailed window has a title of its own, also the pane that serves two roles.
TEST_F(GuiTest, EveryPageOfTheDetailedWindowHasItsOwnTitle) {
    std::vector<std::string> titles;
    steps = {[&](qt::QtWindow& shown) {
        for (const auto& item :
             DetailedSettingsWinController::sharedInstance().views().tabView->tabViewItems())
            titles.push_back(item->label());
        QTest::keyClick(&shown, Qt::Key_Escape);
    }};
    click(onPanel<QPushButton>(panel().views().showDetailedSettingsButton.get()));
    std::set<std::string> distinct(titles.begin(), titles.end());
    EXPECT_GE(titles.size(), 9u);
    EXPECT_EQ(distinct.size(), titles.size()) << testing::PrintToString(titles);
}

// In the tabs view a click on a tab shows its page, and a page with tabs of its own (paper and
// trays) shows them, and a click on one of those shows that part.
TEST_F(GuiTest, InTheTabsViewAClickOnATabShowsItsPageAndItsOwnTabs) {
    bool looked = false;
    steps = {[&](qt::QtWindow& shown) {
        auto& views = DetailedSettingsWinController::sharedInstance().views();
        auto* style = inWindow<QComboBox>(shown, views.viewStyle.get());
        ASSERT_TRUE(style);
        style->setFocus();
        while (style->currentIndex() > 0)
            QTest::keyClick(style, Qt::Key_Up); // "Tabs"
        qt::QtToolkit::shared().refreshAll();
        ui::TabView& tabs = *views.tabView;
        auto* bar = inWindow<QWidget>(shown, &tabs)->findChild<QTabBar*>();
        ASSERT_TRUE(bar && bar->isVisible());
        auto clickTab = [](QTabBar& tabBar, int index) {
            QPoint centre = tabBar.tabRect(index).center();
            QWidget* there = tabBar.window()->childAt(tabBar.mapTo(tabBar.window(), centre));
            EXPECT_EQ(there, &tabBar) << "tab " << index << " is covered";
            QTest::mouseClick(&tabBar, Qt::LeftButton, {}, centre);
            qt::QtToolkit::shared().refreshAll();
        };
        int paper = -1;
        for (int i = 0; i < static_cast<int>(tabs.tabViewItems().size()); ++i)
            if (tabs.tabViewItems()[static_cast<std::size_t>(i)]->label() == "Paper and Trays")
                paper = i;
        ASSERT_GE(paper, 1);
        clickTab(*bar, paper);
        ASSERT_EQ(tabs.indexOfTabViewItem(tabs.selectedTabViewItem().get()), paper);
        auto nested = tabs.selectedTabViewItem()->view()->descendantsOfType<ui::TabView>();
        ASSERT_FALSE(nested.empty()) << "the page has no tabs of its own";
        ui::TabView& inner = *nested.front();
        EXPECT_EQ(inner.tabViewType(), ui::TabViewType::TopTabsBezelBorder);
        auto* innerBar = inWindow<QWidget>(shown, &inner)->findChild<QTabBar*>();
        ASSERT_TRUE(innerBar && innerBar->isVisible() && innerBar->count() > 1);
        clickTab(*innerBar, 1);
        EXPECT_EQ(inner.indexOfTabViewItem(inner.selectedTabViewItem().get()), 1);
        // The part starts right under its tabs, not at the foot of a tall empty page.
        auto* part = inWindow<QWidget>(shown, inner.selectedTabViewItem()->view().get());
        ASSERT_TRUE(part);
        int firstTop = part->height();
        for (auto* child : part->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child->isVisibleTo(part))
                firstTop = std::min(firstTop, child->y());
        QPoint below = innerBar->mapTo(&shown, QPoint(0, innerBar->height()));
        QPoint first = part->mapTo(&shown, QPoint(0, firstTop));
        EXPECT_LT(first.y() - below.y(), 60) << "the part starts far below its tabs";
        looked = true;
        QTest::keyClick(&shown, Qt::Key_Escape);
    }};
    click(onPanel<QPushButton>(panel().views().showDetailedSettingsButton.get()));
    EXPECT_TRUE(looked);
}

// A control's child controls show with it: ticking Secure Print shows its password field, whole
// and not covered, and what is typed there is what the job gets.
TEST_F(GuiTest, TickingSecurePrintShowsItsPasswordField) {
    bool looked = false;
    steps = {[&](qt::QtWindow& shown) {
        ZEMAUI* secure = detailedControl("SecPrint");
        ASSERT_TRUE(secure);
        showTabOf(*secure);
        click(inWindow<QCheckBox>(shown, &firstButton(*secure)));
        qt::QtToolkit::shared().refreshAll();
        ZEMAUI* password = detailedControl("SecPrintPassword");
        ASSERT_TRUE(password && password->textField());
        auto* field = inWindow<QLineEdit>(shown, password->textField().get());
        ASSERT_TRUE(field);
        EXPECT_TRUE(field->isVisibleTo(&shown));
        EXPECT_GT(field->height(), 10);
        auto* scroll = shown.findChild<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_TRUE(scroll);
        scroll->ensureWidgetVisible(field);
        // Whole inside each ancestor up to the scrolled content: nothing clips it away (the
        // scroll area shows it once scrolled to, which childAt below checks).
        for (QWidget* inner = field; inner->parentWidget() && inner != scroll->widget();
             inner = inner->parentWidget()) {
            QRect inParent =
                QRect(field->mapTo(inner->parentWidget(), QPoint(0, 0)), field->size());
            EXPECT_TRUE(inner->parentWidget()->rect().contains(inParent))
                << "clipped by a " << inner->parentWidget()->metaObject()->className() << " "
                << inParent.x() << "," << inParent.y() << " " << inParent.width() << "x"
                << inParent.height() << " in " << inner->parentWidget()->width() << "x"
                << inner->parentWidget()->height();
        }
        QPoint centre = field->mapTo(&shown, field->rect().center());
        QWidget* there = shown.childAt(centre);
        EXPECT_TRUE(there == field || field->isAncestorOf(there)) << "the field is covered";
        QTest::mouseClick(field, Qt::LeftButton);
        QTest::keyClicks(field, "2468");
        looked = true;
        click(inWindow<QPushButton>(
            shown, DetailedSettingsWinController::sharedInstance().views().ok.get()));
    }};
    click(onPanel<QPushButton>(panel().views().showDetailedSettingsButton.get()));
    ASSERT_TRUE(looked);
    Dictionary options = printed();
    auto package = JobPackage::open(dir / "jobs/job-1/job.xjmf.zip");
    ASSERT_TRUE(package) << package.error();
    EXPECT_EQ(package->ticket().options.at("SecPrint"), "True");
}

// Every option a page shows can be seen and reached by a person, in the tabs view (with the
// pages' own tabs) and in the outline (with its rows for the parts): its widget has a size, lies
// in the window once scrolled to, and nothing covers it.
TEST_F(GuiTest, EveryOptionOfEveryPageIsVisibleAndReachableInBothViews) {
    std::set<std::string> reached;
    std::vector<std::string> problems;
    auto checkShownPage = [&](qt::QtWindow& shown, const std::string& where) {
        qt::QtToolkit::shared().refreshAll();
        auto& tabs = *DetailedSettingsWinController::sharedInstance().views().tabView;
        auto page = tabs.selectedTabViewItem();
        ASSERT_TRUE(page && page->view());
        auto* scroll = shown.findChild<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_TRUE(scroll);
        // Texts and pictures of the page are whole: none is cut by the control that holds it.
        // And the page starts at its top, not under an empty band.
        if (auto* pageWidget = shown.mirror().widgetFor(page->view().get())) {
            for (const auto& problem : qt::layoutProblems(*pageWidget))
                problems.push_back(where + ": " + problem);
            QWidget* tabsWidget = shown.mirror().widgetFor(&tabs);
            int highest = -1;
            for (const auto& control : page->view()->descendantsOfType<ZEMAUI>())
                if (QWidget* widget = shown.mirror().widgetFor(control.get());
                    tabsWidget && widget && widget->isVisibleTo(&shown)) {
                    int y = widget->mapTo(tabsWidget, QPoint(0, 0)).y();
                    highest = highest < 0 ? y : std::min(highest, y);
                }
            // Up to three rows of tabs (the window's, the page's, a part's) and their margins.
            constexpr int kHeaderRoom = 170;
            if (highest > kHeaderRoom)
                problems.push_back(where + ": the first option starts " + std::to_string(highest) +
                                   " pixels down the page");
        }
        for (const auto& control : page->view()->descendantsOfType<ZEMAUI>()) {
            if (control->mainKeyword().empty() || control->isHiddenOrHasHiddenAncestor())
                continue;
            std::shared_ptr<ui::View> element = control->popUpButton();
            if (!element)
                element = control->checkBox();
            if (!element)
                element = control->textField();
            if (!element)
                element = control->radioMatrix();
            if (!element)
                element = control->slider();
            if (!element && !control->datePickers().empty())
                element = control->datePickers().front();
            if (!element || element->isHiddenOrHasHiddenAncestor())
                continue;
            std::string what = where + ": " + control->mainKeyword();
            QWidget* widget = shown.mirror().widgetFor(element.get());
            if (!widget || !widget->isVisibleTo(&shown) || widget->width() < 4 ||
                widget->height() < 4) {
                problems.push_back(what + " has no widget a person sees");
                continue;
            }
            scroll->ensureWidgetVisible(widget, 0, 0);
            QPoint centre = widget->mapTo(&shown, widget->rect().center());
            QWidget* there = shown.childAt(centre);
            if (!shown.rect().contains(centre))
                problems.push_back(what + " lies outside the window");
            else if (there != widget && !widget->isAncestorOf(there))
                problems.push_back(what + " is covered by a " +
                                   (there ? there->metaObject()->className() : "nothing"));
            else
                reached.insert(control->mainKeyword());
        }
    };
    bool looked = false;
    steps = {[&](qt::QtWindow& shown) {
        auto& views = DetailedSettingsWinController::sharedInstance().views();
        auto* style = inWindow<QComboBox>(shown, views.viewStyle.get());
        ASSERT_TRUE(style);
        ui::TabView& tabs = *views.tabView;
        // The tabs view: every page by its tab, every part by the page's own tabs.
        style->setFocus();
        while (style->currentIndex() > 0)
            QTest::keyClick(style, Qt::Key_Up);
        qt::QtToolkit::shared().refreshAll();
        auto* bar = inWindow<QWidget>(shown, &tabs)->findChild<QTabBar*>();
        ASSERT_TRUE(bar);
        for (int page = 0; page < bar->count(); ++page) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
            qt::QtToolkit::shared().refreshAll();
            std::string title = bar->tabText(page).toStdString();
            QTabBar* inner = ownTabBarOfShownPage(shown, tabs);
            int parts = inner && inner->isVisible() ? inner->count() : 1;
            for (int part = 0; part < parts; ++part) {
                if (inner && inner->isVisible())
                    QTest::mouseClick(inner, Qt::LeftButton, {}, inner->tabRect(part).center());
                checkShownPage(shown, "tabs, " + title + " " + std::to_string(part));
            }
        }
        std::size_t inTabs = reached.size();
        // The outline: every row, parts included.
        while (style->currentIndex() < 1)
            QTest::keyClick(style, Qt::Key_Down);
        qt::QtToolkit::shared().refreshAll();
        auto* tree = inWindow<QTreeWidget>(shown, views.outline.get());
        ASSERT_TRUE(tree);
        tree->expandAll();
        qt::QtToolkit::shared().refreshAll();
        std::vector<QString> rows;
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            rows.push_back((*it)->text(0));
        for (const auto& row : rows) {
            auto found = tree->findItems(row, Qt::MatchExactly | Qt::MatchRecursive);
            if (found.isEmpty())
                continue;
            tree->scrollToItem(found.front());
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                              tree->visualItemRect(found.front()).center());
            checkShownPage(shown, "outline, " + row.toStdString());
        }
        EXPECT_GT(inTabs, 100u) << "options reached in the tabs view";
        looked = true;
        QTest::keyClick(&shown, Qt::Key_Escape);
    }};
    click(onPanel<QPushButton>(panel().views().showDetailedSettingsButton.get()));
    ASSERT_TRUE(looked);
    // Each problem once, however many views showed it.
    std::set<std::string> distinct(problems.begin(), problems.end());
    std::string listed;
    for (const auto& problem : distinct)
        listed += "\n  " + problem;
    EXPECT_TRUE(problems.empty()) << distinct.size() << " problems:" << listed;
    EXPECT_GT(reached.size(), 150u);
}

// Sets an option control to another value through its widget, as a person would with the mouse
// or keyboard: the next choice of a pop-up, the other state of a check box, another radio button,
// a slider's next step, another number or text typed in a field. False when the widget offers
// no other value (disabled, read-only, one choice) or the control has no such widget.
bool changeThroughWidget(qt::QtWindow& shown, ZEMAUI& control) {
    auto widgetOf = [&](const std::shared_ptr<ui::View>& view) -> QWidget* {
        QWidget* widget = view ? shown.mirror().widgetFor(view.get()) : nullptr;
        return widget && widget->isVisibleTo(&shown) && widget->isEnabled() ? widget : nullptr;
    };
    auto settle = [] { QTest::qWait(60); }; // deferred steps of the change run (every 20 ms)
    if (auto* combo = qobject_cast<QComboBox*>(widgetOf(control.popUpButton()))) {
        int before = combo->currentIndex();
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down);
        if (combo->currentIndex() == before)
            QTest::keyClick(combo, Qt::Key_Up);
        settle();
        return combo->currentIndex() != before;
    }
    if (auto* box = qobject_cast<QCheckBox*>(widgetOf(control.checkBox()))) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        settle();
        return true;
    }
    if (QWidget* matrix = widgetOf(control.radioMatrix())) {
        for (auto* radio : matrix->findChildren<QRadioButton*>())
            if (!radio->isChecked() && radio->isEnabled() && radio->isVisibleTo(&shown)) {
                QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(8, radio->height() / 2));
                settle();
                return true;
            }
        return false;
    }
    if (auto* slider = qobject_cast<QSlider*>(widgetOf(control.slider()))) {
        slider->setFocus();
        QTest::keyClick(slider, slider->value() < slider->maximum() ? Qt::Key_Right : Qt::Key_Left);
        settle();
        return true;
    }
    if (auto* field = qobject_cast<QLineEdit*>(widgetOf(control.textField()))) {
        if (field->isReadOnly())
            return false;
        // What a person would type: another number in a number field; in a text field a page
        // range where one is asked for, else a name.
        bool number = false;
        double value = field->text().toDouble(&number);
        QStringList candidates =
            number ? QStringList{QString::number(value + 1), QString::number(value - 1)}
                   : QStringList{"1-2", field->text() + "Velmora"};
        for (const auto& typed : candidates) {
            QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(8, field->height() / 2));
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(field, typed);
            QTest::keyClick(field, Qt::Key_Tab);
            settle();
            if (field->text() == typed)
                return true;
        }
        return false;
    }
    return false;
}

struct EveryOptionCase {
    const char* language;
    bool outline; // the outline view style, else the tabs
};

void PrintTo(const EveryOptionCase& tried, std::ostream* out) {
    *out << tried.language << (tried.outline ? ", outline" : ", tabs");
}

class GuiEveryOption : public GuiTest, public ::testing::WithParamInterface<EveryOptionCase> {};

// For every page of the detailed window, in the view style and language of the case: each
// option a person can change there is changed through its widget on the screen, then OK and
// Print, and the job holds what each control showed when the window closed.
TEST_P(GuiEveryOption, EveryOptionSetThroughItsWidgetReachesTheJob) {
    test::ScopedEnv chosen{"LANGUAGE", GetParam().language};
    qt::QtToolkit::shared().setAlertShownHook([](QDialog& dialog) {
        // A rule's question: the default answer, as a person pressing Return.
        if (auto* alert = dynamic_cast<qt::QtAlertDialog*>(&dialog))
            QTest::mouseClick(alert->buttons().front(), Qt::LeftButton);
    });
    std::vector<std::string> problems;
    std::size_t changed = 0, found = 0;
    std::vector<std::string> absent;
    for (int page = 0;; ++page) {
        open();
        int pages = 0;
        std::string title;
        std::map<std::string, std::string> shownValues; // key → the control's value at OK
        Dictionary canonical;
        steps = {[&](qt::QtWindow& shown) {
            auto& views = DetailedSettingsWinController::sharedInstance().views();
            auto* style = inWindow<QComboBox>(shown, views.viewStyle.get());
            ASSERT_TRUE(style);
            style->setFocus();
            QTest::keyClick(style, GetParam().outline ? Qt::Key_Down : Qt::Key_Up);
            qt::QtToolkit::shared().refreshAll();
            ui::TabView& tabs = *views.tabView;
            pages = tabs.numberOfTabViewItems();
            if (page >= pages) {
                QTest::keyClick(&shown, Qt::Key_Escape);
                return;
            }
            // The parts of the page, each shown as a person would show it.
            std::vector<std::function<void()>> parts;
            if (GetParam().outline) {
                auto* tree = inWindow<QTreeWidget>(shown, views.outline.get());
                ASSERT_TRUE(tree);
                // The outline fills its rows anew as they change: each is looked up when used.
                auto rowOf = [tree, page](int child) -> QTreeWidgetItem* {
                    QTreeWidgetItem* top = tree->topLevelItem(page);
                    if (top && !top->isExpanded()) {
                        top->setExpanded(true);
                        qt::QtToolkit::shared().refreshAll();
                        top = tree->topLevelItem(page);
                    }
                    return !top || child < 0 ? top : top->child(child);
                };
                ASSERT_TRUE(rowOf(-1));
                title = rowOf(-1)->text(0).toStdString();
                int children = rowOf(-1)->childCount();
                for (int child = -1; child < children; ++child)
                    parts.push_back([tree, rowOf, child] {
                        QTreeWidgetItem* item = rowOf(child);
                        if (!item)
                            return;
                        tree->scrollToItem(item);
                        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                                          tree->visualItemRect(item).center());
                    });
            } else {
                auto* bar = inWindow<QWidget>(shown, &tabs)->findChild<QTabBar*>();
                ASSERT_TRUE(bar);
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
                qt::QtToolkit::shared().refreshAll();
                title = bar->tabText(page).toStdString();
                QTabBar* inner = ownTabBarOfShownPage(shown, tabs);
                int count = inner && inner->isVisible() ? inner->count() : 1;
                for (int part = 0; part < count; ++part)
                    parts.push_back([inner, part] {
                        if (inner && inner->isVisible())
                            QTest::mouseClick(inner, Qt::LeftButton, {},
                                              inner->tabRect(part).center());
                    });
            }
            auto* scroll = shown.findChild<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly);
            ASSERT_TRUE(scroll);
            std::vector<std::shared_ptr<ZEMAUI>> touched;
            for (auto& showPart : parts) {
                showPart();
                qt::QtToolkit::shared().refreshAll();
                auto shownPage = tabs.selectedTabViewItem();
                ASSERT_TRUE(shownPage && shownPage->view());
                for (const auto& control : shownPage->view()->descendantsOfType<ZEMAUI>()) {
                    if (control->mainKeyword().empty() || control->isHiddenOrHasHiddenAncestor())
                        continue;
                    if (QWidget* widget = shown.mirror().widgetFor(control.get()))
                        scroll->ensureWidgetVisible(widget, 0, 0);
                    // What the person is about to use is on the screen and not covered.
                    for (const auto& element : std::vector<std::shared_ptr<ui::View>>{
                             control->popUpButton(), control->checkBox(), control->textField(),
                             control->radioMatrix(), control->slider()}) {
                        QWidget* widget =
                            element ? shown.mirror().widgetFor(element.get()) : nullptr;
                        if (!widget || !widget->isVisibleTo(&shown))
                            continue;
                        scroll->ensureWidgetVisible(widget, 0, 0);
                        QPoint centre = widget->mapTo(&shown, widget->rect().center());
                        QWidget* there = shown.childAt(centre);
                        if (!shown.rect().contains(centre) ||
                            (there != widget && !widget->isAncestorOf(there)))
                            problems.push_back(title + ": " + control->mainKeyword() +
                                               " is not where a person can reach it");
                        break;
                    }
                    if (changeThroughWidget(shown, *control)) {
                        touched.push_back(control);
                        qt::QtToolkit::shared().refreshAll();
                    }
                }
            }
            for (const auto& control : touched)
                if (!control->isHiddenOrHasHiddenAncestor() && control->isEnabled())
                    if (auto value = control->getStringValue())
                        shownValues[control->mainKeyword()] = *value;
            // All of the panel's values as the window closes, in the queue's keywords.
            if (auto all = PanePlugInMgr::sharedInstance().values().gatherPrintOptionValues(
                    false, 0, false, false, false)) {
                canonical = std::move(*all);
                PrintOptionConverter::convertToCanonicalPpdKeyword(canonical, true);
            }
            click(inWindow<QPushButton>(shown, views.ok.get()));
        }};
        // Settings the final check refuses show the window again (it is then closed with
        // Escape, and nothing is kept): say so.
        std::size_t shownBefore = opened.size();
        click(onPanel<QPushButton>(panel().views().showDetailedSettingsButton.get()));
        if (opened.size() > shownBefore + 1)
            problems.push_back(title + ": OK was refused");
        if (HasFatalFailure() || page >= pages)
            break;
        QTest::mouseClick(window->printButton(), Qt::LeftButton);
        if (!window->result()) {
            problems.push_back(title + ": not printed");
            continue;
        }
        // The job under the press's names, where the queue's PPD names an option for print
        // clients (IPP's output bins, ColorModel for the output colour).
        static ppd_file_t* queue = ppdOpenFile(VELMORA_QUEUE_PPD);
        static const PressNames names(queue);
        Dictionary options;
        for (const auto& [key, value] : *window->result()->get("options").dictionary()) {
            if (const std::string* text = value.string()) {
                auto [option, choice] = names.ofPress(key, *text);
                options.set(option.empty() ? key : option, Value(choice));
            } else {
                options.set(key, value);
            }
        }
        auto textOf = [](const Value& value) {
            return value.isString() ? value.stringValue() : value.toJson();
        };
        // Options the job carries in the queue's own keywords (a joined staple, a split
        // imposition) hold what the panel's controls held.
        for (const auto& [key, value] : canonical) {
            const Value& job = options.get(key);
            if (job.isNull() || shownValues.contains(key) || value.isNull())
                continue;
            if (textOf(job) != textOf(value) &&
                !(job.isBoolean() && textOf(value) == (job.boolValue() ? "True" : "False")))
                problems.push_back(title + ": " + key + " set " + textOf(value) + ", printed " +
                                   textOf(job));
        }
        for (const auto& [key, value] : shownValues) {
            ++changed;
            // Under its own name, as one of the panel's ticket entries, or (the copies) as the
            // job's own attribute.
            const Value* held = &options.get(key);
            if (held->isNull())
                held = &options.get("com.velmora.print.PrintSettingsTicket." + key);
            if (held->isNull() && key == "NumCopies")
                held = &options.get("copies");
            const Value& job = *held;
            if (job.isNull()) {
                absent.push_back(key);
                continue; // an option of the panel's own that the job does not carry
            }
            ++found;
            std::string text = job.isString() ? job.stringValue() : job.toJson();
            // A password is in the job, but never readable in what the dialog reports.
            if (key.ends_with("Password") && text == "********")
                continue;
            if (text != value &&
                !(job.isBoolean() && value == (job.boolValue() ? "True" : "False")))
                problems.push_back(title + ": " + key + " shown " + value + ", printed " + text);
        }
    }
    std::string listed;
    for (const auto& problem : problems)
        listed += "\n  " + problem;
    EXPECT_TRUE(problems.empty()) << problems.size() << " problems:" << listed;
    EXPECT_GT(changed, 80u) << "options changed through their widgets";
    EXPECT_GT(found, changed * 3 / 4)
        << "of them found in the job; not found: " << testing::PrintToString(absent);
}

INSTANTIATE_TEST_SUITE_P(
    StylesAndLanguages, GuiEveryOption,
    ::testing::Values(EveryOptionCase{"en", false}, EveryOptionCase{"en", true},
                      EveryOptionCase{"ja", false}, EveryOptionCase{"ja", true}),
    [](const auto& info) {
        return std::string(info.param.language) + (info.param.outline ? "Outline" : "Tabs");
    });

TEST_F(GuiTest, TheJobNameTypedInItsDialogShowsOnThePanel) {
    steps.push_back([&](qt::QtWindow& shown) {
        auto fields = shown.window()->contentView()->descendantsOfType<ui::TextField>();
        ui::TextField* name = nullptr;
        for (const auto& field : fields)
            if (field->isEditable() && !field->isHiddenOrHasHiddenAncestor())
                name = field.get();
        ASSERT_NE(name, nullptr);
        auto* edit = inWindow<QLineEdit>(shown, name);
        ASSERT_TRUE(edit);
        if (!name->isEnabled()) { // "Auto" is chosen: pick the specific name first
            auto choices = shown.window()->contentView()->descendantsOfType<ui::Matrix>();
            ASSERT_FALSE(choices.empty());
            auto* matrix = inWindow<QWidget>(shown, choices.front().get());
            ASSERT_TRUE(matrix);
            auto radios = matrix->findChildren<QRadioButton*>();
            ASSERT_EQ(radios.size(), 2);
            click(radios[1]);
            EXPECT_TRUE(edit->isEnabled());
        }
        click(edit);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, "Proofs 7");
        QTest::keyClick(edit, Qt::Key_Return); // ends editing, then the default button
    });
    click(onPanel<QPushButton>(panel().views().jobNameButton.get()));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(onPanel<QLabel>(panel().views().jobName.get())->text().toStdString(), "Proofs 7");
    printed();
    ASSERT_TRUE(window->result());
    EXPECT_EQ(window->result()->get("title"), Value(std::string("Proofs 7")));
}

// The favorites window shows each favorite with its icon (a favorite outside the home folder
// with the press's "Classic" one), and each row of the settings tree with its icon.
TEST_F(GuiTest, TheFavoritesWindowShowsItsIconsOnScreen) {
    ASSERT_EQ(test::runVelmora("panel --set ColorMode=Gray --save-favorite Proof").status, 0);
    test::ScopedEnv home{"HOME", (dir / "home").c_str()}; // the library lies outside it
    auto pixels = [](const QIcon& icon) { return icon.pixmap(16, 16).toImage(); };
    const QImage document = pixels(QApplication::style()->standardIcon(QStyle::SP_FileIcon));
    auto everyRowHasAnIcon = [](QTreeWidget& tree) {
        int rows = 0, withIcon = 0;
        for (QTreeWidgetItemIterator it(&tree); *it; ++it, ++rows)
            withIcon += !(*it)->icon(0).isNull();
        return rows > 0 && withIcon == rows;
    };
    bool checked = false;
    steps = {[&](qt::QtWindow& shown) {
        auto& views = FavoriteWindowController::sharedInstance().views();
        auto* list = inWindow<QTreeWidget>(shown, views.favoriteListView.get());
        auto* tree = inWindow<QTreeWidget>(shown, views.treeView.get());
        ASSERT_TRUE(list && tree);
        EXPECT_TRUE(everyRowHasAnIcon(*list)) << "a favorite row without its icon";
        EXPECT_TRUE(everyRowHasAnIcon(*tree)) << "a settings row without its icon";
        auto rowIcon = [&](const char* name) {
            auto found = list->findItems(name, Qt::MatchExactly);
            return found.size() == 1 ? pixels(found.front()->icon(0)) : QImage();
        };
        EXPECT_EQ(rowIcon("Default Settings"), document);
        QImage proof = rowIcon("Proof");
        EXPECT_FALSE(proof.isNull());
        EXPECT_NE(proof, document) << "a favorite outside the home folder looks the same";
        checked = true;
        QTest::keyClick(&shown, Qt::Key_Escape);
    }};
    panel().clickedBrowseFavoriteButton();
    EXPECT_TRUE(checked);
}

TEST_F(GuiTest, EveryOtherWindowOpensOnScreenAndClosesWithEscape) {
    click(onPanel<QPushButton>(panel().views().automaticPaperTraySelectionButton.get()));
    panel().clickedSelectPaperTraySelectionButton(
        panel().views().bypassPaperTraySelectionButton->tag());
    panel().clickedSaveFavoriteButton();
    panel().clickedBrowseFavoriteButton();
    ASSERT_EQ(opened.size(), 4u);
    for (const auto& title : opened)
        EXPECT_FALSE(title.empty());
    EXPECT_TRUE(qt::QtToolkit::shared().windows().empty());
}

// Content that fits is shown whole; a direction that scrolls takes room for its scroll bar from
// the other, as far as the room allows.
TEST(ScrolledSize, FitsOrScrollsWithRoomForTheBar) {
    struct Case {
        QSize content, room, shown;
    } cases[] = {
        {{600, 500}, {800, 800}, {600, 500}}, {{600, 500}, {800, 400}, {614, 400}},
        {{600, 500}, {500, 800}, {500, 514}}, {{600, 500}, {500, 400}, {500, 400}},
        {{600, 500}, {605, 400}, {605, 400}},
    };
    for (const auto& [content, room, shown] : cases)
        EXPECT_EQ(qt::scrolledSize(content, room, 14), shown)
            << content.width() << "x" << content.height() << " in " << room.width() << "x"
            << room.height();
}

// The dialog on a private cupsd's queues: a queue is added with lpadmin's arguments, the request
// names the sample press's bundle and PPD, and the panes' manager is made anew around each test.
class GuiDestinations : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScopedEnv library{"VELMORA_USER_LIBRARY", (dir / "library").c_str()};
    test::ScopedEnv cache{"XDG_CACHE_HOME", (dir / "cache").c_str()};
    test::ScopedEnv language{"LANGUAGE", "en"};
    test::PrivateCupsd cupsd{dir};
    CupsConnection cups;

    void SetUp() override {
        if (!cupsd.running())
            GTEST_SKIP() << "cupsd did not start here";
        PanePlugInMgr::releaseSharedInstance();
    }
    void TearDown() override { PanePlugInMgr::releaseSharedInstance(); }

    void lpadmin(const std::string& arguments) {
        test::PrivateCupsd::run("/usr/sbin/lpadmin -h " + cupsd.server() + " " + arguments +
                                " 2>&1");
    }
    void connect() {
        auto connected = cups.connect();
        ASSERT_TRUE(connected) << connected.error();
    }
    PrintDialogWindow::Request request() const {
        PrintDialogWindow::Request request;
        request.files = {VELMORA_SAMPLE_DOCUMENT};
        request.outputDir = dir / "jobs";
        request.panel.bundle = VELMORA_PLUGIN_DIR;
        request.panel.ppd = VELMORA_QUEUE_PPD;
        return request;
    }
};

// A default queue that is no Velmora press (here a raw queue) keeps neither the dialog shut nor
// the other destinations away: it opens on the sample press and says why.
TEST_F(GuiDestinations, ADefaultQueueThatIsNoVelmoraPressLeavesTheDialogOpenOnTheSamplePress) {
    lpadmin("-p RawQ -E -v file:///dev/null -m raw");
    lpadmin("-d RawQ");
    connect();
    ASSERT_EQ(cups.defaultDestination(), std::optional<std::string>("RawQ"));

    PrintDialogWindow window(request(), cups, true);
    ASSERT_TRUE(window.openDestination()) << window.error();
    window.show();
    auto* status = window.findChild<QLabel*>("status");
    ASSERT_NE(status, nullptr);
    EXPECT_NE(status->text().toStdString().find("\"RawQ\" is not a Velmora press"),
              std::string::npos)
        << status->text().toStdString();
    EXPECT_TRUE(status->isVisible());
    auto* destinations = window.findChild<QComboBox*>("destination");
    ASSERT_NE(destinations, nullptr);
    EXPECT_TRUE(destinations->currentData().toString().isEmpty()); // the sample press
    EXPECT_GE(destinations->findData(QString("RawQ")), 0);
    EXPECT_NE(window.panel(), nullptr);
}

// Switching between two presses and back builds a new panel each time; the engine holds the
// controls of the panel shown, not of every panel before it.
TEST_F(GuiDestinations, SwitchingPressesKeepsOnlyTheShownPanelsControls) {
    lpadmin("-p PressQ -E -v file:///dev/null -P " VELMORA_QUEUE_PPD);
    connect();
    auto registered = [] {
        std::size_t controls = 0;
        ZEMAMgr& engine = PanePlugInMgr::sharedInstance().zemaMgr();
        for (const auto& keyword : engine.keywords())
            if (const auto* list = engine.controlsFor(keyword))
                controls += list->size();
        return controls;
    };
    auto pressFirst = request();
    pressFirst.queue = "PressQ";
    PrintDialogWindow window(pressFirst, cups, true);
    ASSERT_TRUE(window.openDestination()) << window.error();
    window.show();
    std::size_t first = registered();
    ASSERT_GT(first, 0u);
    QComboBox* destinations = window.destinationChooser();
    int press = destinations->findData(QString("PressQ"));
    int sample = destinations->count() - 1;
    ASSERT_GE(press, 0);
    for (int round = 0; round < 3; ++round)
        for (int index : {sample, press}) {
            destinations->setCurrentIndex(index);
            emit destinations->activated(index);
            ASSERT_NE(window.panel(), nullptr);
        }
    EXPECT_EQ(registered(), first);
}

// An operator's dialog on a queue that holds every job: a job printed with lp appears in the
// list without anyone asking, opens in the panel with a click, and Print sends it on with what
// the person changed.
class GuiHeldJobs : public test::CupsQueueTest {
protected:
    void SetUp() override {
        CupsQueueTest::SetUp();
        PanePlugInMgr::releaseSharedInstance();
    }
    void TearDown() override { PanePlugInMgr::releaseSharedInstance(); }
};

TEST_F(GuiHeldJobs, AHeldJobAppearsOpensWithAClickAndPrintsWithWhatWasChosen) {
    addQueue("VelmoraPress", queuePpd("press"));
    run("hold -d VelmoraPress on");
    PrintDialogWindow::Request request;
    request.files = {VELMORA_SAMPLE_DOCUMENT};
    request.queue = "VelmoraPress";
    request.listHeldJobs = true;
    request.outputDir = dir / "jobs";
    request.panel.bundle = VELMORA_PLUGIN_DIR;
    request.panel.ppd = VELMORA_QUEUE_PPD;
    PrintDialogWindow window(request, cups, true);
    ASSERT_TRUE(window.openDestination()) << window.error();
    window.show();
    HeldJobsList* list = window.heldJobsList();
    ASSERT_NE(list, nullptr);
    QTreeWidget* jobs = list->jobs();
    EXPECT_EQ(jobs->topLevelItemCount(), 0);

    std::string out = test::PrivateCupsd::run("lp -d VelmoraPress -t 'Annual report' " +
                                              std::string(VELMORA_SAMPLE_DOCUMENT) + " 2>&1");
    ASSERT_NE(out.find("request id is VelmoraPress-"), std::string::npos) << out;
    int job = std::stoi(out.substr(out.rfind('-') + 1));
    // The list asks again on its own.
    ASSERT_TRUE(QTest::qWaitFor([&] { return jobs->topLevelItemCount() == 1; },
                                3 * HeldJobsList::kRefreshMilliseconds));
    QTreeWidgetItem* row = jobs->topLevelItem(0);
    EXPECT_EQ(row->text(1).toStdString(), "Annual report");

    // Seen and reachable where a person clicks it.
    QRect place = jobs->visualItemRect(row);
    ASSERT_FALSE(place.isEmpty());
    QPoint centre = jobs->viewport()->mapTo(&window, place.center());
    EXPECT_TRUE(window.rect().contains(centre));
    EXPECT_EQ(window.childAt(centre), jobs->viewport());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(jobs)->text(QAccessible::Name).toStdString(),
              "Held Jobs");
    QTest::mouseClick(jobs->viewport(), Qt::LeftButton, {}, place.center());
    ASSERT_TRUE(list->openButton()->isEnabled());
    QTest::mouseClick(list->openButton(), Qt::LeftButton);
    ASSERT_TRUE(window.heldJob()) << window.findChild<QLabel*>("status")->text().toStdString();
    EXPECT_EQ(window.heldJob()->id, job);

    ui::Button& center =
        *window.panel()->views().pagePrintOnCenter->descendantsOfType<ui::Button>().front();
    auto* box = qobject_cast<QCheckBox*>(window.mirror()->widgetFor(&center));
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    std::string chosen = center.state() == ui::kOnState ? "True" : "False";
    QTest::mouseClick(window.printButton(), Qt::LeftButton);
    ASSERT_TRUE(window.result()) << window.findChild<QLabel*>("status")->text().toStdString();
    EXPECT_EQ(window.result()->get("released"), Value(true));
    // IPP carries it as a Boolean.
    EXPECT_EQ(cups.jobAttributes(job).get("PagePrintOnCenter"),
              Value(chosen == "True" ? "true" : "false"))
        << window.result()->get("written").toJson(2);
    ASSERT_EQ(cups.waitForJob(job, 30), "completed") << jobLog(job);
    auto package = JobPackage::open(test::deviceFile(cupsd, "VelmoraPress"));
    ASSERT_TRUE(package) << package.error();
    EXPECT_EQ(package->ticket().options.at("PagePrintOnCenter"), chosen);
    EXPECT_EQ(package->ticket().jobName, "Annual report");
}

// A row cut to its column is tidy only when its tool tip holds the whole text.
TEST(LayoutInspectorTest, ACutRowIsTidyOnlyWithItsWholeTextInItsToolTip) {
    QWidget window;
    window.resize(300, 200);
    auto* tree = new QTreeWidget(&window);
    tree->setObjectName("rows");
    tree->setGeometry(0, 0, 300, 200);
    tree->setColumnCount(2);
    tree->header()->setStretchLastSection(false);
    tree->setRootIsDecorated(false);
    tree->header()->resizeSection(0, 80);
    auto* cut = new QTreeWidgetItem(tree, {"Gloss Emphasis (Clear Toner Flood)", "Off"});
    new QTreeWidgetItem(tree, {"Copies", "1"});
    window.show();
    auto problems = qt::layoutProblems(window);
    ASSERT_EQ(problems.size(), 1u) << ::testing::PrintToString(problems);
    EXPECT_NE(problems[0].find("\"Gloss Emphasis (Clear Toner Flood)\" is cut"), std::string::npos)
        << problems[0];
    cut->setToolTip(0, "Gloss Emphasis (Clear Toner Flood): Off");
    EXPECT_TRUE(qt::layoutProblems(window).empty());
    // A row under a closed heading is seen by no one until the heading opens.
    auto* heading = new QTreeWidgetItem(tree, {"Finishing"});
    new QTreeWidgetItem(heading, {"Number of Crease Lines and Their Pressure", "1"});
    EXPECT_TRUE(qt::layoutProblems(window).empty());
    heading->setExpanded(true);
    EXPECT_EQ(qt::layoutProblems(window).size(), 1u);
}

// Without any display the graphical dialog says so, and print runs its headless session.
TEST(GuiCommand, WithoutADisplayPrintStaysHeadlessAndGuiSaysWhy) {
    test::TempDir dir;
    test::ScopedEnv library{"VELMORA_USER_LIBRARY", (dir / "library").c_str()};
    test::ScopedEnv noDisplay{"QT_QPA_PLATFORM", nullptr};
    std::string errors = dir / "errors.txt";
    auto gui = test::runVelmora("gui --embedded", errors);
    std::ifstream said(errors);
    std::string text((std::istreambuf_iterator<char>(said)), {});
    EXPECT_EQ(gui.status, 1);
    EXPECT_NE(text.find("no display"), std::string::npos) << text;
    auto print = test::runVelmora(std::string("print ") + VELMORA_SAMPLE_DOCUMENT +
                                  " --embedded --output-dir " + (dir / "jobs"));
    EXPECT_EQ(print.status, 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "jobs/job-1/job.xjmf.zip"));
}

// velmora gui --screenshot in English and Japanese: every window rendered, nothing clipped and
// nothing overlapping (the command fails on any such problem and lists it).
TEST(GuiScreenshots, EveryWindowIsTidyInEnglishAndJapanese) {
    for (const char* language : {"en", "ja"}) {
        test::TempDir shots;
        std::string errors = shots / "errors.txt";
        auto result = test::runVelmora(
            "gui --embedded --screenshot " + shots.path() + " --lang " + language, errors);
        std::ifstream said(errors);
        std::string text((std::istreambuf_iterator<char>(said)), {});
        EXPECT_EQ(result.status, 0) << language << "\n" << text;
        for (const char* name :
             {"print-dialog", "detailed-settings-tabs", "detailed-settings-outline", "about",
              "job-name", "paper-tray-selection", "bypass-tray-selection", "save-favorite",
              "favorites"}) {
            QImage image(QString::fromStdString(shots / (std::string(name) + ".png")));
            EXPECT_FALSE(image.isNull()) << language << " " << name;
            EXPECT_GT(image.width(), 200) << language << " " << name;
        }
    }
}

} // namespace
} // namespace velmora

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The velmora processes the tests start render with fontconfig, which never frees its caches.
    ::setenv("LSAN_OPTIONS", "suppressions=" VELMORA_LSAN_SUPPRESSIONS, 1);
    QApplication application(argc, argv);
    velmora::qt::installApplicationFont();
    velmora::qt::QtToolkit::shared().install();
    ::testing::InitGoogleTest(&argc, argv);
    int status = RUN_ALL_TESTS();
    velmora::qt::QtToolkit::shared().uninstall();
    return status;
}
