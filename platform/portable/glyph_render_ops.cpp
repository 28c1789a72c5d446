#include "platform/portable/glyph_render_ops.h"

namespace qzf {

GlyphRenderOps ResolveGlyphRenderOps(const GlyphRenderOps* ops) {
  GlyphRenderOps r = ops ? *ops : GlyphRenderOps{};
  if (!r.createFontFn) r.createFontFn = &CreateFontA;
  if (!r.createCompatibleDcFn) r.createCompatibleDcFn = &CreateCompatibleDC;
  if (!r.selectObjectFn) r.selectObjectFn = &SelectObject;
  if (!r.getTextMetricsFn) r.getTextMetricsFn = &GetTextMetricsA;
  if (!r.getGlyphOutlineFn) r.getGlyphOutlineFn = &GetGlyphOutlineA;
  if (!r.getGlyphIndicesFn) r.getGlyphIndicesFn = &GetGlyphIndicesA;
  if (!r.getTextFaceFn) r.getTextFaceFn = &GetTextFaceA;
  if (!r.deleteDcFn) r.deleteDcFn = &DeleteDC;
  if (!r.deleteObjectFn) r.deleteObjectFn = &DeleteObject;
  if (!r.getGlyphIndicesWFn) r.getGlyphIndicesWFn = &GetGlyphIndicesW;
  return r;
}

}  // namespace qzf
