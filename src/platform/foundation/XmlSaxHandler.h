#pragma once

#include <libxml/parser.h>

namespace velmora {

// A SAX2 handler that reports elements with their namespaces and every kind of text (character
// data, CDATA sections, white space) to one callback, and keeps libxml2's errors and warnings
// quiet. Readers add what else they watch for.
xmlSAXHandler elementAndTextSaxHandler(startElementNsSAX2Func start, endElementNsSAX2Func end,
                                       charactersSAXFunc text);

} // namespace velmora
