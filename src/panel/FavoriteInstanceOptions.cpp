#include "panel/FavoriteInstanceOptions.h"

#include "favorites/FavoriteFile.h"
#include "panel/LornPDEByCocoa.h"
#include "platform/printing/JobOptions.h"
#include "platform/printing/PressNames.h"
#include "ppd/PrintOptionConverter.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

namespace velmora {

Dictionary FavoriteInstanceOptions::of(const FavoriteFile& favorite, const std::string& ppdPath) {
    if (!favorite.options())
        return {};
    Dictionary keywords =
        PrintOptionConverter::sharedInstance().toPpdKeywordFormat(&*favorite.options());
    PrintOptionConverter::convertToInternalPpdKeyword(keywords);
    PrintOptionConverter::convertToCanonicalPpdKeyword(keywords, true);
    ppd_file_t* ppd = ppdOpenFile(ppdPath.c_str());
    // Under the queue PPD's names, which every application reads (IPP's output bins, ...).
    PressNames names(ppd);
    Dictionary options;
    for (const auto& [keyword, value] : keywords) {
        std::string text =
            value.isBoolean() ? (value.boolValue() ? "True" : "False") : value.stringValue();
        auto [option, choice] = names.inPpd(keyword, text);
        if (ppd && ppdFindChoice(ppdFindOption(ppd, option.c_str()), choice.c_str()))
            options.set(option, Value(choice));
        else
            options.set(PanelTicketEntries::key(keyword), Value(PanelTicketEntries::escape(text)));
    }
    // The press's tray decides the queue's InputSlot, as it does for a job from the dialog.
    if (const std::string* tray = keywords.get("KVInputSlot").string())
        JobOptions::setInputSlotOfTray(options, *tray, ppd);
    Dictionary stored = JobOptions::toStored(JobOptions::shareable(options), ppd, true);
    if (ppd)
        ppdClose(ppd);
    return stored;
}

} // namespace velmora
