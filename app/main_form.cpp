// SPDX-License-Identifier: Apache-2.0
#include "app/main_form.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "app/file_list.h"
#include "app/file_list_lines.h"
#include "app/file_list_view.h"
#include "app/file_status_icons.h"
#include "app/message_box.h"
#include "app/property_table.h"
#include "app/row_editors.h"
#include "app/batch_progress_window.h"
#include "app/csv_progress_window.h"
#include "help/about_window.h"
#include "help/help_hints_window.h"
#include "help/shell_links.h"

namespace quorvane::app {

TForm1::TForm1(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(kApplicationTitle));

    setCentralWidget(createClientArea());
    FileCount = new QLabel(this);
    FileCount->setObjectName(QStringLiteral("FileCount"));
    fileListView_ = new FileListView(*ListView1, *ListFilter, *FileCount);

    // The text, number and date editors start out floating over the batch option table.
    rowEditors_ = new RowEditors(ListView2, this);
    rowEditors_->guardScrolling(ListView2);
    rowEditors_->guardScrolling(ListView3);

    createActions();
    createStatusBar();
    ToolButton10Click();  // the batch settings start as saved
    PageControl1->setCurrentIndex(0);
    resize(startingSize());
    centreOnScreen();
    createModalWindows();
    nameControlsForAssistiveTechnology();
    acceptFileDrops(*this);
}

// The windows that commands show modally, created right after the main window in a fixed order.
// The batch progress window TForm7 goes before the export progress window TForm9.
void TForm1::createModalWindows()
{
    QList<QIcon> statusIcons;
    for (int status = 0; status < kFileStatusCount; ++status) statusIcons.append(fileStatusIcon(status));
    Form4 = new TForm4(statusIcons, this);
    Form5 = new TForm5(QIcon(QStringLiteral(":/icons/quorvane.svg")), this);
    Form7 = new TForm7(this);
    Form9 = new exporting::TForm9(this);
}

void TForm1::createActions()
{
    auto newAction = [this](const char* objectName, const QString& caption) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(objectName));
        return action;
    };

    PopupMenu1 = new QMenu(ListView1);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    AddFiles1 = newAction("AddFiles1", tr("&Add Files"));
    AddFilesfromfloder1 = newAction("AddFilesfromfloder1", tr("Add Files from &floder"));
    Remove1 = newAction("Remove1", tr("&Remove"));
    RemoveAll1 = newAction("RemoveAll1", tr("Remove A&ll"));
    Remove1->setEnabled(false);
    RemoveAll1->setEnabled(false);
    PopupMenu1->addActions({AddFiles1, AddFilesfromfloder1, Remove1, RemoveAll1});
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView1, &QWidget::customContextMenuRequested, this,
            [this](QPoint pos) { PopupMenu1->popup(ListView1->viewport()->mapToGlobal(pos)); });

    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    File1 = menuBar()->addMenu(tr("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    AddFilesMenu1 = newAction("AddFilesMenu1", tr("&Add Files…"));
    AddFolderMenu1 = newAction("AddFolderMenu1", tr("Add Files from &Folder…"));
    ApplyValuesFromTable1 = newAction("ApplyValuesFromTable1", tr("Apply &values from table…"));
    ExportToCsv1 = newAction("ExportToCsv1", tr("&Export to CSV…"));
    RemovePersonalInformation1 =
        newAction("RemovePersonalInformation1", tr("Remove &personal information…"));
    RemovePersonalInformation1->setEnabled(false);
    Exit1 = newAction("Exit1", tr("&Close"));
    File1->addActions({AddFilesMenu1, AddFolderMenu1, ApplyValuesFromTable1, ExportToCsv1});
    File1->addSeparator();
    File1->addAction(RemovePersonalInformation1);
    File1->addSeparator();
    File1->addAction(Exit1);
    Edit1 = menuBar()->addMenu(tr("&Edit"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    SelectAll1 = newAction("SelectAll1", tr("Select &All"));
    Edit1->addAction(SelectAll1);
    Edit1->addSeparator();
    Edit1->addActions({Remove1, RemoveAll1});
    View1 = menuBar()->addMenu(tr("&View"));
    View1->setObjectName(QStringLiteral("View1"));
    View1->addMenu(fileListView_->columnsMenu());
    View1->addMenu(fileListView_->sortMenu());
    Filter1 = newAction("Filter1", tr("&Filter"));
    View1->addAction(Filter1);
    Help1 = menuBar()->addMenu(tr("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    help2 = newAction("help2", tr("&Help"));
    Helponline1 = newAction("Helponline1", tr("Help &online"));
    Showhint1 = newAction("Showhint1", tr("&Show hint"));
    LomberkWebSite1 = newAction("LomberkWebSite1", tr("%1 &Web Site").arg(QString::fromLatin1(help::kMakerName)));
    Emailsupport1 = newAction("Emailsupport1", tr("&Email support"));
    about1 = newAction("about1", tr("&About"));
    Help1->addActions({help2, Helponline1, Showhint1, LomberkWebSite1, Emailsupport1, about1});
    createShortcuts();

    // The pop-up items run exactly the command of the tool button beside them.
    connect(ToolButton1, &QToolButton::clicked, this, &TForm1::ToolButton1Click);
    connect(AddFiles1, &QAction::triggered, this, &TForm1::ToolButton1Click);
    connect(AddFilesMenu1, &QAction::triggered, this, &TForm1::ToolButton1Click);
    connect(ToolButton5, &QToolButton::clicked, this, &TForm1::ToolButton5Click);
    connect(AddFilesfromfloder1, &QAction::triggered, this, &TForm1::ToolButton5Click);
    connect(AddFolderMenu1, &QAction::triggered, this, &TForm1::ToolButton5Click);
    connect(ToolButton2, &QToolButton::clicked, this, &TForm1::ToolButton2Click);
    connect(Remove1, &QAction::triggered, this, &TForm1::ToolButton2Click);
    connect(ToolButton3, &QToolButton::clicked, this, &TForm1::ToolButton3Click);
    connect(RemoveAll1, &QAction::triggered, this, &TForm1::ToolButton3Click);
    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, &TForm1::ListView1Change);
    connect(ToolButton9, &QToolButton::clicked, this, &TForm1::ToolButton9Click);
    connect(ToolButton10, &QToolButton::clicked, this, &TForm1::ToolButton10Click);
    connect(ToolButton12, &QToolButton::clicked, this, &TForm1::ToolButton12Click);
    connect(ListView3, &PropertyTable::clickedAt, this, &TForm1::ListView3Click);
    connect(ListView2, &PropertyTable::clickedAt, this, &TForm1::ListView2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TForm1::BitBtn3Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TForm1::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TForm1::BitBtn4Click);
    connect(BitBtn7, &QPushButton::clicked, this, &TForm1::BitBtn4Click);
    connect(Exit1, &QAction::triggered, this, &TForm1::Exit1Click);
    connect(help2, &QAction::triggered, this, &TForm1::help2Click);
    connect(Helponline1, &QAction::triggered, this, &TForm1::Helponline1Click);
    connect(Showhint1, &QAction::triggered, this, &TForm1::Showhint1Click);
    connect(LomberkWebSite1, &QAction::triggered, this, &TForm1::LomberkWebSite1Click);
    connect(Emailsupport1, &QAction::triggered, this, &TForm1::Emailsupport1Click);
    connect(about1, &QAction::triggered, this, &TForm1::about1Click);
    connect(BitBtn8, &QPushButton::clicked, this, &TForm1::BitBtn8Click);
    connect(ExportToCsv1, &QAction::triggered, this, &TForm1::BitBtn8Click);
    connect(ApplyValuesFromTable1, &QAction::triggered, this, &TForm1::ApplyValuesFromTable1Click);
    // Select All selects what the focused control holds: a field's text, a table's lines.
    connect(SelectAll1, &QAction::triggered, this, [] {
        if (QWidget* focus = QApplication::focusWidget()) QMetaObject::invokeMethod(focus, "selectAll");
    });
    connect(Filter1, &QAction::triggered, this, [this] {
        ListFilter->setFocus(Qt::ShortcutFocusReason);
        ListFilter->selectAll();
    });
    connect(BitBtn9, &QPushButton::clicked, this, &TForm1::BitBtn9Click);
    connectChangeCommands();
}

// The keyboard ways to the commands. The window holds the actions so that their shortcuts work
// wherever the focus is in it; "Remove" acts only on the file list, where Delete means the file.
void TForm1::createShortcuts()
{
    AddFilesMenu1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    AddFolderMenu1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    ExportToCsv1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    SelectAll1->setShortcut(QKeySequence::SelectAll);
    Filter1->setShortcut(QKeySequence::Find);
    Showhint1->setShortcut(QKeySequence(Qt::Key_F1));
    Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    addActions({AddFilesMenu1, AddFolderMenu1, ExportToCsv1, SelectAll1, Filter1, Showhint1, Exit1});
    Remove1->setShortcut(QKeySequence(Qt::Key_Delete));
    Remove1->setShortcutContext(Qt::WidgetShortcut);
    ListView1->addAction(Remove1);
    // F10 opens the first menu, from which the arrow keys reach every other.
    auto* toMenuBar = new QAction(this);
    toMenuBar->setObjectName(QStringLiteral("MenuBarShortcut"));
    toMenuBar->setShortcut(QKeySequence(Qt::Key_F10));
    connect(toMenuBar, &QAction::triggered, this, [this] { menuBar()->setActiveAction(File1->menuAction()); });
    addAction(toMenuBar);
    connect(ListView3, &PropertyTable::editRequested, this, [this](int row) {
        if (!ListView1->selectedItems().isEmpty()) rowEditors_->ShowRowEditor(ListView3, row);
    });
    connect(ListView2, &PropertyTable::editRequested, this,
            [this](int row) { rowEditors_->ShowRowEditor(ListView2, row); });
}

void TForm1::createStatusBar()
{
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setSizeGripEnabled(false);
    StatusBar1Panel = new QLabel(tr("Document properties of .ppt and .pptx files"), statusBar());
    StatusBar1Panel->setObjectName(QStringLiteral("StatusBar1Panel"));
    StatusBar1Panel->setMinimumWidth(300);  // wider when the font needs it
    statusBar()->addWidget(StatusBar1Panel);
    statusBar()->addPermanentWidget(FileCount);
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) showSelectedLineFailure();
}

void TForm1::showSelectedLineFailure()
{
    if (!isVisible()) return;  // showEvent shows it
    const int line = selectedLine(*ListView1);
    const QString reason = line < 0 ? QString() : lineFailure(*ListView1, line);
    if (reason.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(reason);
}

void TForm1::showRunOutcome(int doneCount, int failedCount, const QString& done)
{
    const QString files = doneCount == 1 ? tr("file") : tr("files");
    statusBar()->showMessage(tr("%1 %2 %3, %4 failed").arg(doneCount).arg(files, done).arg(failedCount));
}

void TForm1::centreOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    move(available.center() - rect().center());
}

void TForm1::CloseRowEditors()
{
    rowEditors_->CloseRowEditors();
}

// The commands below begin by committing any open row editor, because none of their controls
// takes the focus away from it. The file list's commands are in file_list.cpp, the display of
// the selected file in property_display.cpp.

void TForm1::help2Click()
{
    CloseRowEditors();
    // Without a help file installed beside the program, its own help shows instead of nothing.
    const QUrl helpFile = help::helpFileUrl();
    if (QFileInfo::exists(helpFile.toLocalFile()))
        help::openWithDefaultProgram(helpFile.toString());
    else
        Form4->exec();
}

void TForm1::Helponline1Click()
{
    CloseRowEditors();
    help::openWithDefaultProgram(QString::fromLatin1(help::kOnlineHelpPage));
}

void TForm1::Showhint1Click()
{
    CloseRowEditors();
    Form4->exec();
}

void TForm1::LomberkWebSite1Click()
{
    CloseRowEditors();
    help::openWithDefaultProgram(QString::fromLatin1(help::kMakerWebSite));
}

void TForm1::Emailsupport1Click()
{
    CloseRowEditors();
    help::openWithDefaultProgram(help::supportMailLink(QString::fromLatin1(kApplicationTitle)));
}

void TForm1::about1Click()
{
    CloseRowEditors();
    Form5->exec();
}

// "Show Hint" takes the focus, which commits an open row editor by itself.
void TForm1::BitBtn3Click() { Form4->exec(); }

void TForm1::ListView3Click(QPoint viewportPos)
{
    // The single-change table is edited only while it shows a selected file.
    if (ListView1->selectedItems().isEmpty() || ListView3->selectedRow() < 0) return;
    rowEditors_->openAt(ListView3, viewportPos);
}

void TForm1::ListView2Click(QPoint viewportPos)
{
    rowEditors_->openAt(ListView2, viewportPos);
}

void TForm1::BitBtn4Click() { close(); }
void TForm1::Exit1Click() { close(); }

}  // namespace quorvane::app
