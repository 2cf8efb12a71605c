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

// A high-contrast palette: white text on black, a bright highlight with black text on it, white
// shades for the frames and green disabled text, as desktop high-contrast themes have them.
inline QPalette highContrastPalette()
{
    const QColor white(Qt::white), black(Qt::black), disabledText(63, 242, 63);
    QPalette palette(black, black);  // button and window colour
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text,
                                           QPalette::BrightText, QPalette::ToolTipText, QPalette::Light,
                                           QPalette::Midlight, QPalette::Dark, QPalette::Mid, QPalette::Shadow})
        palette.setColor(role, white);
    palette.setColor(QPalette::Base, black);
    palette.setColor(QPalette::AlternateBase, black);
    palette.setColor(QPalette::ToolTipBase, black);
    palette.setColor(QPalette::Highlight, QColor(26, 235, 255));
    palette.setColor(QPalette::HighlightedText, black);
    palette.setColor(QPalette::Link, QColor(255, 255, 0));
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabledText);
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
