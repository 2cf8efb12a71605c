// SPDX-License-Identifier: Apache-2.0
// The confirmation asked before "Remove personal information…" changes the listed files: what
// is removed from each file (the emptied rows by their labels, all custom properties, and the
// thumbnail when its box is checked), what stays, and whether each file is copied aside first.
// It hands back the user's answer; the command runs the removal.
#pragma once

#include <QDialog>

class QCheckBox;
class QDialogButtonBox;

namespace quorvane::app {

class ScrubDialog : public QDialog {
    Q_OBJECT
public:
    // Asks about the `fileCount` files of the list; `backup` says whether they are copied aside
    // before the change (the "Batch Change" page's backup option).
    ScrubDialog(int fileCount, bool backup, QWidget* parent = nullptr);

    // Whether "Also remove the thumbnail" is checked (off at start).
    bool removeThumbnail() const;

    QCheckBox* ThumbnailBox;
    QDialogButtonBox* ScrubButtons;
};

}  // namespace quorvane::app
