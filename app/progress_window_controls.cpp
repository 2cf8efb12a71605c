// SPDX-License-Identifier: Apache-2.0
#include "app/progress_window_controls.h"

#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace quorvane::app {
namespace {

constexpr QSize kDesignSize(420, 112);

// The path of the file at work: a path longer than the label shows with "…" in its middle, and
// the whole path as the tool tip. text() stays the whole path.
class PathLabel : public QLabel {
public:
    explicit PathLabel(QWidget* parent) : QLabel(parent)
    {
        setTextFormat(Qt::PlainText);
        setMinimumWidth(1);  // a long path never widens the window
    }

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::ToolTip) {
            const bool cut = fontMetrics().horizontalAdvance(text()) > contentsRect().width();
            setToolTip(cut ? text() : QString());
        }
        return QLabel::event(event);
    }

    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QRect room = contentsRect();
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, room.width());
        style()->drawItemText(&painter, room, int(alignment()), palette(), isEnabled(), shown, foregroundRole());
    }
};

}  // namespace

ProgressWindowControls buildProgressWindowControls(QDialog& window, int timerIntervalMs)
{
    ProgressWindowControls controls{};
    controls.Label1 = new PathLabel(&window);
    controls.Label1->setObjectName(QStringLiteral("Label1"));
    controls.ProgressBar1 = new QProgressBar(&window);
    controls.ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    controls.ProgressBar1->setRange(0, 100);
    controls.ProgressBar1->setTextVisible(false);
    controls.Label2 = new QLabel(QStringLiteral("0%"), &window);
    controls.Label2->setObjectName(QStringLiteral("Label2"));
    controls.Label2->setMinimumWidth(controls.Label2->fontMetrics().horizontalAdvance(QStringLiteral("100%")));
    controls.Button1 = new QPushButton(QCoreApplication::translate("quorvane::app::ProgressWindow", "Cancel"), &window);
    controls.Button1->setObjectName(QStringLiteral("Button1"));
    controls.Button1->setAutoDefault(false);
    controls.Timer1 = new QTimer(&window);
    controls.Timer1->setObjectName(QStringLiteral("Timer1"));
    controls.Timer1->setInterval(timerIntervalMs);

    auto* column = new QVBoxLayout(&window);
    column->addWidget(controls.Label1);
    auto* barLine = new QHBoxLayout;
    barLine->addWidget(controls.ProgressBar1, 1);
    barLine->addWidget(controls.Label2);
    column->addLayout(barLine);
    auto* buttonLine = new QHBoxLayout;
    buttonLine->addStretch(1);
    buttonLine->addWidget(controls.Button1);
    buttonLine->addStretch(1);
    column->addLayout(buttonLine);
    window.setFixedSize(kDesignSize.expandedTo(column->totalMinimumSize()));
    return controls;
}

}  // namespace quorvane::app
