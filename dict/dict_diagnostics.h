// Where the loaders' diagnostics go: one GBK line each (no line break), by
// default to standard error as they stand. A front end whose terminal wants
// another encoding sets its own sink and converts them there.
#pragma once

#include <string_view>

namespace qzf {

using DictDiagnosticSink = void (*)(std::string_view gbkLine);

// Null restores standard error.
void SetDictDiagnosticSink(DictDiagnosticSink sink);
void ReportDictDiagnostic(std::string_view gbkLine);

}  // namespace qzf
