// SPDX-License-Identifier: Apache-2.0
#include "app/arrow_key_group.h"

#include <QAbstractButton>
#include <QKeyEvent>

namespace quorvane::app {
namespace {

class ArrowKeyGroup : public QObject {
public:
    ArrowKeyGroup(const QList<QAbstractButton*>& buttons, QObject* owner) : QObject(owner), buttons_(buttons)
    {
        for (QAbstractButton* button : buttons_) button->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (key->modifiers() & ~Qt::KeypadModifier) return false;
        int step = 0;
        switch (key->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            step = -1;
            break;
        case Qt::Key_Right:
        case Qt::Key_Down:
            step = 1;
            break;
        default:
            return false;
        }
        const int from = int(buttons_.indexOf(static_cast<QAbstractButton*>(watched)));
        for (int index = from + step; index >= 0 && index < buttons_.size(); index += step) {
            QAbstractButton* button = buttons_[index];
            if (button->isEnabled() && button->isVisible() && (button->focusPolicy() & Qt::TabFocus)) {
                button->setFocus(Qt::TabFocusReason);
                break;
            }
        }
        return true;
    }

private:
    QList<QAbstractButton*> buttons_;
};

}  // namespace

void keepArrowKeysWithin(const QList<QAbstractButton*>& buttons)
{
    if (!buttons.isEmpty()) new ArrowKeyGroup(buttons, buttons.first());
}

}  // namespace quorvane::app
