#include "platform/foundation/XmlSaxHandler.h"

#include <cstring>

namespace velmora {
namespace {

void ignoreMessage(void*, const char*, ...) {}

} // namespace

xmlSAXHandler elementAndTextSaxHandler(startElementNsSAX2Func start, endElementNsSAX2Func end,
                                       charactersSAXFunc text) {
    xmlSAXHandler handler;
    std::memset(&handler, 0, sizeof handler);
    handler.initialized = XML_SAX2_MAGIC;
    handler.startElementNs = start;
    handler.endElementNs = end;
    handler.characters = text;
    handler.cdataBlock = text;
    handler.ignorableWhitespace = text;
    handler.error = ignoreMessage;
    handler.warning = ignoreMessage;
    return handler;
}

} // namespace velmora
