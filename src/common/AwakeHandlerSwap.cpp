#include "common/AwakeHandlerSwap.h"

#include "platform/ui/Application.h"

#include <utility>

namespace velmora {
namespace {

void pseudo_awakeFromNib() {}

} // namespace

AwakeHandlerSwap::AwakeHandlerSwap()
    : _saved(ui::Application::shared().setAwakeFromNibHandler(pseudo_awakeFromNib)) {}

AwakeHandlerSwap::~AwakeHandlerSwap() {
    ui::Application::shared().setAwakeFromNibHandler(std::move(_saved));
}

} // namespace velmora
