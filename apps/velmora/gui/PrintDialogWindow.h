#pragma once

#include "HeldJobsList.h"
#include "PanelSession.h"
#include "PreviewPane.h"
#include "PrintJob.h"

#include "platform/foundation/Value.h"
#include "platform/printing/CupsConnection.h"
#include "platform/printing/InMemoryPrintDialog.h"
#include "platform/printing/SheetPlan.h"
#include "platform/printing/SheetPlanner.h"

#include <QDialog>
#include <QPointer>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QHBoxLayout;
class QScrollArea;
class QLabel;
class QPushButton;
class QTimer;
class QTreeWidget;

namespace velmora {
class LornPDEByCocoa;
namespace qt {
class MirroredPopUpButton;
class ViewMirror;
} // namespace qt
} // namespace velmora

namespace velmora::app {

// The graphical application's print dialog: the destination (the CUPS queues and the embedded
// sample press), the host's copies, collate and two-sided controls with the "Velmora Flow"
// panel below them, the summary of the settings, and Print and Cancel. Printing saves the
// panel and sends the job the way `velmora print` does.
class PrintDialogWindow : public QDialog {
public:
    struct Request {
        std::vector<std::string> files;
        std::string queue;
        bool embeddedOnly = false;
        std::string outputDir = "velmora-jobs";
        bool saveDefaults = false;
        PanelOptions panel;
        std::optional<Dictionary> settings;
        // A held job to set up (its queue, its settings; Print writes and releases it, or only
        // writes it when it is to stay held), and whether the held jobs of the chosen queue are
        // listed for choosing one.
        int job = 0;
        bool keepHeld = false;
        bool listHeldJobs = false;
    };

    PrintDialogWindow(Request request, CupsConnection& cups, bool cupsReachable);
    ~PrintDialogWindow() override;

    // Opens the session on the first destination; false with error() when it cannot.
    bool openDestination();
    const std::string& error() const { return _error; }
    // What printing sent and where, once Print succeeded.
    const std::optional<Dictionary>& result() const { return _result; }

    InMemoryPrintDialog* hostDialog() const { return _session ? _session->dialog.get() : nullptr; }
    std::shared_ptr<LornPDEByCocoa> panel() const { return _session ? _session->panel : nullptr; }
    qt::ViewMirror* mirror() const { return _session ? _session->mirror.get() : nullptr; }
    QComboBox* destinationChooser() const { return _destinations; }
    QComboBox* favoritesChooser() const;
    QPushButton* saveFavoriteButton() const { return _saveFavorite; }
    QPushButton* manageFavoritesButton() const { return _manageFavorites; }
    QPushButton* printButton() const { return _print; }
    QPushButton* cancelButton() const { return _cancel; }
    QTreeWidget* summary() const { return _summary; }
    QWidget* panelArea() const { return _panelArea; }
    PreviewPane* preview() const { return _preview; }
    // The preview beside the detailed settings window; null while that window is closed.
    PreviewPane* detailedPreview() const { return _detailedPreview; }
    // The list of held jobs; null unless the request asked for it.
    HeldJobsList* heldJobsList() const { return _heldJobs; }
    // The held job the panel sets up; null while it sets up a new job.
    const std::optional<HeldJob>& heldJob() const { return _heldJob; }
    // Opens the panel on a held job, with the job's settings; false with error() when it cannot.
    bool openHeldJob(int id);

    // Shows the settings' summary now (it otherwise follows changes after a short pause).
    void refreshSummary();
    // Shows the job's sheets for the settings as they are now (it otherwise follows changes as
    // soon as the event that made them has ended).
    void refreshPreview();
    void print();

private:
    struct Session {
        Destination destination;
        std::unique_ptr<InMemoryPrintDialog> dialog;
        std::shared_ptr<LornPDEByCocoa> panel;
        std::unique_ptr<qt::ViewMirror> mirror;
        // The panel's favorites pop-up, shown by the dialog (the panel leaves that row to hosts).
        qt::MirroredPopUpButton* favorites = nullptr;
        // The destination's PPD as the preview reads it, read on the first preview.
        std::unique_ptr<SheetPlanner> planner;
    };

    Request _request;
    CupsConnection& _cups;
    bool _cupsReachable;
    std::unique_ptr<Session> _session;
    std::string _error;
    std::optional<Dictionary> _result;
    QComboBox* _destinations;
    QWidget* _panelArea;
    QHBoxLayout* _favoritesRow;
    QLabel* _favoritesLabel;
    QPushButton* _saveFavorite;
    QPushButton* _manageFavorites;
    QScrollArea* _panelScroll;
    QTreeWidget* _summary;
    QLabel* _status;
    QPushButton* _print;
    QPushButton* _cancel;
    QTimer* _summaryTimer;
    PreviewPane* _preview;
    QTimer* _previewTimer;
    std::optional<std::map<std::string, std::string>> _previewed;
    std::optional<SheetPlan> _plan;
    // The preview beside the detailed settings, while that window is open.
    QPointer<PreviewPane> _detailedPreview;
    HeldJobsList* _heldJobs = nullptr;
    std::optional<HeldJob> _heldJob;

    void buildWindow();
    void fillDestinations();
    bool openSession(const std::string& queue, bool* notAPress = nullptr);
    bool openSessionOn(Destination destination);
    void printHeldJob(const Dictionary& snapshot);
    void closeSession();
    void fitPanelArea();
    void orderTabChain();
    void destinationChosen(int index);
    void showStatus(const std::string& text, bool problem);
    std::string previewedDocument() const;
};

} // namespace velmora::app
