#include "controls/ZEMAMgr.h"
#include "controls/ZEMAUI.h"
#include "platform/foundation/PropertyList.h"
#include "platform/ui/Application.h"

#include <memory>
#include <string>
#include <vector>

namespace {

using velmora::Dictionary;

// The values worth choosing for a control: every choice its rules name, and the usual ones.
std::vector<std::string> candidateValues(const velmora::ZEMAUI& control) {
    std::vector<std::string> values{"True", "False", "0", "1", ""};
    for (const Dictionary* rules :
         {&control.getConflictDictionary(), &control.getConditionDictionary(),
          &control.getCooperationDictionary(), &control.getHideDictionary()})
        for (const auto& [choice, rule] : *rules)
            values.push_back(choice);
    return values;
}

} // namespace

// A pane's UI settings come from its plug-in: a broken one must not bring the panel down, nor
// may any sequence of changes the user makes on it.
extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, unsigned long size) {
    auto file =
        velmora::PropertyList::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!file || !file->dictionary())
        return 0;
    auto settings = std::make_shared<const Dictionary>(*file->dictionary());
    bool answerYes = size % 2 == 0;
    auto old = velmora::ui::Application::shared().setAlertPresenter(
        [answerYes](const velmora::ui::Alert&, velmora::ui::Window*) -> long {
            return answerYes ? 0 : 1;
        });
    {
        velmora::ZEMAMgr mgr;
        mgr.setPanesShownPredicate([] { return true; });
        std::vector<std::shared_ptr<velmora::ZEMAUI>> built;
        for (const auto& [name, description] : *settings) {
            const Dictionary* d = description.dictionary();
            if (!d)
                continue;
            auto control =
                std::make_shared<velmora::ZEMAUI>(velmora::ui::Rect::make(0, 0, 400, 72));
            control->setControlDictionary(*d, nullptr);
            control->setUISettings(settings);
            control->createControls();
            built.push_back(control);
        }
        for (const auto& control : built)
            mgr.addControl(control);
        int budget = 200;
        for (const auto& control : built)
            for (const auto& value : candidateValues(*control))
                if (!control->mainKeyword().empty() && budget-- > 0)
                    mgr.validateMainKeyword(control->mainKeyword(), value);
        (void)mgr.getAllValueDictionary();
    }
    velmora::ui::Application::shared().setAlertPresenter(std::move(old));
    return 0;
}
