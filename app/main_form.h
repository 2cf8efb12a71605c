// SPDX-License-Identifier: Apache-2.0
// The main window TForm1: the file list with its tool bar on the left, the "Single Change",
// "Batch Change" and "Custom Properties" pages on the right, the menus and the status bar. Every control carries its
// fixed name as object name and member name; commands are the handlers named after their
// control. The window only turns controls into values and back; it reads and writes no file.
#pragma once

#include <QMainWindow>

#include <functional>
#include <optional>
#include <string>

#include "app/template_preview.h"
#include "change/file_display.h"
#include "change/file_plan.h"

class QAction;
class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QTimeEdit;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QUrl;
class QWidget;
class TForm4;
class TForm5;
class TForm7;

namespace quorvane::exporting {
class TForm9;
}

namespace quorvane::app {

class CustomPropertiesPage;
class FileListView;
class PropertyTable;
class RowEditors;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kWidthPx = 817;
    static constexpr int kHeightPx = 614;
    static constexpr int kRightAreaWidthPx = 393;
    static constexpr int kGapWidthPx = 8;

    explicit TForm1(QWidget* parent = nullptr);

    // Commits and hides any open in-place row editor.
    void CloseRowEditors();
    RowEditors* rowEditors() const { return rowEditors_; }
    FileListView* fileListView() const { return fileListView_; }

    // Left area.
    QToolBar* ToolBar2;
    QToolButton* ToolButton1;
    QToolButton* ToolButton5;
    QToolButton* ToolButton2;
    QToolButton* ToolButton3;
    QLineEdit* ListFilter;  // narrows the list to the lines that hold its text
    QTreeWidget* ListView1;
    QMenu* PopupMenu1;
    QAction* AddFiles1;
    QAction* AddFilesfromfloder1;
    QAction* Remove1;
    QAction* RemoveAll1;
    QWidget* Panel1;

    // Right area.
    QTabWidget* PageControl1;

    // "Single Change" page.
    QWidget* TabSheet2;
    PropertyTable* ListView3;
    QGroupBox* GroupBox3;
    QDateEdit* DateTimePicker9;
    QTimeEdit* DateTimePicker10;
    QDateEdit* DateTimePicker11;
    QTimeEdit* DateTimePicker12;
    QDateEdit* DateTimePicker13;
    QTimeEdit* DateTimePicker14;
    QGroupBox* GroupBox1;
    QCheckBox* CheckBox16;
    QCheckBox* CheckBox17;
    QCheckBox* CheckBox18;
    QCheckBox* CheckBox23;
    QCheckBox* CheckBox5;
    QPushButton* BitBtn6;
    QPushButton* BitBtn9;
    QPushButton* BitBtn5;
    QPushButton* BitBtn7;

    // "Batch Change" page.
    QWidget* TabSheet1;
    QWidget* ToolBar3;
    QToolButton* ToolButton9;
    QToolButton* ToolButton10;
    QToolButton* ToolButton12;
    PropertyTable* ListView2;
    QCheckBox* RemoveAllCustomBox;
    QCheckBox* ValuesAreTemplatesBox;
    TemplatePreview* BatchTemplatePreview;  // the resolved values of the first files while ValuesAreTemplatesBox is ticked
    QGroupBox* GroupBox5;
    QCheckBox* CheckBox9;
    QDateEdit* DateTimePicker1;
    QCheckBox* CheckBox10;
    QTimeEdit* DateTimePicker2;
    QCheckBox* CheckBox11;
    QDateEdit* DateTimePicker3;
    QCheckBox* CheckBox12;
    QTimeEdit* DateTimePicker4;
    QCheckBox* CheckBox13;
    QDateEdit* DateTimePicker5;
    QCheckBox* CheckBox14;
    QTimeEdit* DateTimePicker6;
    QGroupBox* GroupBox2;
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
    QCheckBox* CheckBox3;
    QCheckBox* CheckBox8;
    QCheckBox* CheckBox4;
    QPushButton* BitBtn2;
    QPushButton* BitBtn8;
    QPushButton* BitBtn3;
    QPushButton* BitBtn4;

    // "Custom Properties" page; its backup box goes with the "Single Change" page's CheckBox5.
    CustomPropertiesPage* CustomPage;

    // Menus. Edit holds the pop-up's Remove1 and RemoveAll1; View the columns and sort menus of
    // the file list.
    QMenu* File1;
    QAction* AddFilesMenu1;
    QAction* AddFolderMenu1;
    QAction* ApplyValuesFromTable1;
    QAction* ExportToCsv1;
    QAction* RemovePersonalInformation1;
    QAction* Exit1;
    QMenu* Edit1;
    QAction* SelectAll1;
    QMenu* View1;
    QAction* Filter1;
    QMenu* Help1;
    QAction* help2;
    QAction* Helponline1;
    QAction* Showhint1;
    QAction* LomberkWebSite1;
    QAction* Emailsupport1;
    QAction* about1;

    QLabel* StatusBar1Panel;
    QLabel* FileCount;  // "Files: shown / listed", at the right of the status bar

    // The help-hints, About, batch progress and export progress windows, hidden until a command
    // shows them modally.
    TForm4* Form4;
    TForm5* Form5;
    TForm7* Form7;
    exporting::TForm9* Form9;

    // Commands.
    void ToolButton1Click();
    void ToolButton5Click();
    void ToolButton2Click();
    void ToolButton3Click();
    void ListView1Change();
    void ListView1FilesDropped(const QList<QUrl>& urls);
    void ToolButton9Click();
    void ToolButton10Click();
    void ToolButton12Click();
    void ListView3Click(QPoint viewportPos);
    void ListView2Click(QPoint viewportPos);
    void ListView2DblClick(int row);
    void BitBtn6Click();
    void BitBtn2Click();
    void CheckBox9Click();
    void CheckBox10Click();
    void CheckBox11Click();
    void CheckBox12Click();
    void CheckBox13Click();
    void CheckBox14Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void Exit1Click();
    void help2Click();
    void Helponline1Click();
    void Showhint1Click();
    void LomberkWebSite1Click();
    void Emailsupport1Click();
    void about1Click();
    void BitBtn8Click();
    void BitBtn9Click();
    // "Apply" on the "Custom Properties" page: the page's edits written to the selected file,
    // which is then shown again; after a failure the edits stay on the page.
    void CustomApplyClick();
    // "Remove personal information…": asked for, then a batch run over the whole list.
    void RemovePersonalInformation1Click();
    // "Apply values from table…": a table chosen, its preview shown, and the files ticked there
    // changed as a batch (in main_form_table.cpp).
    void ApplyValuesFromTable1Click();

    // The saved defaults of the batch settings: stored, loaded back, or taken from the values
    // shown for the selected file. They report nothing; a store that cannot be opened leaves
    // the controls as they are.
    void SaveDefaults();
    void LoadDefaults();
    void LoadFromSelectedFile();

protected:
    // The reason of a failure found while the window was still hidden shows now: a message
    // given to a hidden status bar lies over its text once shown.
    void showEvent(QShowEvent* event) override;

private:
    // Connects the commands of the change pages and "Remove personal information…", and keeps
    // the "Custom Properties" page's backup box and CheckBox5 in step (in main_form_change.cpp).
    void connectChangeCommands();
    QWidget* createClientArea();
    QWidget* createFileArea();
    QWidget* createSingleChangePage();
    QWidget* createBatchChangePage();
    // The design size, grown to what the font needs and, as far as the screen allows, to show
    // every row of the batch option table.
    QSize startingSize() const;
    void createMenus();
    void createStatusBar();
    void createActions();
    void createShortcuts();
    void createModalWindows();
    // Names for assistive technology where captions do not say what a control sets (in
    // main_form_accessible_names.cpp).
    void nameControlsForAssistiveTechnology();
    void centreOnScreen();
    // The status bar shows the reason of the selected line's last failure, or, when there is
    // none, the status text it shows at start.
    void showSelectedLineFailure();
    // The status bar shows how many files a run has `done` ("changed", "exported") and how many
    // failed, until the list selection changes.
    void showRunOutcome(int doneCount, int failedCount, const QString& done);

    // How a run over the list ended: the lines changed and the lines that failed.
    struct RunTally {
        int changed = 0;
        int failed = 0;
    };
    // The change of one file of a run: the index of the file in the run (for the whole list,
    // its line) and its path.
    using FileChange = std::function<change::FileOutcome(int index, const std::string& path)>;
    // Resets every line's status and reason, then runs `change` on every line's file in the
    // batch progress window (a failed backup ends the run), and marks each line changed or
    // failed with its reason.
    RunTally changeEveryLine(const FileChange& change);
    // Runs `change` on `count` files in the batch progress window, each named by `pathOf`, and
    // marks the line `lineOf` gives for it (-1: a file not listed).
    RunTally changeFiles(int count, const std::function<std::string(int)>& pathOf, const std::function<int(int)>& lineOf,
                         const FileChange& change);
    // The files whose template values show under the Batch table: the first lines of the list,
    // the first files of a batch run, each numbered by its line.
    std::vector<TemplatePreview::File> templatePreviewFiles() const;
    // Marks `line` changed (also when it needed no change) or failed with the outcome's reason.
    void markLine(int line, const change::FileOutcome& outcome);
    // True, after saying why in a message box, when a request could not be made of the values
    // shown (a row text that is no value of its row).
    template <typename Value>
    bool refusedRequest(const Result<Value>& request);

    // Reads the file of `line` and shows it on the "Single Change" page, marking the line.
    void displayLine(int line);
    // Why "Make Change" may not write the file of `line` now, or "" when it may: its last display
    // failed, or it changed on disk since it was shown (then it is shown again).
    QString singleChangeRefusal(int line);

    // The file that the "Single Change" page shows, as it was when it was read.
    struct ShownFile {
        std::string path;
        bool readSucceeded = false;
        std::optional<change::FileStamp> stamp;
        props::RowTexts rowTexts;  // as the "Single Change" table gave them back once shown
    };

    RowEditors* rowEditors_;
    FileListView* fileListView_;
    bool displayRunning_ = false;  // set while ListView1Change shows a file
    std::optional<ShownFile> shown_;
};

}  // namespace quorvane::app
