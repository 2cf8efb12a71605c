// SPDX-License-Identifier: Apache-2.0
// The commands of the change pages: the single change of the selected file, the batch run over
// the whole file list, the custom properties of the selected file, removing personal information
// from every listed file, the batch option table's double click, the apply boxes that enable
// their pickers, and the saved defaults of the batch settings.
#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStatusBar>
#include <QTimeEdit>
#include <QTreeWidget>

#include <algorithm>

#include "app/batch_controls.h"
#include "app/custom_properties_page.h"
#include "app/file_line.h"
#include "app/file_list_lines.h"
#include "app/file_list_view.h"
#include "app/line_value_reader.h"
#include "app/main_form.h"
#include "app/message_box.h"
#include "app/property_table.h"
#include "change/batch_templates.h"
#include "change/change_engine.h"
#include "change/file_plan.h"
#include "change/defaults_store.h"
#include "change/saved_defaults.h"
#include "app/batch_progress_window.h"
#include "app/scrub_dialog.h"
#include "app/template_preview.h"

namespace quorvane::app {
namespace {

constexpr char kNoFilesMessage[] = QT_TRANSLATE_NOOP("quorvane::app::TForm1", "Please select files you want to change properties!");
constexpr char kChangeFailedStep[] = QT_TRANSLATE_NOOP("quorvane::app::TForm1", "Change failed");

QString pathText(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// The change of a run that asks the same of every file.
auto sameChangeForEveryFile(const change::FileRequest& request, const change::ChangeOptions& options)
{
    return [request, options](int, const std::string& path) { return change::applyFileChange(path, request, options); };
}

// A picker is enabled exactly while its apply box is checked.
void followApplyBox(const QCheckBox* applyBox, QWidget* picker)
{
    picker->setEnabled(applyBox->isChecked());
}

}  // namespace

void TForm1::connectChangeCommands()
{
    connect(BitBtn6, &QPushButton::clicked, this, &TForm1::BitBtn6Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);
    connect(ListView2, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { ListView2DblClick(index.row()); });
    // toggled, not clicked: the pickers follow their boxes also when the program sets a box.
    connect(CheckBox9, &QCheckBox::toggled, this, &TForm1::CheckBox9Click);
    connect(CheckBox10, &QCheckBox::toggled, this, &TForm1::CheckBox10Click);
    connect(CheckBox11, &QCheckBox::toggled, this, &TForm1::CheckBox11Click);
    connect(CheckBox12, &QCheckBox::toggled, this, &TForm1::CheckBox12Click);
    connect(CheckBox13, &QCheckBox::toggled, this, &TForm1::CheckBox13Click);
    connect(CheckBox14, &QCheckBox::toggled, this, &TForm1::CheckBox14Click);

    connect(CustomPage->CustomApplyButton, &QPushButton::clicked, this, &TForm1::CustomApplyClick);
    QCheckBox* customBackup = CustomPage->CustomBackupBox;
    customBackup->setChecked(CheckBox5->isChecked());
    connect(CheckBox5, &QCheckBox::toggled, customBackup, &QCheckBox::setChecked);
    connect(customBackup, &QCheckBox::toggled, CheckBox5, &QCheckBox::setChecked);

    // The template preview follows the box, the batch table and the list's first lines.
    BatchTemplatePreview->setSources([this] { return batchSettingsOf(*this); }, [this] { return templatePreviewFiles(); });
    connect(ValuesAreTemplatesBox, &QCheckBox::toggled, BatchTemplatePreview, &TemplatePreview::refreshSoon);
    connect(ListView2, &QTreeWidget::itemChanged, BatchTemplatePreview, &TemplatePreview::refreshSoon);

    // "Remove personal information…" is on exactly while the list has lines.
    connect(RemovePersonalInformation1, &QAction::triggered, this, &TForm1::RemovePersonalInformation1Click);
    const auto followListLines = [this] {
        RemovePersonalInformation1->setEnabled(lineCount(*ListView1) > 0);
        if (ValuesAreTemplatesBox->isChecked()) BatchTemplatePreview->refreshSoon();
    };
    QAbstractItemModel* lines = ListView1->model();
    connect(lines, &QAbstractItemModel::rowsInserted, this, followListLines);
    connect(lines, &QAbstractItemModel::rowsRemoved, this, followListLines);
    connect(lines, &QAbstractItemModel::modelReset, this, followListLines);
}

std::vector<TemplatePreview::File> TForm1::templatePreviewFiles() const
{
    std::vector<TemplatePreview::File> files;
    for (int line = 0; line < std::min(lineCount(*ListView1), int(TemplatePreview::kFileCount)); ++line)
        files.push_back({linePath(*ListView1, line), std::size_t(line) + 1});
    return files;
}

void TForm1::markLine(int line, const change::FileOutcome& outcome)
{
    // A file that needed no change holds what was asked: it counts as changed.
    setLineStatus(*ListView1, line, outcome.failed() ? kChangeFailed : kChanged);
    setLineFailure(*ListView1, line, failureReason(tr(kChangeFailedStep), outcome.failure));
    // Its columns show the file as the change left it; a failure left it as it was, unless partly.
    auto* changed = dynamic_cast<FileLine*>(ListView1->topLevelItem(line));
    if (changed && (!outcome.failed() || outcome.partly)) fileListView_->reader().read(*changed);
}

template <typename Value>
bool TForm1::refusedRequest(const Result<Value>& request)
{
    if (request.ok()) return false;
    // A value that is no value of its row stops the command before any file is touched.
    showMessage(this, QString::fromStdString(request.failure().text()));
    return true;
}

void TForm1::BitBtn6Click()
{
    CloseRowEditors();
    const int line = selectedLine(*ListView1);
    if (line < 0) {
        showMessage(this, tr(kNoFilesMessage));
        return;
    }
    if (const QString refusal = singleChangeRefusal(line); !refusal.isEmpty()) {
        statusBar()->showMessage(refusal);
        return;
    }
    // The picture and the reason start afresh for this change.
    setLineStatus(*ListView1, line, kUnchanged);
    setLineFailure(*ListView1, line, QString());
    ListView1->viewport()->repaint();
    const std::string path = linePath(*ListView1, line);
    const change::SingleChangeValues values = singleChangeValuesOf(*this);
    // Only the rows the user edited: a value read and written back could lose what its display
    // text does not show (a stored type, fractions of a second).
    props::RowSelection edited{};
    for (std::size_t row = 0; row < edited.size(); ++row) edited[row] = values.rowValues[row] != shown_->rowTexts[row];
    const auto request = change::singleChangeRequest(values.rowValues, edited, values.datePickers, values.timePickers,
                                                     values.attributes);
    if (refusedRequest(request)) return;
    // A change the plan refuses makes no backup and writes nothing.
    const change::FileOutcome outcome = [&] {
        const LineValueReader::Pause paused(fileListView_->reader());
        return change::applyFileChange(path, *request, {false, CheckBox5->isChecked()});
    }();
    if (outcome.backupFailed) {
        setLineStatus(*ListView1, line, kUnchanged);
        showMessage(this, tr("An error occured when backup original file, \n"
                             "please make sure there not any other application open this file!\n") +
                              pathText(path));
        return;
    }
    // What the page shows is now what was written (or what the user tried to write): the file
    // as it is now counts as shown.
    shown_->stamp = change::fileStampOf(path);
    shown_->rowTexts = values.rowValues;
    markLine(line, outcome);
    showSelectedLineFailure();
}

QString TForm1::singleChangeRefusal(int line)
{
    const std::string path = linePath(*ListView1, line);
    // The values of a file that could not be read are empty, not the file's: writing them would
    // erase its properties.
    if (!shown_ || shown_->path != path || !shown_->readSucceeded)
        return tr("Not changed: the file could not be read when it was selected; "
                  "select it again once it can be read");
    if (change::fileStampOf(path) == shown_->stamp) return {};
    {
        const QScopedValueRollback<bool> running(displayRunning_, true);
        displayLine(line);
    }
    return tr("Not changed: the file changed on disk after it was shown; "
              "its values are shown again");
}

void TForm1::BitBtn2Click()
{
    CloseRowEditors();
    const int count = lineCount(*ListView1);
    if (count == 0) {
        showMessage(this, tr(kNoFilesMessage));
        return;
    }
    // The window is modal while the run goes on, so the settings cannot change under it.
    const change::BatchSettings settings = batchSettingsOf(*this);
    if (!change::BatchHasWork(settings)) {
        showMessage(this, tr("Please setup File Change Attribute Option.\n"
                             "According to you setup, noting to do!"));
        return;
    }
    const change::ChangeOptions options{false, settings.backup};
    RunTally tally;
    if (settings.valuesAreTemplates) {
        // Every template is read before any file is touched: an unknown field stops the batch.
        auto templates = change::BatchTemplates::of(settings);
        if (refusedRequest(templates)) {
            reselectFirstLine(*ListView1);
            return;
        }
        tally = changeEveryLine([templates = std::move(templates).value(), options](int line, const std::string& path) {
            // Each file's values come from the file as it is before its change.
            const change::FileDisplay current = change::ReadFileForDisplay(path);
            const auto request = templates.requestFor({path, std::size_t(line) + 1, &current});
            if (request.ok()) return change::applyFileChange(path, *request, options);
            change::FileOutcome refused;
            refused.kind = change::FileOutcome::Kind::Failed;
            refused.failure = request.failure();
            return refused;
        });
    } else {
        const auto request = change::batchRequest(settings);
        if (refusedRequest(request)) {
            // As after a run that an error ended: the first file is shown again.
            reselectFirstLine(*ListView1);
            return;
        }
        tally = changeEveryLine(sameChangeForEveryFile(*request, options));
    }
    reselectFirstLine(*ListView1);
    // Fields that name a file's values now read what the run wrote.
    if (settings.valuesAreTemplates) BatchTemplatePreview->refreshSoon();
    showRunOutcome(tally.changed, tally.failed, tr("changed"));
}

TForm1::RunTally TForm1::changeEveryLine(const FileChange& change)
{
    const int count = lineCount(*ListView1);
    for (int line = 0; line < count; ++line) {
        setLineStatus(*ListView1, line, kUnchanged);
        setLineFailure(*ListView1, line, QString());
    }
    ListView1->viewport()->repaint();
    return changeFiles(count, [this](int line) { return linePath(*ListView1, line); }, [](int line) { return line; }, change);
}

TForm1::RunTally TForm1::changeFiles(int count, const std::function<std::string(int)>& pathOf,
                                     const std::function<int(int)>& lineOf, const FileChange& change)
{
    TForm7::BatchRun run;
    run.fileCount = count;
    run.pathOf = pathOf;
    run.change = change;
    RunTally tally;
    run.markLine = [&](int index, const change::FileOutcome& outcome) {
        ++(outcome.failed() ? tally.failed : tally.changed);
        if (const int line = lineOf(index); line >= 0) markLine(line, outcome);
    };
    const LineValueReader::Pause paused(fileListView_->reader());
    Form7->runModal(std::move(run));
    return tally;
}

void TForm1::CustomApplyClick()
{
    const int line = selectedLine(*ListView1);
    if (line < 0) return;
    // A value refused here writes nothing and leaves the page as the user made it.
    CustomPage->finishEditing();
    QString problem;
    const auto edits = CustomPage->edits(&problem);
    if (!edits) {
        statusBar()->showMessage(tr("Custom properties not changed: %1").arg(problem));
        return;
    }
    if (edits->empty()) {
        statusBar()->showMessage(tr("Custom properties not changed: nothing was edited"));
        return;
    }
    if (const QString refusal = singleChangeRefusal(line); !refusal.isEmpty()) {
        statusBar()->showMessage(refusal);
        return;
    }
    const std::string path = linePath(*ListView1, line);
    change::FileRequest request;
    request.content.custom = *edits;
    const change::FileOutcome outcome = [&] {
        const LineValueReader::Pause paused(fileListView_->reader());
        return change::applyFileChange(path, request, {false, CheckBox5->isChecked()});
    }();
    markLine(line, outcome);
    // A failed change leaves the file as it was, so the edits stay on the page to be applied
    // again once the cause is gone; a written one is shown as the file now is.
    if (!outcome.failed()) {
        const QScopedValueRollback<bool> running(displayRunning_, true);
        displayLine(line);
    }
    showSelectedLineFailure();
}

void TForm1::RemovePersonalInformation1Click()
{
    CloseRowEditors();
    const int count = lineCount(*ListView1);
    if (count == 0) {
        showMessage(this, tr(kNoFilesMessage));
        return;
    }
    const bool backup = CheckBox4->isChecked();
    ScrubDialog confirmation(count, backup, this);
    if (confirmation.exec() != QDialog::Accepted) return;
    const RunTally tally = changeEveryLine(
        sameChangeForEveryFile(change::scrubRequest(props::RowSelection{}, confirmation.removeThumbnail()), {false, backup}));
    if (const int line = selectedLine(*ListView1); line >= 0) {
        const QScopedValueRollback<bool> running(displayRunning_, true);
        displayLine(line);
    }
    showRunOutcome(tally.changed, tally.failed, tr("changed"));
}

void TForm1::ListView2DblClick(int row)
{
    QTreeWidgetItem* item = ListView2->topLevelItem(row);
    if (!item) return;
    item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void TForm1::CheckBox9Click() { followApplyBox(CheckBox9, DateTimePicker1); }
void TForm1::CheckBox10Click() { followApplyBox(CheckBox10, DateTimePicker2); }
void TForm1::CheckBox11Click() { followApplyBox(CheckBox11, DateTimePicker3); }
void TForm1::CheckBox12Click() { followApplyBox(CheckBox12, DateTimePicker4); }
void TForm1::CheckBox13Click() { followApplyBox(CheckBox13, DateTimePicker5); }
void TForm1::CheckBox14Click() { followApplyBox(CheckBox14, DateTimePicker6); }

void TForm1::ToolButton9Click()
{
    CloseRowEditors();
    SaveDefaults();
}

void TForm1::ToolButton10Click()
{
    CloseRowEditors();
    LoadDefaults();
}

void TForm1::ToolButton12Click()
{
    LoadFromSelectedFile();
}

void TForm1::SaveDefaults()
{
    change::saveBatchDefaults(change::defaultsStorePath(), batchSettingsOf(*this));
}

void TForm1::LoadDefaults()
{
    if (const auto settings = change::loadBatchDefaults(change::defaultsStorePath(), currentLocalDateTime()))
        showBatchSettings(*this, *settings);
}

void TForm1::LoadFromSelectedFile()
{
    CloseRowEditors();
    if (selectedLine(*ListView1) < 0) return;
    change::BatchSettings settings = batchSettingsOf(*this);
    const change::SingleChangeValues shown = singleChangeValuesOf(*this);
    settings.rowValues = shown.rowValues;
    for (std::size_t index = 0; index < settings.fileTimes.size(); ++index) {
        settings.fileTimes[index].datePicker = shown.datePickers[index];
        settings.fileTimes[index].timePicker = shown.timePickers[index];
    }
    // Only set or clear: a grayed box on the "Single Change" page gives an unchecked box here.
    const auto setOrClear = [](fileinfo::BoxState state) {
        return state == fileinfo::BoxState::Checked ? fileinfo::BoxState::Checked : fileinfo::BoxState::Unchecked;
    };
    settings.attributes = {setOrClear(shown.attributes.readOnly), setOrClear(shown.attributes.archive),
                           setOrClear(shown.attributes.hidden), setOrClear(shown.attributes.system)};
    showBatchSettings(*this, settings);
}

}  // namespace quorvane::app
