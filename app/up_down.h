// SPDX-License-Identifier: Apache-2.0
// An up-down control bound to a digits box: two arrow buttons (and the Up and Down keys in the
// box) step the number in the box by one within a range. The number is the box's text, so a
// value typed or shown outside the range stays exactly as it is until the user steps it.
#pragma once

#include <QWidget>

class QLineEdit;

namespace quorvane::app {

class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(const QString& objectName, QLineEdit* buddy, int minimum, int maximum, QWidget* parent);

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }

    // The box's number clamped to the range; the minimum when the box holds no number.
    int position() const;
    // Writes position() + `steps`, clamped to the range, into the box.
    void stepBy(int steps);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* buddy_;
    int minimum_;
    int maximum_;
};

}  // namespace quorvane::app
