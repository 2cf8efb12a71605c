// SPDX-License-Identifier: Apache-2.0
#include "app/up_down.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace quorvane::app {
namespace {

QToolButton* newArrowButton(Qt::ArrowType arrow, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    button->setFixedWidth(16);
    return button;
}

}  // namespace

UpDown::UpDown(const QString& objectName, QLineEdit* buddy, int minimum, int maximum, QWidget* parent)
    : QWidget(parent), buddy_(buddy), minimum_(minimum), maximum_(maximum)
{
    setObjectName(objectName);
    auto* up = newArrowButton(Qt::UpArrow, this);
    auto* down = newArrowButton(Qt::DownArrow, this);
    up->setAccessibleName(tr("One more"));
    down->setAccessibleName(tr("One less"));
    auto* arrows = new QVBoxLayout(this);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    arrows->addWidget(up);
    arrows->addWidget(down);
    connect(up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(down, &QToolButton::clicked, this, [this] { stepBy(-1); });
    buddy_->installEventFilter(this);
}

int UpDown::position() const
{
    bool isNumber = false;
    const int number = buddy_->text().toInt(&isNumber);
    return isNumber ? std::clamp(number, minimum_, maximum_) : minimum_;
}

void UpDown::stepBy(int steps)
{
    buddy_->setText(QString::number(std::clamp(position() + steps, minimum_, maximum_)));
}

bool UpDown::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == buddy_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quorvane::app
