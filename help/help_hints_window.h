// SPDX-License-Identifier: Apache-2.0
// The "Help Hints" window: one page that explains the file list's status pictures, what the
// states of the batch check boxes mean and the backup option. It changes no data.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QList>

class QFrame;
class QLabel;

class TForm4 : public QDialog {
    Q_OBJECT
public:
    // `statusIcons` are the file list's four status pictures, in status order 0..3.
    explicit TForm4(const QList<QIcon>& statusIcons, QWidget* parent = nullptr);

private:
    // The disabled panels that show what each state of the batch boxes means, and the backup option.
    static QFrame* attributeOptionSample();
    static QFrame* backupOptionSample();
};
