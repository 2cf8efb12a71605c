// SPDX-License-Identifier: Apache-2.0
#include "app/csv_progress_window.h"

#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "app/message_box.h"
#include "app/progress_window_controls.h"
#include "change/progress_percent.h"

namespace quorvane::exporting {
namespace {

constexpr int kTimerIntervalMs = 100;
constexpr int kPauseAtTheEndMs = 100;

}  // namespace

TForm9::TForm9(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(tr("Export to CSV..."));

    const app::ProgressWindowControls controls = app::buildProgressWindowControls(*this, kTimerIntervalMs);
    Label1 = controls.Label1;
    ProgressBar1 = controls.ProgressBar1;
    Label2 = controls.Label2;
    Button1 = controls.Button1;
    Timer1 = controls.Timer1;
    Timer1->setSingleShot(true);

    connect(Timer1, &QTimer::timeout, this, &TForm9::Timer1Timer);
    connect(Button1, &QPushButton::clicked, this, &TForm9::Button1Click);
}

void TForm9::prepareExport(const QString& fileName, std::vector<std::string> paths, FileOutcome markFile)
{
    fileName_ = fileName;
    paths_ = std::move(paths);
    markFile_ = std::move(markFile);
    outcome_ = {};
    nextFile_ = 0;
    cancelled_ = false;
    lines_.clear();
    Label1->clear();
    Label2->setText(QStringLiteral("0%"));
    ProgressBar1->setValue(0);
    Timer1->start();
}

void TForm9::Timer1Timer()
{
    Timer1->stop();
    running_ = true;
    runStep([this] { WriteCsvHeader(lines_); });
    // One file per turn of the event loop: the labels repaint and "Cancel" is seen in between.
    QTimer::singleShot(0, this, [this] { runStep([this] { exportNextFile(); }); });
}

void TForm9::reject()
{
    // Closing the window during a run (Escape, the frame) cancels it; the run then ends itself.
    if (running_) {
        Button1Click();
        return;
    }
    QDialog::reject();
}

template <typename Step>
void TForm9::runStep(const Step& step)
{
    try {
        step();
    } catch (...) {
        // The error goes on to the application's handler; the window must not stay open with
        // the run stopped.
        running_ = false;
        lines_.clear();
        QDialog::reject();
        throw;
    }
}

void TForm9::exportNextFile()
{
    if (cancelled_ || nextFile_ >= paths_.size()) {
        finishExport();
        return;
    }
    const std::size_t index = nextFile_++;
    Label1->setText(QFile::decodeName(QByteArray::fromStdString(paths_[index])));
    emit fileStarted(int(index));
    const Failure failure = appendFileLine(paths_[index], lines_);
    ++(failure.failed() ? outcome_.failed : outcome_.exported);
    if (markFile_) markFile_(int(index), failure);
    const int percent = change::progressPercent(int(index + 1), int(paths_.size()));
    Label2->setText(QString::number(percent) + QStringLiteral("%"));
    ProgressBar1->setValue(percent);
    emit progressShown(percent);
    QTimer::singleShot(0, this, [this] { runStep([this] { exportNextFile(); }); });
}

void TForm9::finishExport()
{
    ProgressBar1->setValue(100);
    QTimer::singleShot(kPauseAtTheEndMs, this, [this] { runStep([this] { saveAndClose(); }); });
}

void TForm9::saveAndClose()
{
    if (!cancelled_) {
        outcome_.saved = !saveExportList(QFile::encodeName(fileName_).toStdString(), lines_).failed();
        if (!outcome_.saved)
            app::showMessage(this, tr("Cannot save to %1\nplease close other application that open this file!").arg(fileName_));
    }
    lines_.clear();
    cancelled_ = false;
    running_ = false;
    accept();
}

void TForm9::Button1Click()
{
    cancelled_ = true;
}

}  // namespace quorvane::exporting
