// SPDX-License-Identifier: Apache-2.0
// A focus frame that can always be seen: drawn in the palette colour that stands out most from
// the background it lies on (WCAG 2 contrast ratio), so that it keeps at least 3:1 under light,
// dark and high-contrast palettes alike. Item cells and tool buttons draw it themselves, because
// styles tint the focused cell only faintly and drop a tool button's frame once the focus came
// back from a dialog rather than by Tab.
#pragma once

#include <QColor>
#include <QToolButton>

class QPainter;
class QPalette;
class QRect;

namespace quorvane::app {

// The WCAG 2 contrast ratio of two colours, from 1 (alike) to 21 (black on white).
double contrastRatio(const QColor& first, const QColor& second);

// Of the palette's text, highlight and background colours, the one that contrasts most with
// `background`.
QColor focusFrameColour(const QPalette& palette, const QColor& background);

// A frame two pixels wide along the inside of `rect`, in focusFrameColour.
void drawFocusFrame(QPainter* painter, const QRect& rect, const QPalette& palette, const QColor& background);

// A tool button that frames itself whenever it has the focus.
class FocusFramedToolButton : public QToolButton {
public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace quorvane::app
