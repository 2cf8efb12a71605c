// SPDX-License-Identifier: Apache-2.0
// TForm9, the progress window of the batch CSV export: it reads the listed files one at a time,
// in list order, showing each path and the percentage done, gathers their lines and saves the
// CSV file in one piece at the end, unless "Cancel" was pressed, in which case nothing is saved.
#pragma once

#include <QDialog>
#include <QString>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "export/csv_export.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace quorvane::exporting {

class TForm9 : public QDialog {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent = nullptr);

    // Reports the outcome of reading file `index`: Failure{} = its full line was added, else why
    // not.
    using FileOutcome = std::function<void(int index, const Failure& failure)>;

    // What the last run did: the files that gave a full line, the files whose reading failed,
    // and whether the CSV file was saved (false when the run was cancelled or the save failed).
    struct Outcome {
        int exported = 0;
        int failed = 0;
        bool saved = false;
    };

    // Prepares a run over `paths` into the CSV file `fileName`: cancel flag cleared, Label1
    // empty, "0%", bar at 0, timer enabled, outcome reset. The run starts when the window is
    // shown (exec()); `markFile`, when given, hears of each file read.
    void prepareExport(const QString& fileName, std::vector<std::string> paths, FileOutcome markFile = {});

    const Outcome& lastOutcome() const { return outcome_; }

    QLabel* Label1;
    QProgressBar* ProgressBar1;
    QLabel* Label2;
    QPushButton* Button1;
    QTimer* Timer1;

    // The run: the header, then one file per turn of the event loop, then the save.
    void Timer1Timer();
    // "Cancel": the file being read is finished, no further file is read and nothing is saved.
    void Button1Click();

    // Closing the window while a run goes on cancels the run instead.
    void reject() override;

signals:
    // Label1 shows the path of file `index` and its reading begins.
    void fileStarted(int index);
    // Label2 and the bar show `percent`.
    void progressShown(int percent);

private:
    void exportNextFile();
    void finishExport();
    void saveAndClose();
    // Runs one step of the run; a step that throws closes the window and passes the error on.
    template <typename Step>
    void runStep(const Step& step);

    QString fileName_;
    std::vector<std::string> paths_;
    std::size_t nextFile_ = 0;
    bool cancelled_ = false;
    bool running_ = false;
    ExportList lines_;
    FileOutcome markFile_;
    Outcome outcome_;
};

}  // namespace quorvane::exporting
