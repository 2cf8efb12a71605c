// SPDX-License-Identifier: Apache-2.0
#include "app/batch_progress_window.h"

#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <utility>

#include "app/progress_window_controls.h"
#include "change/progress_percent.h"

namespace {

QString pathText(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace

TForm7::TForm7(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(tr("Changing..."));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    setModal(true);

    const auto controls = quorvane::app::buildProgressWindowControls(*this, kStartDelayMs);
    Label1 = controls.Label1;
    ProgressBar1 = controls.ProgressBar1;
    Label2 = controls.Label2;
    Button1 = controls.Button1;
    Timer1 = controls.Timer1;

    connect(Timer1, &QTimer::timeout, this, &TForm7::Timer1Timer);
    connect(Button1, &QPushButton::clicked, this, &TForm7::Button1Click);
}

void TForm7::runModal(BatchRun run)
{
    run_ = std::move(run);
    cancelFlag_ = false;
    Label1->clear();
    Label2->setText(QStringLiteral("0%"));
    ProgressBar1->setValue(0);
    running_ = true;
    Timer1->start();
    exec();
    run_ = BatchRun{};
}

void TForm7::Timer1Timer()
{
    Timer1->stop();
    lineCount_ = run_.fileCount;
    currentLine_ = 0;
    QTimer::singleShot(0, this, &TForm7::startLine);
}

void TForm7::Button1Click()
{
    cancelFlag_ = true;
}

template <typename Work>
auto TForm7::workOnCurrentPath(const Work& work)
{
    try {
        return work(currentLine_, currentPath_);
    } catch (...) {
        // The error goes on to the top-level handler, which shows it; the window must not stay
        // behind with a run that will never end.
        endRun();
        throw;
    }
}

void TForm7::startLine()
{
    if (cancelFlag_ || currentLine_ >= lineCount_) {
        finishRun();
        return;
    }
    currentPath_ = run_.pathOf(currentLine_);
    Label1->setText(pathText(currentPath_));
    QTimer::singleShot(0, this, &TForm7::changeLine);
}

void TForm7::changeLine()
{
    const quorvane::change::FileOutcome outcome = workOnCurrentPath(run_.change);
    run_.markLine(currentLine_, outcome);
    if (outcome.backupFailed) {
        // A file that could not be copied aside is not changed, and the run stops silently.
        finishRun();
        return;
    }
    ++currentLine_;
    const int percent = quorvane::change::progressPercent(currentLine_, lineCount_);
    Label2->setText(QString::number(percent) + u'%');
    ProgressBar1->setValue(percent);
    QTimer::singleShot(0, this, &TForm7::startLine);
}

void TForm7::finishRun()
{
    ProgressBar1->setValue(100);
    QTimer::singleShot(kCloseDelayMs, this, &TForm7::endRun);
}

void TForm7::endRun()
{
    Timer1->stop();
    cancelFlag_ = false;
    running_ = false;
    done(QDialog::Accepted);
}

void TForm7::reject()
{
    if (running_) {
        Button1Click();
        return;
    }
    QDialog::reject();
}

void TForm7::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
}
