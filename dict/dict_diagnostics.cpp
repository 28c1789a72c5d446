#include "dict/dict_diagnostics.h"

#include <cstdio>

namespace qzf {
namespace {

void ToStandardError(std::string_view gbkLine) {
  std::fwrite(gbkLine.data(), 1, gbkLine.size(), stderr);
  std::fputc('\n', stderr);
}

DictDiagnosticSink sink = &ToStandardError;

}  // namespace

void SetDictDiagnosticSink(DictDiagnosticSink newSink) { sink = newSink ? newSink : &ToStandardError; }

void ReportDictDiagnostic(std::string_view gbkLine) { sink(gbkLine); }

}  // namespace qzf
