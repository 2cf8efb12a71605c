// SPDX-License-Identifier: Apache-2.0
// Arrow keys that stay within a group of buttons (a tool bar, a row of push buttons): Left and
// Up go to the previous button that can take the focus, Right and Down to the next, and at
// either end the focus stays. A button on its own passes Left and Right along the window's whole
// tab chain and Up and Down to its parent, which can take the focus out of the group, to a
// "Close" button where Return ends the program.
#pragma once

#include <QList>

class QAbstractButton;

namespace quorvane::app {

// Keeps the arrow keys pressed on any of `buttons` within them, in the given order.
void keepArrowKeysWithin(const QList<QAbstractButton*>& buttons);

}  // namespace quorvane::app
