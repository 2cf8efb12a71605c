// SPDX-License-Identifier: Apache-2.0
// The one way the program puts a message in front of the user: a plain message box captioned
// with the application title. Tests replace the box with a sink that records the text, so no
// test ever blocks on a modal window.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace quorvane::app {

inline constexpr char kApplicationTitle[] = "Quorvane";

using MessageSink = std::function<void(const QString& text)>;

// Shows `text` in a modal message box owned by `parent` (may be null), captioned
// kApplicationTitle, and returns when the user closes it; with a sink installed, hands the
// text to the sink instead and returns at once.
void showMessage(QWidget* parent, const QString& text);

// Installs `sink` (an empty function restores the real message box) and returns the one it
// replaces.
MessageSink setMessageSink(MessageSink sink);

}  // namespace quorvane::app
