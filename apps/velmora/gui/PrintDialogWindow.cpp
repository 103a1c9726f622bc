#include "PrintDialogWindow.h"
#include "PreviewPane.h"

#include "panel/DetailedSettingsWinController.h"
#include "panel/LornPDEByCocoa.h"
#include "panes/PanePlugInMgr.h"
#include "platform/printing/HeldJobUpdate.h"
#include "platform/printing/HostText.h"
#include "platform/qt/MirroredPopUpButton.h"
#include "platform/qt/MirroredView.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtToolkit.h"
#include "platform/qt/ScrolledSize.h"
#include "platform/qt/ViewMirror.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velmora::app {

using qt::toQString;

PrintDialogWindow::PrintDialogWindow(Request request, CupsConnection& cups, bool cupsReachable)
    : _request(std::move(request)), _cups(cups), _cupsReachable(cupsReachable) {
    buildWindow();
    qt::QtToolkit::shared().setRefreshHook([this] {
        if (_session && _session->favorites)
            _session->favorites->pull();
        fitPanelArea();
        orderTabChain();
        _summaryTimer->start();
        _previewTimer->start();
    });
    // The detailed settings window shows the same preview beside its pages.
    qt::QtToolkit::shared().setCompanionFactory(
        [this](const ui::Window& shown, QWidget* parent) -> QWidget* {
            auto* detailed = _session ? _session->panel->detailedSettingsWinController() : nullptr;
            if (!detailed || !detailed->isWindowLoaded() || &shown != detailed->window().get())
                return nullptr;
            auto* pane = new PreviewPane(parent);
            pane->setDocument(previewedDocument());
            if (_plan)
                pane->setPlan(*_plan);
            _detailedPreview = pane;
            return pane;
        });
}

PrintDialogWindow::~PrintDialogWindow() {
    qt::QtToolkit::shared().setRefreshHook(nullptr);
    qt::QtToolkit::shared().setCompanionFactory(nullptr);
    closeSession();
}

void PrintDialogWindow::buildWindow() {
    setWindowTitle(toQString(hostText("Print")));
    setObjectName("Print");
    auto* printerLabel = new QLabel(toQString(hostText("P&rinter:")), this);
    _destinations = new QComboBox(this);
    _destinations->setObjectName("destination");
    _destinations->setAccessibleName(toQString(hostText("Printer")));
    _destinations->setMinimumWidth(260);
    printerLabel->setBuddy(_destinations);
    auto* top = new QHBoxLayout;
    top->addWidget(printerLabel);
    top->addWidget(_destinations);
    top->addStretch();

    // The panel's favorites, which it leaves to the dialog that hosts it: the pop-up (added
    // with each panel), saving the settings as a favorite, and the favorites window.
    _favoritesLabel = new QLabel(toQString(hostText("F&avorites:")), this);
    _saveFavorite = new QPushButton(toQString(hostText("Save Favorite...")), this);
    _manageFavorites = new QPushButton(toQString(hostText("Favorites...")), this);
    for (auto* button : {_saveFavorite, _manageFavorites})
        button->setAutoDefault(false);
    _favoritesRow = new QHBoxLayout;
    _favoritesRow->addWidget(_favoritesLabel);
    _favoritesRow->addWidget(_saveFavorite);
    _favoritesRow->addWidget(_manageFavorites);
    _favoritesRow->addStretch();
    connect(_saveFavorite, &QPushButton::clicked, this, [this] {
        if (_session)
            _session->panel->clickedSaveFavoriteButton();
        qt::QtToolkit::shared().refreshAll();
    });
    connect(_manageFavorites, &QPushButton::clicked, this, [this] {
        if (_session)
            _session->panel->clickedBrowseFavoriteButton();
        qt::QtToolkit::shared().refreshAll();
    });

    _panelArea = new QWidget(this);
    _panelArea->setObjectName("panelArea");
    // The panel keeps its size; on a small screen or at a large scale it scrolls.
    _panelScroll = new QScrollArea(this);
    _panelScroll->setObjectName("panelScroll");
    _panelScroll->setFrameShape(QFrame::NoFrame);
    _panelScroll->setWidget(_panelArea);

    auto* summaryLabel = new QLabel(toQString(hostText("Summary")), this);
    _summary = new QTreeWidget(this);
    _summary->setObjectName("summary");
    qt::setMinimumSectionSize(*_summary->header());
    _summary->setColumnCount(2);
    // Hidden, but what assistive technology names the columns by.
    _summary->setHeaderLabels({toQString(hostText("Setting")), toQString(hostText("Value"))});
    _summary->setHeaderHidden(true);
    _summary->setAccessibleName(toQString(hostText("Summary")));
    _summary->setRootIsDecorated(false);
    _summary->setIndentation(10); // the rows under their pane's heading
    _summary->setMinimumWidth(260);
    // Titles take what the values leave and widen with the window; the tool tip holds a long
    // line whole.
    _summary->header()->setStretchLastSection(false);
    _summary->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    _summary->header()->setSectionResizeMode(1, QHeaderView::Interactive);
    _summary->setColumnWidth(1, 150);
    // The job as the press will produce it, above the summary of its settings.
    auto* previewLabel = new QLabel(toQString(hostText("Preview")), this);
    _preview = new PreviewPane(this);
    _preview->setAccessibleName(toQString(hostText("Preview")));
    previewLabel->setBuddy(_preview->view());
    auto* side = new QVBoxLayout;
    side->addWidget(previewLabel);
    side->addWidget(_preview, 3);
    side->addWidget(summaryLabel);
    side->addWidget(_summary, 2);

    auto* middle = new QHBoxLayout;
    middle->addWidget(_panelScroll, 0);
    middle->addLayout(side, 1);

    _status = new QLabel(this);
    _status->setObjectName("status");
    _status->setWordWrap(true);
    _cancel = new QPushButton(toQString(hostText("Cancel")), this);
    _print = new QPushButton(toQString(hostText("&Print")), this);
    _cancel->setAutoDefault(false);
    _print->setAutoDefault(false);
    _print->setDefault(true);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(_status, 1);
    bottom->addWidget(_cancel);
    bottom->addWidget(_print);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    if (_request.listHeldJobs) {
        _heldJobs = new HeldJobsList(_cups, this);
        _heldJobs->onOpen = [this](const HeldJob& job) {
            if (!openHeldJob(job.id))
                showStatus(_error, true);
        };
        layout->addWidget(_heldJobs);
    }
    layout->addLayout(_favoritesRow);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);

    _summaryTimer = new QTimer(this);
    _summaryTimer->setSingleShot(true);
    _summaryTimer->setInterval(150);
    connect(_summaryTimer, &QTimer::timeout, this, [this] { refreshSummary(); });
    // The preview follows a change at once: pages are rendered once, a change only lays the sheet
    // out again. The timer gathers the changes of one event into one update.
    _previewTimer = new QTimer(this);
    _previewTimer->setSingleShot(true);
    _previewTimer->setInterval(0);
    connect(_previewTimer, &QTimer::timeout, this, [this] { refreshPreview(); });
    connect(_print, &QPushButton::clicked, this, [this] { print(); });
    connect(_cancel, &QPushButton::clicked, this, [this] { reject(); });
    connect(_destinations, &QComboBox::activated, this,
            [this](int index) { destinationChosen(index); });
}

QComboBox* PrintDialogWindow::favoritesChooser() const {
    return _session ? _session->favorites : nullptr;
}

void PrintDialogWindow::fillDestinations() {
    QSignalBlocker quiet(_destinations);
    _destinations->clear();
    if (_cupsReachable && !_request.embeddedOnly)
        for (const auto& name : _cups.destinationNames())
            _destinations->addItem(toQString(name), toQString(name));
    _destinations->addItem(kEmbeddedDestinationName, QString());
}

bool PrintDialogWindow::openDestination() {
    fillDestinations();
    if (_request.job)
        return openHeldJob(_request.job);
    std::string queue = _request.queue;
    if (queue.empty() && _cupsReachable && !_request.embeddedOnly)
        queue = _cups.defaultDestination().value_or("");
    int index =
        queue.empty() ? _destinations->count() - 1 : _destinations->findData(toQString(queue));
    if (index < 0) {
        _error = "there is no queue \"" + queue + "\" on " + _cups.serverName();
        return false;
    }
    _destinations->setCurrentIndex(index);
    bool notAPress = false;
    if (openSession(queue, &notAPress))
        return true;
    // A default queue that is no Velmora press must not keep the dialog shut: it opens on the
    // sample press and says why, and the other destinations stay offered. Any other failure of
    // the default queue stays an error, so that nothing goes elsewhere unasked.
    if (!_request.queue.empty() || queue.empty() || !notAPress)
        return false;
    std::string reason = _error;
    _error.clear();
    _destinations->setCurrentIndex(_destinations->count() - 1);
    if (!openSession("")) {
        _error = reason + "; the sample press cannot be opened either: " + _error;
        return false;
    }
    showStatus(reason, true);
    return true;
}

bool PrintDialogWindow::openSession(const std::string& queue, bool* notAPress) {
    closeSession();
    Destination destination;
    if (queue.empty()) {
        destination = embeddedDestination(_request.panel);
    } else if (auto found = queueDestination(_cups, queue, _request.panel, notAPress)) {
        destination = std::move(*found);
    } else {
        _error = found.error();
        return false;
    }
    if (_request.settings)
        destination.restoreFrom = _request.settings;
    if (_heldJobs)
        _heldJobs->showQueue(queue);
    return openSessionOn(std::move(destination));
}

bool PrintDialogWindow::openHeldJob(int id) {
    auto job = HeldJobs(_cups).find(id);
    if (!job) {
        _error = job.error();
        return false;
    }
    auto destination = HeldJobUpdate::destination(_cups, *job, _request.panel.bundle);
    if (!destination) {
        _error = destination.error();
        return false;
    }
    if (_request.settings)
        destination->restoreFrom = _request.settings;
    closeSession();
    if (!openSessionOn(std::move(*destination)))
        return false;
    _heldJob = std::move(*job);
    _destinations->setCurrentIndex(_destinations->findData(toQString(_heldJob->queue)));
    if (_heldJobs && _heldJobs->isHidden())
        _heldJobs->showQueue(_heldJob->queue);
    showStatus(hostText("Setting up held job") + " " + std::to_string(id) + ": " + _heldJob->title,
               false);
    return true;
}

bool PrintDialogWindow::openSessionOn(Destination destination) {
    _heldJob.reset();
    auto session = std::make_unique<Session>();
    session->destination = std::move(destination);
    // The dialog and the preview read one copy of the PPD (a queue's is read already).
    auto& host = session->destination.host;
    if (!host.ppd && host.ppdPath)
        host.ppd = DestinationPpd::open(*host.ppdPath);
    session->dialog = std::make_unique<InMemoryPrintDialog>(host);
    if (auto opened = session->dialog->open(); !opened) {
        _error = opened.error();
        return false;
    }
    session->panel = std::dynamic_pointer_cast<LornPDEByCocoa>(session->dialog->panel());
    if (!session->panel) {
        _error = "the plug-in's panel is not a Velmora Flow panel";
        return false;
    }
    if (session->destination.restoreFrom)
        session->dialog->restoreSnapshot(*session->destination.restoreFrom);
    // Settings restored only in part are shown as they are, and the person is told.
    std::string notRestored;
    session->panel->restoreValuesAndReturnError(&notRestored);
    session->dialog->showPanel();
    session->mirror =
        std::make_unique<qt::ViewMirror>(session->dialog->window()->contentView(), _panelArea);
    qt::QtToolkit::shared().addMirror(session->mirror.get());
    if (auto favorites = session->panel->views().favorite) {
        session->favorites = new qt::MirroredPopUpButton(favorites, this);
        session->favorites->setObjectName("favorites");
        session->favorites->setPlacedByHost(true);
        session->favorites->setMinimumWidth(260);
        session->favorites->setAccessibleName(toQString(hostText("Favorites")));
        _favoritesRow->insertWidget(1, session->favorites);
        _favoritesLabel->setBuddy(session->favorites);
    }
    _session = std::move(session);
    fitPanelArea();
    qt::QtToolkit::shared().refreshAll();
    refreshSummary();
    _preview->setDocument(previewedDocument());
    refreshPreview();
    showStatus(notRestored, !notRestored.empty());
    return true;
}

void PrintDialogWindow::closeSession() {
    _previewed.reset();
    _plan.reset();
    if (!_session)
        return;
    qt::QtToolkit::shared().removeMirror(_session->mirror.get());
    _session->mirror.reset();
    delete _session->favorites; // it mirrors a pop-up of the panel that goes now
    _session->dialog->hidePanel();
    _session.reset();
    // The panes and their engine belong to the panel that went: the next panel starts with its
    // own, instead of an engine that still holds every control of the ones before.
    PanePlugInMgr::releaseSharedInstance();
}

// Tab goes from the destination through the panel to the summary and the buttons.
// The panel's own controls come before the dialog's copies row below them, as a person reads
// the window from the top.
void PrintDialogWindow::orderTabChain() {
    if (!_session)
        return;
    std::vector<QWidget*> panel, hostRow;
    auto panelView = _session->panel->panelView();
    for (const auto& widget : _session->mirror->tabChain()) {
        if (!widget)
            continue;
        // Parts a mirrored widget draws itself (a matrix's radio buttons) go with their widget.
        std::shared_ptr<ui::View> view;
        for (QWidget* mirrored = widget; mirrored && !view; mirrored = mirrored->parentWidget())
            view = _session->mirror->viewFor(mirrored);
        bool inPanel = view && panelView && view->isDescendantOf(panelView.get());
        (inPanel ? panel : hostRow).push_back(widget);
    }
    std::vector<QWidget*> chain = {_destinations};
    if (_session->favorites)
        chain.push_back(_session->favorites);
    chain.push_back(_saveFavorite);
    chain.push_back(_manageFavorites);
    chain.insert(chain.end(), panel.begin(), panel.end());
    chain.insert(chain.end(), hostRow.begin(), hostRow.end());
    for (QWidget* last : {static_cast<QWidget*>(_summary), static_cast<QWidget*>(_cancel),
                          static_cast<QWidget*>(_print)})
        chain.push_back(last);
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

// The panel area shows the whole panel where the screen has room for it beside the summary,
// else as much as fits, scrolling.
void PrintDialogWindow::fitPanelArea() {
    if (!_session)
        return;
    ui::Size size = _session->dialog->window()->contentView()->frame().size;
    QSize wanted(static_cast<int>(size.width), static_cast<int>(size.height));
    if (_panelArea->size() == wanted)
        return;
    _panelArea->setFixedSize(wanted);
    QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
    QSize available = shown ? shown->availableGeometry().size() : wanted * 2;
    // Room left by the frame, the title bar, the printer and button rows, and the summary.
    const int chromeHeight =
        48 + 3 * _print->sizeHint().height() + 50 +
        (_heldJobs && !_heldJobs->isHidden() ? _heldJobs->sizeHint().height() : 0);
    const int summaryWidth = _summary->minimumWidth() + 60; // with the margins and spacing
    QSize room(std::max(240, available.width() - 16 - summaryWidth),
               std::max(160, available.height() - chromeHeight));
    int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    _panelScroll->setMinimumSize(qt::scrolledSize(wanted, room, bar));
    _panelScroll->setMaximumSize(wanted + QSize(bar, bar));
    adjustSize();
    resize(QWidget::size().boundedTo(available - QSize(16, 48)));
}

void PrintDialogWindow::destinationChosen(int index) {
    std::string queue = _destinations->itemData(index).toString().toStdString();
    std::string before = _session ? _session->destination.queue : std::string();
    bool wasEmbedded = !_session || _session->destination.embedded;
    if (queue == before && wasEmbedded == queue.empty())
        return;
    _error.clear();
    if (!openSession(queue)) {
        showStatus(_error, true);
        if (openSession(before))
            _destinations->setCurrentIndex(_destinations->findData(toQString(before)));
    }
}

std::string PrintDialogWindow::previewedDocument() const {
    return _request.files.empty() ? std::string() : _request.files.front();
}

void PrintDialogWindow::refreshPreview() {
    if (!_session)
        return;
    // The press's choices as the panel holds them now, read as the press's ticket reads them;
    // nothing is saved until Print.
    auto choices = _session->panel->pressChoices();
    if (_previewed && *_previewed == choices)
        return;
    if (!_session->planner)
        _session->planner = std::make_unique<SheetPlanner>(_session->destination.host.ppd);
    _plan = _session->planner->plan(choices);
    _preview->setPlan(*_plan);
    if (_detailedPreview)
        _detailedPreview->setPlan(*_plan);
    _previewed = std::move(choices);
}

void PrintDialogWindow::refreshSummary() {
    _summary->clear();
    if (!_session)
        return;
    // The rows are made apart from the tree and put into it at once: a row in the tree updates
    // the tree's model for every text set on it, which made this the dialog's slowest step.
    auto row = [](const QString& title, const QString& value) {
        auto* item = new QTreeWidgetItem(QStringList{title, value});
        QString whole = title + ": " + value;
        item->setToolTip(0, whole);
        item->setToolTip(1, whole);
        return item;
    };
    QList<QTreeWidgetItem*> rows;
    // The copies first, as the person set them below the panel; then the panel's settings by
    // pane, each pane a heading over its rows.
    if (auto copies = _session->dialog->copiesField())
        rows.append(row(toQString(hostText("Copies")), toQString(copies->stringValue())));
    QFont heading = _summary->font();
    heading.setBold(true);
    QList<QTreeWidgetItem*> heads;
    for (const auto& group : _session->panel->summaryGroups()) {
        auto* head = new QTreeWidgetItem(QStringList{toQString(group.title)});
        head->setToolTip(0, toQString(group.title));
        head->setFont(0, heading);
        head->setFlags(Qt::ItemIsEnabled);
        QList<QTreeWidgetItem*> children;
        for (const auto& [title, value] : group.rows)
            children.append(row(toQString(title), toQString(value)));
        head->addChildren(children);
        heads.append(head);
        rows.append(head);
    }
    _summary->addTopLevelItems(rows);
    for (auto* head : heads)
        head->setFirstColumnSpanned(true);
    _summary->expandAll();
}

void PrintDialogWindow::showStatus(const std::string& text, bool problem) {
    _status->setText(toQString(text));
    _status->setStyleSheet(problem ? "color: #b00020" : "");
}

void PrintDialogWindow::print() {
    if (!_session)
        return;
    std::string error;
    // A field still being edited (the copies typed just before Print) ends its editing first,
    // so that what it holds is what is printed; a field that refuses its text keeps the focus.
    if (auto host = _session->dialog->window(); host && !host->makeFirstResponder(nullptr)) {
        showStatus(hostText("Not printed: change the settings the message named."), true);
        return;
    }
    // Settings that fail the final check are not printed (the alert says why).
    if (!_session->panel->passesFinalCheck()) {
        qt::QtToolkit::shared().refreshAll();
        showStatus(hostText("Not printed: change the settings the message named."), true);
        return;
    }
    if (!_session->panel->saveValuesAndReturnError(&error)) {
        qt::QtToolkit::shared().refreshAll();
        showStatus(error.empty() ? hostText("The settings were not saved.") : error, true);
        return;
    }
    if (_heldJob) {
        printHeldJob(_session->dialog->settingsSnapshot());
        return;
    }
    JobRequest job{_request.files, jobTitle(_session->panel.get(), _request.files),
                   _request.outputDir, _request.saveDefaults};
    if (_session->destination.embedded && job.saveDefaults) {
        showStatus(hostText("Saving the options as defaults needs a CUPS queue."), true);
        return;
    }
    Dictionary snapshot = _session->dialog->settingsSnapshot();
    auto result = deliverJob(_cups, _session->destination, snapshot, job);
    if (!result) {
        showStatus(result.error(), true);
        return;
    }
    result->set("summary", Value(summaryEntries(_session->panel->summaryInfo())));
    _result = std::move(*result);
    accept();
}

// The held job gets the settings and is released (or stays held when asked); Cancel leaves it
// as it was.
void PrintDialogWindow::printHeldJob(const Dictionary& snapshot) {
    HeldJobUpdate::Request request{*_heldJob, heldJobTitle(_session->panel.get(), _heldJob->title),
                                   !_request.keepHeld};
    Dictionary refused;
    auto result = HeldJobUpdate::apply(_cups, _session->destination, snapshot, request, refused);
    if (!result) {
        std::string error = result.error();
        for (const auto& [option, reason] : refused)
            error += "; " + option + ": " + reason.stringValue();
        showStatus(error, true);
        if (_heldJobs)
            _heldJobs->refresh();
        return;
    }
    result->set("summary", Value(summaryEntries(_session->panel->summaryInfo())));
    _result = std::move(*result);
    // Something after the job was changed failed (its release): the dialog stays open on the
    // job as it is now and says so.
    if (const Value& warning = _result->get("warning"); warning.isString()) {
        std::string said = warning.stringValue();
        openHeldJob(static_cast<int>(_result->get("job").integerValue()));
        showStatus(said, true);
        if (_heldJobs)
            _heldJobs->refresh();
        return;
    }
    accept();
}

} // namespace velmora::app
