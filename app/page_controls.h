// SPDX-License-Identifier: Apache-2.0
// The pieces every page of the main window is built from, so that the pages look alike: push
// buttons and check boxes named by their object name, the page's column of controls, a row of
// buttons, and the caption of the backup option.
#pragma once

#include <QString>

#include <initializer_list>

class QCheckBox;
class QHBoxLayout;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace quorvane::app {

// The caption of the backup option, which three pages show, in the window's language.
QString backupOptionCaption();

// A push button named `objectName`, owned by `parent`; Enter elsewhere on the page does not
// press it.
QPushButton* newButton(const char* objectName, const QString& caption, QWidget* parent);

// A two-state check box named `objectName`, owned by `parent`, unchecked.
QCheckBox* newCheckBox(const char* objectName, const QString& caption, QWidget* parent);

// The layout of `page`: its controls one under the other, with the pages' margins and spacing.
QVBoxLayout* pageColumn(QWidget* page);

// `buttons` side by side, as the pages' bottom rows hold them; the arrow keys stay within them.
QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons);

}  // namespace quorvane::app
