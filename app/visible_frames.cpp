// SPDX-License-Identifier: Apache-2.0
#include "app/visible_frames.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace quorvane::app {
namespace {

constexpr int kFrameShadePercent = 140;  // the style's frame is the Window colour darker by this

void applyOutline(QWidget* control)
{
    const QPalette inherited =
        control->parentWidget() ? control->parentWidget()->palette() : QApplication::palette(control);
    QPalette palette = control->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Window, outlineOnBase(inherited, group).lighter(kFrameShadePercent));
    control->setPalette(palette);
}

class OutlineKeeper : public QObject {
public:
    explicit OutlineKeeper(QWidget* control) : QObject(control) { control->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ApplicationPaletteChange || event->type() == QEvent::ParentChange)
            applyOutline(static_cast<QWidget*>(watched));
        return false;
    }
};

}  // namespace

QColor outlineOnBase(const QPalette& palette, QPalette::ColorGroup group)
{
    const QColor base = palette.color(group, QPalette::Base);
    const QColor text = palette.color(group, QPalette::Text);
    return QColor((base.red() + text.red()) / 2, (base.green() + text.green()) / 2, (base.blue() + text.blue()) / 2);
}

void keepOutlineVisibleOnBase(QWidget* control)
{
    applyOutline(control);
    new OutlineKeeper(control);
}

}  // namespace quorvane::app
