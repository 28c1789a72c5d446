// Whether the program runs under Wine rather than on Windows itself (never,
// natively). Wine's GDI serialises every glyph call behind one lock, so what
// pays on Windows (several threads drawing glyphs at once) only contends
// there.
#pragma once

namespace qzf {

bool RunsUnderWine();

}  // namespace qzf
