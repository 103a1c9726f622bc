#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace velmora {

class PDEPlugInCallback;
class Ticket;

// The panel's entries in the print dialog's settings: the settings of the dialog's host when the
// panel handles constraints (the print settings), else the job ticket given. Values are stored
// escaped, so that a comma or a quote never splits an entry when CUPS reads it as an option.
// Status codes are the dialog's: kNoErr, or kParamErr when there is nowhere to read or write.
class PanelTicketEntries {
public:
    static constexpr int kNoErr = 0;
    static constexpr int kParamErr = -50;

    PanelTicketEntries(PDEPlugInCallback* callback, std::string panelKind,
                       std::function<bool()> useConstraintHandling)
        : _callback(callback), _panelKind(std::move(panelKind)),
          _useConstraintHandling(std::move(useConstraintHandling)) {}

    // The entry's name for a keyword of the panel's own.
    static std::string key(const std::string& keyword);
    static std::string escape(const std::string& value);
    static std::string unescape(const std::string& value);

    // A null value removes the entry (in the print settings).
    int setString(Ticket* ticket, const std::string& key, const std::optional<std::string>& value);
    int getString(Ticket* ticket, const std::string& key, std::optional<std::string>* value);
    int getSInt32(Ticket* ticket, const std::string& key, std::int32_t* value);
    // The same by the panel's keyword; a null keyword does nothing.
    int customGetString(Ticket* ticket, const std::optional<std::string>& keyword,
                        std::optional<std::string>* value);
    int customSetString(Ticket* ticket, const std::optional<std::string>& keyword,
                        const std::optional<std::string>& value);

private:
    PDEPlugInCallback* _callback;
    std::string _panelKind;
    std::function<bool()> _useConstraintHandling;
};

} // namespace velmora
