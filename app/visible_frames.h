// SPDX-License-Identifier: Apache-2.0
// Frames and check boxes that stay visible on a table's cells whatever the palette. Styles such as
// Fusion draw a control's frame and a check box's box a shade darker than the Window colour; under
// a dark palette that shade is about the Base colour of the cells, so a check box or a picker
// floating over a cell loses its outline. The colours here come from the palette alone.
#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

namespace quorvane::app {

// Half way between the Base and Text colours of `group`: an outline that stands out from the
// cells' background in light and dark palettes alike.
QColor outlineOnBase(const QPalette& palette, QPalette::ColorGroup group = QPalette::Active);

// Gives `control`, which sits on Base-coloured cells, a Window colour from which the style's
// frame shade comes out as outlineOnBase, and keeps it so when the application's palette
// changes. For controls without a pop-up of their own, which would take that Window colour too.
void keepOutlineVisibleOnBase(QWidget* control);

}  // namespace quorvane::app
