#include "app/progress_window_controls.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace quorvane::app {
namespace {

constexpr int kWidthPx = 420;
constexpr int kHeightPx = 112;

}  // namespace

ProgressWindowControls buildProgressWindowControls(QDialog& window, int timerIntervalMs)
{
    ProgressWindowControls controls{};
    controls.Label1 = new QLabel(&window);
    controls.Label1->setObjectName(QStringLiteral("Label1"));
    controls.Label1->setTextFormat(Qt::PlainText);
    controls.Label1->setMinimumWidth(1);  // a long path is cut at the window's edge, never widens it
    controls.ProgressBar1 = new QProgressBar(&window);
    controls.ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    controls.ProgressBar1->setRange(0, 100);
    controls.ProgressBar1->setTextVisible(false);
    controls.Label2 = new QLabel(QStringLiteral("0%"), &window);
    controls.Label2->setObjectName(QStringLiteral("Label2"));
    controls.Label2->setMinimumWidth(36);
    controls.Button1 = new QPushButton(QStringLiteral("Cancel"), &window);
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
    window.setFixedSize(kWidthPx, kHeightPx);
    return controls;
}

}  // namespace quorvane::app
