// SPDX-License-Identifier: Apache-2.0
#include "app/focus_frames.h"

#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>

namespace quorvane::app {
namespace {

// WCAG 2 relative luminance.
double luminance(const QColor& colour)
{
    auto linear = [](double channel) {
        return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

}  // namespace

double contrastRatio(const QColor& first, const QColor& second)
{
    const double a = luminance(first);
    const double b = luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor focusFrameColour(const QPalette& palette, const QColor& background)
{
    QColor best = palette.color(QPalette::Text);
    for (const QPalette::ColorRole role : {QPalette::HighlightedText, QPalette::Highlight, QPalette::WindowText,
                                           QPalette::Base, QPalette::Window}) {
        const QColor candidate = palette.color(role);
        if (contrastRatio(candidate, background) > contrastRatio(best, background)) best = candidate;
    }
    return best;
}

void drawFocusFrame(QPainter* painter, const QRect& rect, const QPalette& palette, const QColor& background)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(focusFrameColour(palette, background));
    painter->setBrush(Qt::NoBrush);
    // A one-pixel pen outlines a rectangle one pixel wider and higher than its size.
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
    painter->drawRect(rect.adjusted(1, 1, -2, -2));
    painter->restore();
}

void FocusFramedToolButton::paintEvent(QPaintEvent* event)
{
    QToolButton::paintEvent(event);
    if (!hasFocus()) return;
    QPainter painter(this);
    drawFocusFrame(&painter, rect(), palette(), palette().color(QPalette::Window));
}

}  // namespace quorvane::app
