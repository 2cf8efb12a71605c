// SPDX-License-Identifier: Apache-2.0
// The "About" window: the program's name and version, the maker, and links to the maker's
// support mail and web site.
#pragma once

#include <QDialog>
#include <QIcon>

class TForm5 : public QDialog {
    Q_OBJECT
public:
    // `programIcon` is the picture shown beside the product name (the presentation-file icon).
    explicit TForm5(const QIcon& programIcon, QWidget* parent = nullptr);
};
