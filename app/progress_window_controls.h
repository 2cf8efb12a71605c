// SPDX-License-Identifier: Apache-2.0
// The controls that both progress windows (the batch change and the CSV export) hold: the path
// of the file at work, a bar with the percentage beside it, a centred "Cancel" button and the
// timer that starts the run; built, named and laid out in one place.
#pragma once

class QDialog;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace quorvane::app {

struct ProgressWindowControls {
    QLabel* Label1;              // path of the file at work
    QProgressBar* ProgressBar1;  // 0..100
    QLabel* Label2;              // the percentage as text
    QPushButton* Button1;        // "Cancel"
    QTimer* Timer1;              // starts the run once the window shows
};

// Builds the controls into `window` (fixed at 420 x 112 pixels, or larger where the font needs
// it), with the timer's interval set. Label1 shows a path too long for it shortened in the
// middle, with the whole path as its tool tip.
ProgressWindowControls buildProgressWindowControls(QDialog& window, int timerIntervalMs);

}  // namespace quorvane::app
