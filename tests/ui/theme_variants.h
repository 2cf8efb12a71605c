// SPDX-License-Identifier: Apache-2.0
// The looks the window tests and the screenshots try besides the desktop's own: a dark palette
// (the colours of a common dark desktop theme), a high-contrast one and other font sizes.
#pragma once

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QPalette>

namespace quorvane::app::testing {

inline QPalette darkPalette()
{
    const QColor window(49, 54, 59), base(35, 38, 41), text(239, 240, 241), disabledText(110, 113, 117);
    QPalette palette(window, window);  // button and window colour; shades and text follow from them
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ToolTipBase, window);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::Highlight, QColor(61, 174, 233));
    palette.setColor(QPalette::HighlightedText, text);
    palette.setColor(QPalette::Link, QColor(61, 174, 233));
    palette.setColor(QPalette::LinkVisited, QColor(155, 89, 182));
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabledText);
    return palette;
}

// A high-contrast palette: white text on black, a bright highlight with black text on it.
inline QPalette highContrastPalette()
{
    QPalette palette(Qt::white, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::Highlight, QColor(26, 235, 255));
    palette.setColor(QPalette::HighlightedText, Qt::black);
    return palette;
}

// The application's font at `pointSize` points, everything else as the desktop has it.
inline void setFontPointSize(int pointSize)
{
    QFont font = QApplication::font();
    font.setPointSize(pointSize);
    QApplication::setFont(font);
}

}  // namespace quorvane::app::testing
