// SPDX-License-Identifier: Apache-2.0
#include "app/page_controls.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/arrow_key_group.h"

namespace quorvane::app {

QString backupOptionCaption()
{
    return QCoreApplication::translate("quorvane::app::PageControls",
                                       "&Backup original files in the same folder before making change");
}

QPushButton* newButton(const char* objectName, const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    return button;
}

QCheckBox* newCheckBox(const char* objectName, const QString& caption, QWidget* parent)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(objectName));
    return box;
}

QVBoxLayout* pageColumn(QWidget* page)
{
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    return column;
}

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    for (QPushButton* button : buttons) row->addWidget(button);
    keepArrowKeysWithin(QList<QAbstractButton*>(buttons.begin(), buttons.end()));
    return row;
}

}  // namespace quorvane::app
