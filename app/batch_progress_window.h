// SPDX-License-Identifier: Apache-2.0
// The batch progress window TForm7 "Changing...": while a batch run changes the listed files one
// after the other, it shows the path of the file being changed, a bar and the percentage, and
// offers "Cancel". The run advances one step per turn of the event loop, so the labels repaint
// and a click on "Cancel" is seen between files, without re-entering the loop from inside a step.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

#include "change/file_plan.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

class TForm7 : public QDialog {
    Q_OBJECT
public:
    // The work of one run, handed in by the command that starts it. Lines are addressed by
    // index, 0 to fileCount - 1, and changed in that order.
    struct BatchRun {
        int fileCount = 0;
        std::function<std::string(int line)> pathOf;
        // Changes one file, the line's, through the change path (its backup included); an
        // exception ends the run (see runModal).
        std::function<quorvane::change::FileOutcome(int line, const std::string& path)> change;
        // Reports the outcome of a line.
        std::function<void(int line, const quorvane::change::FileOutcome& outcome)> markLine;
    };

    static constexpr int kStartDelayMs = 100;
    static constexpr int kCloseDelayMs = 100;

    explicit TForm7(QWidget* parent = nullptr);

    // Resets the labels and the bar, starts Timer1 and shows the window modally; returns when the
    // run has closed the window. The run ends after the last line, at the first line seen with
    // the cancel flag set, or at a failed backup (that line is marked failed, the later lines are
    // left alone). An exception thrown by `run.change` closes the window at once
    // and goes on to the application's top-level handler; that line and the later ones are not
    // marked.
    void runModal(BatchRun run);

    // Timer1's handler: the start of a run, 100 ms after the window shows.
    void Timer1Timer();
    // "Cancel": the run stops before the next file; the file being changed is finished.
    void Button1Click();

    QLabel* Label1;
    QProgressBar* ProgressBar1;
    QLabel* Label2;
    QPushButton* Button1;
    QTimer* Timer1;

protected:
    // Escape and the window frame's close button act as "Cancel" while a run goes on; the window
    // closes only when the run ends.
    void reject() override;
    void showEvent(QShowEvent* event) override;

private:
    // The two steps of one line: first the cancel test and its path shown; then, after the label
    // has repainted, its change (backup included) and the percentage.
    void startLine();
    void changeLine();
    // Runs `work` on the current line and its path; an exception closes the window and goes on.
    template <typename Work>
    auto workOnCurrentPath(const Work& work);
    // Bar to 100, then the window closes after a short pause.
    void finishRun();
    void endRun();

    BatchRun run_;
    int lineCount_ = 0;
    int currentLine_ = 0;
    std::string currentPath_;
    bool cancelFlag_ = false;
    bool running_ = false;
};
