#include "panes/ServerListCommand.h"

#include "common/OSVersion.h"
#include "platform/printing/PDEPlugInCallback.h"
#include "platform/printing/PrintSession.h"
#include "platform/printing/Printer.h"
#include "ppd/PpdDataBlock.h"

namespace velmora {

std::optional<Value> ServerListCommand::sendCommand(const std::string& listName) {
    if (!_callback)
        return std::nullopt;
    PrintSession* session = _callback->printSession();
    auto printer = session ? session->currentPrinter() : nullptr;
    if (!printer)
        return std::nullopt;
    printer->deviceURI();
    if (!isOSVer_After10_9())
        printer->sendCommand(kRefreshCommand, listName, Dictionary());
    return PpdDataBlock::readList(_callback->ppdFile(), listName);
}

} // namespace velmora
