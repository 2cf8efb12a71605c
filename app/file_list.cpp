// SPDX-License-Identifier: Apache-2.0
// The file list's commands: adding through the open dialog, from a folder and by dropping,
// removing the selected line or all lines, and what each turns on and off. Paths are kept as
// the file system's bytes and compared exactly, letter case included.
#include "app/file_list.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

#include <filesystem>
#include <initializer_list>
#include <unordered_set>
#include <utility>

#include "app/dialog_folder.h"
#include "app/file_list_lines.h"
#include "app/main_form.h"
#include "fileinfo/file_snapshot.h"
#include "fileinfo/folder_scan.h"

namespace quorvane::app {
namespace {

std::string fileSystemPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

std::vector<std::string> chooseFilesInOpenDialog(QWidget* parent)
{
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("OpenDialog1"));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    // The presentation family of fileinfo::kPresentationExtensions; matched without regard to case.
    const QString presentations = QStringLiteral("*.ppt *.pps *.pot *.pptx *.pptm *.ppsx *.ppsm *.potx *.potm");
    dialog.setNameFilters({QCoreApplication::translate("quorvane::app::FileList", "Microsoft PowerPoint Files (%1)").arg(presentations),
                           QCoreApplication::translate("quorvane::app::FileList", "All Office documents (%1 *.doc *.dot *.xls *.xlt *.docx *.docm *.dotx "
                                                                      "*.xlsx *.xlsm *.xltx)").arg(presentations)});
    dialog.setFilter(dialog.filter() | QDir::Hidden);
    dialog.setSizeGripEnabled(true);
    if (const QString start = dialogStartFolder(); !start.isEmpty()) dialog.setDirectory(start);
    std::vector<std::string> paths;
    if (dialog.exec() != QDialog::Accepted) return paths;
    for (const QString& path : dialog.selectedFiles()) paths.push_back(fileSystemPath(path));
    return paths;
}

std::optional<std::string> chooseFolderInDialog(QWidget* parent)
{
    const QString start = dialogStartFolder();
    const QString folder = QFileDialog::getExistingDirectory(parent, QCoreApplication::translate("quorvane::app::FileList", "Please select folder"),
                                                             start.isEmpty() ? QDir::homePath() : start,
                                                             QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) return std::nullopt;
    return fileSystemPath(folder);
}

// `path` as a full path: a relative one is taken from the current folder, without a leading "./".
std::string absolutePath(std::string path)
{
    if (path.starts_with('/')) return path;
    while (path.starts_with("./")) path.erase(0, 2);
    std::error_code error;
    const std::string current = std::filesystem::current_path(error).string();
    if (error) return path;
    return path.empty() || path == "." ? current : (current == "/" ? "" : current) + "/" + path;
}

FileListDialogs& installedDialogs()
{
    static FileListDialogs dialogs;
    return dialogs;
}

// Appends the paths that pass `takes` and are not listed yet; returns how many were appended.
// The listed paths are gathered once, so adding a folder of n files to a list of m lines costs
// n + m steps, not n × m.
template <typename Takes>
int appendNewLines(QTreeWidget& list, const std::vector<std::string>& paths, Takes takes)
{
    std::unordered_set<std::string> listed;
    listed.reserve(std::size_t(lineCount(list)) + paths.size());
    for (int line = 0; line < lineCount(list); ++line) listed.insert(linePath(list, line));
    int appended = 0;
    for (const std::string& path : paths) {
        if (!takes(path) || !listed.insert(path).second) continue;
        appendLine(list, path);
        ++appended;
    }
    return appended;
}

// Drops of local files on the list's viewport; anything else dropped is refused.
class FileDropFilter : public QObject {
public:
    explicit FileDropFilter(TForm1& form) : QObject(form.ListView1), form_(form)
    {
        setObjectName(QStringLiteral("FileDropFilter"));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (drag->mimeData()->hasUrls()) drag->acceptProposedAction();
            else drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (drop->mimeData()->hasUrls()) form_.ListView1FilesDropped(drop->mimeData()->urls());
            drop->acceptProposedAction();
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    TForm1& form_;
};

void setControlsEnabled(std::initializer_list<QWidget*> controls, bool enabled)
{
    for (QWidget* control : controls) control->setEnabled(enabled);
}

// What adding files turns on: removing lines and the commands that walk the whole list.
void enableFileListCommands(TForm1& form)
{
    setControlsEnabled({form.ToolButton2, form.ToolButton3, form.BitBtn2, form.BitBtn8}, true);
    form.RemoveAll1->setEnabled(true);
}

}  // namespace

FileListDialogs setFileListDialogs(FileListDialogs dialogs)
{
    return std::exchange(installedDialogs(), std::move(dialogs));
}

void acceptFileDrops(TForm1& form)
{
    form.ListView1->setAcceptDrops(true);
    form.ListView1->viewport()->setAcceptDrops(true);
    form.ListView1->viewport()->installEventFilter(new FileDropFilter(form));
}

void TForm1::ToolButton1Click()
{
    CloseRowEditors();
    const auto& choose = installedDialogs().chooseFiles;
    const std::vector<std::string> chosen = choose ? choose(this) : chooseFilesInOpenDialog(this);
    if (chosen.empty()) return;
    rememberDialogFolder(chosen.front());
    // Whatever the dialog gives is taken, whatever its name: the dialog's filter only suggests.
    appendNewLines(*ListView1, chosen, [](const std::string& path) { return fileinfo::FileEntryExists(path); });
    selectLine(*ListView1, lineCount(*ListView1) - 1);
    enableFileListCommands(*this);
}

void TForm1::ToolButton5Click()
{
    CloseRowEditors();
    const auto& choose = installedDialogs().chooseFolder;
    const std::optional<std::string> folder = choose ? choose(this) : chooseFolderInDialog(this);
    if (!folder || folder->empty()) return;
    rememberDialogFolder(*folder);
    const std::vector<std::string> found = fileinfo::listPresentationFiles(*folder);
    if (appendNewLines(*ListView1, found, [](const std::string&) { return true; }) == 0) return;
    selectLine(*ListView1, lineCount(*ListView1) - 1);
    enableFileListCommands(*this);
}

void TForm1::ListView1FilesDropped(const QList<QUrl>& urls)
{
    std::vector<std::string> dropped;
    for (const QUrl& url : urls)
        if (url.isLocalFile()) dropped.push_back(fileSystemPath(url.toLocalFile()));
    if (appendNewLines(*ListView1, dropped, fileinfo::isTakenPresentationFile) == 0) return;
    selectLine(*ListView1, lineCount(*ListView1) - 1);
    enableFileListCommands(*this);
}

void addCommandLinePaths(TForm1& form, const std::vector<std::string>& arguments)
{
    std::vector<std::string> taken;
    for (const std::string& argument : arguments) {
        if (argument.empty()) continue;
        const std::string path = absolutePath(argument);
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            for (std::string& found : fileinfo::listPresentationFiles(path)) taken.push_back(std::move(found));
        } else if (fileinfo::isTakenPresentationFile(path)) {
            taken.push_back(path);
        }
    }
    if (appendNewLines(*form.ListView1, taken, [](const std::string&) { return true; }) == 0) return;
    selectLine(*form.ListView1, lineCount(*form.ListView1) - 1);
    enableFileListCommands(form);
}

void TForm1::ToolButton2Click()
{
    CloseRowEditors();
    const int removed = selectedLine(*ListView1);
    if (removed < 0) return;
    // The removed line gives up the selection first, so the page empties before the next line
    // (if any) is shown.
    selectLine(*ListView1, -1);
    delete ListView1->takeTopLevelItem(removed);
    if (lineCount(*ListView1) == 0) {
        setControlsEnabled({ToolButton3, BitBtn2, BitBtn8}, false);
        // Both pop-up items: "Remove All" on an empty list would offer a command with nothing to do.
        Remove1->setEnabled(false);
        RemoveAll1->setEnabled(false);
        return;
    }
    ToolButton3->setEnabled(true);
    BitBtn2->setEnabled(true);
    selectLine(*ListView1, removed > 0 ? removed - 1 : 0);
}

void TForm1::ToolButton3Click()
{
    CloseRowEditors();
    selectLine(*ListView1, -1);
    ListView1->clear();
    setControlsEnabled({ToolButton3, BitBtn2, BitBtn8}, false);
    RemoveAll1->setEnabled(false);
}

}  // namespace quorvane::app
