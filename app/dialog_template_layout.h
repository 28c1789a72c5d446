#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/win32.h"

namespace qzf {

// A rectangle in dialog units, as a dialog template gives it.
struct DialogUnitRect {
  int x;
  int y;
  int cx;
  int cy;
};

struct TemplateControl {
  int id;
  DialogUnitRect rect;
};

// Where a dialog template puts things: the dialog's size and each control's
// rectangle, in template order, all in dialog units.
struct DialogTemplateLayout {
  int cx;
  int cy;
  std::vector<TemplateControl> controls;
};

// Reads the layout from the bytes of an extended dialog template. Nothing
// when the bytes are not one, end early or give the dialog no area.
std::optional<DialogTemplateLayout> ParseDialogTemplateLayout(const std::uint8_t* bytes, std::size_t size);

// The layout of dialog template `id` in `module`.
std::optional<DialogTemplateLayout> LoadDialogTemplateLayout(HINSTANCE module, int id);

}  // namespace qzf
