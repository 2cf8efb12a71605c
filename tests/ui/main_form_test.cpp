// SPDX-License-Identifier: Apache-2.0
// The main window as it starts: caption, page in front, size, the captions of its controls in one
// table, their starting states, the two property tables and the width rule of their "Value"
// column, the menus, the status bar and the commands that open a window or a link.
#include <QAbstractButton>
#include <QAction>
#include <QKeySequence>
#include <QFile>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QCheckBox>
#include <QDateEdit>
#include <QTimeEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>

#include "app/csv_file_dialog.h"
#include "app/date_time_pickers.h"
#include "app/row_editors.h"
#include "app/up_down.h"
#include "help/shell_links.h"
#include "props/catalogue.h"
#include "convert/display_text.h"
#include "ui_test_support.h"

using namespace quorvane::app;

namespace {

// A caption as shown: a mnemonic's "&" is underlining, not text.
QString shownText(QString text)
{
    static const QRegularExpression mnemonic(QStringLiteral("&(.)"));
    return text.replace(mnemonic, QStringLiteral("\\1"));
}

// The caption a control shows, whatever kind of control it is.
QString captionOf(const QObject* control)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) return shownText(button->text());
    if (const auto* action = qobject_cast<const QAction*>(control)) return shownText(action->text());
    if (const auto* menu = qobject_cast<const QMenu*>(control)) return shownText(menu->title());
    if (const auto* group = qobject_cast<const QGroupBox*>(control)) return group->title();
    if (const auto* list = qobject_cast<const QTreeWidget*>(control)) {
        QStringList headers;
        for (int column = 0; column < list->columnCount(); ++column)
            if (!list->isColumnHidden(column)) headers.append(list->headerItem()->text(column));
        return headers.join(u'|');
    }
    return QStringLiteral("<no caption>");
}

bool isEnabled(const QObject* control)
{
    if (const auto* widget = qobject_cast<const QWidget*>(control)) return widget->isEnabled();
    return qobject_cast<const QAction*>(control)->isEnabled();
}

template <typename Object>
QStringList objectNames(const QList<Object*>& objects)
{
    QStringList names;
    for (const QObject* object : objects) names.append(object->objectName());
    return names;
}

QString catalogueLabel(int row)
{
    const std::string_view label = quorvane::props::catalogueRow(row).label;
    return QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size()));
}

}  // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        form_ = testing::openMainWindow();
        QVERIFY(form_);
    }
    void cleanup() { form_.reset(); }

    void startsCaptionedWithSingleChangeInFront()
    {
        QCOMPARE(form_->windowTitle(), QStringLiteral("Quorvane"));
        QCOMPARE(form_->PageControl1->count(), 3);
        QCOMPARE(form_->PageControl1->currentWidget()->objectName(), QStringLiteral("TabSheet2"));
        QCOMPARE(form_->PageControl1->tabText(0), QStringLiteral("Single Change"));
        QCOMPARE(form_->PageControl1->widget(1)->objectName(), QStringLiteral("TabSheet1"));
        QCOMPARE(form_->PageControl1->tabText(1), QStringLiteral("Batch Change"));
        QCOMPARE(form_->PageControl1->widget(2)->objectName(), QStringLiteral("CustomPage"));
        QCOMPARE(form_->PageControl1->tabText(2), QStringLiteral("Custom Properties"));
    }

    void opensAt817By614Centred()
    {
        // The design size, or larger where the desktop's font needs more room.
        QVERIFY2(form_->width() >= 817 && form_->height() >= 614, qPrintable(QStringLiteral("%1 x %2").arg(form_->width()).arg(form_->height())));
        const QPoint screenCentre = form_->screen()->availableGeometry().center();
        const QPoint windowCentre = form_->frameGeometry().center();
        QVERIFY2(std::abs(screenCentre.x() - windowCentre.x()) <= 3 && std::abs(screenCentre.y() - windowCentre.y()) <= 3,
                 qPrintable(QStringLiteral("window centre %1,%2").arg(windowCentre.x()).arg(windowCentre.y())));
    }

    void controlsCarryTheirCaptions_data()
    {
        QTest::addColumn<QString>("caption");
        const QList<std::pair<const char*, const char*>> captions = {
            {"ToolButton1", "Add Files"}, {"ToolButton5", "Add files from folder"},
            {"ToolButton2", "Remove"}, {"ToolButton3", "Remove All"},
            {"AddFiles1", "Add Files"}, {"AddFilesfromfloder1", "Add Files from floder"},
            {"Remove1", "Remove"}, {"RemoveAll1", "Remove All"},
            {"GroupBox3", "File Date Time"}, {"GroupBox1", "File Attribute"},
            {"CheckBox16", "Read-only"}, {"CheckBox17", "Archive"}, {"CheckBox18", "Hidden"}, {"CheckBox23", "System"},
            {"CheckBox5", "Backup original files in the same folder before making change"},
            {"BitBtn6", "Make Change"}, {"BitBtn9", "Export to CSV"}, {"BitBtn5", "Show Hint"}, {"BitBtn7", "Close"},
            {"ToolButton9", "Save as default"}, {"ToolButton10", "Load from default"},
            {"ToolButton12", "Load from selected file"},
            {"GroupBox5", "File Date Time"}, {"GroupBox2", "File Attribute"},
            {"CheckBox1", "Read-only"}, {"CheckBox2", "Archive"}, {"CheckBox3", "Hidden"}, {"CheckBox8", "System"},
            {"CheckBox4", "Backup original files in the same folder before making change"},
            {"BitBtn2", "Make Change"}, {"BitBtn8", "Export to CSV"}, {"BitBtn3", "Show Hint"}, {"BitBtn4", "Close"},
            {"CheckBox6", "Blank"}, {"CheckBox15", "Blank"},
            {"File1", "File"}, {"Exit1", "Close"}, {"Help1", "Help"}, {"help2", "Help"},
            {"Helponline1", "Help online"}, {"Showhint1", "Show hint"}, {"Emailsupport1", "Email support"},
            {"LomberkWebSite1", "Lomberk Software Web Site"},
            {"about1", "About"},
            {"ListView1", "File Name"}, {"ListView3", "Summary Information|Value"},
            {"ListView2", "Summary Information|Value"}};
        for (const auto& [name, caption] : captions) QTest::newRow(name) << QString::fromLatin1(caption);
    }
    void controlsCarryTheirCaptions()
    {
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        const QObject* control = form_->findChild<QObject*>(name);
        QVERIFY2(control, qPrintable(name + QStringLiteral(" is missing")));
        QFETCH(QString, caption);
        QCOMPARE(captionOf(control), caption);
    }

    void startingEnabledStates_data()
    {
        QTest::addColumn<bool>("enabled");
        for (const char* name : {"ToolButton2", "ToolButton3", "Remove1", "RemoveAll1", "BitBtn6", "BitBtn9",
                                 "BitBtn2", "BitBtn8", "ToolButton12"})
            QTest::newRow(name) << false;
        for (const char* name : {"ToolButton1", "ToolButton5", "AddFiles1", "AddFilesfromfloder1", "BitBtn5",
                                 "BitBtn7", "BitBtn3", "BitBtn4", "ToolButton9", "ToolButton10", "ListView3",
                                 "ListView2", "GroupBox3", "GroupBox1", "GroupBox5", "GroupBox2"})
            QTest::newRow(name) << true;
    }
    void startingEnabledStates()
    {
        const QObject* control = form_->findChild<QObject*>(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(control);
        QFETCH(bool, enabled);
        QCOMPARE(isEnabled(control), enabled);
    }

    void startingCheckStates_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("threeState");
        for (const char* name : {"CheckBox16", "CheckBox17", "CheckBox18", "CheckBox23", "CheckBox1", "CheckBox2",
                                 "CheckBox3", "CheckBox8"})
            QTest::newRow(name) << int(Qt::PartiallyChecked) << true;
        for (const char* name : {"CheckBox5", "CheckBox9", "CheckBox10", "CheckBox11", "CheckBox12",
                                 "CheckBox13", "CheckBox14"})
            QTest::newRow(name) << int(Qt::Checked) << false;
        // The batch backup option starts as the saved defaults say; with none saved, unchecked.
        QTest::newRow("CheckBox4") << int(Qt::Unchecked) << false;
    }
    void startingCheckStates()
    {
        const auto* box = form_->findChild<QCheckBox*>(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(box);
        QFETCH(int, state);
        QFETCH(bool, threeState);
        QCOMPARE(int(box->checkState()), state);
        QCOMPARE(box->isTristate(), threeState);
    }

    // Every date and time picker pair shows a value as the property tables write it: the
    // locale's date and its time with seconds, 12-hour where the locale says so.
    void pickersShowDatesAndTimesAsTheTablesDo()
    {
        const testing::TimeLocale us("en_US.UTF-8");
        if (!us.ok()) QSKIP("the system has no en_US.UTF-8 locale");
        TForm1 form;
        const auto value = quorvane::convert::encodeDateTime({2009, 1, 2, 13, 45, 7, 0});
        const QString shown = QString::fromStdString(quorvane::convert::DateTimeToDisplayText(*value));
        for (const auto& [date, time] : {std::pair{"DateTimePicker9", "DateTimePicker10"}, {"DateTimePicker11", "DateTimePicker12"},
                                         {"DateTimePicker13", "DateTimePicker14"}, {"DateTimePicker1", "DateTimePicker2"},
                                         {"DateTimePicker3", "DateTimePicker4"}, {"DateTimePicker5", "DateTimePicker6"},
                                         {"DateTimePicker7", "DateTimePicker8"}}) {
            auto* datePicker = form.findChild<QDateEdit*>(QString::fromLatin1(date));
            auto* timePicker = form.findChild<QTimeEdit*>(QString::fromLatin1(time));
            QVERIFY2(datePicker && timePicker, date);
            showInPickers(*value, datePicker, timePicker);
            QCOMPARE(datePicker->text() + u' ' + timePicker->text(), shown);
        }
        // Typed as shown, a 12-hour time is the one typed.
        auto* timePicker = form.findChild<QTimeEdit*>(QStringLiteral("DateTimePicker10"));
        focusFirstField(timePicker);
        QTest::keyClicks(timePicker, QStringLiteral("09:05:00 AM"));
        QCOMPARE(timePicker->time(), QTime(9, 5, 0));
        QTest::keyClick(timePicker, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(timePicker, QStringLiteral("11:07:09 P"));
        QCOMPARE(timePicker->time(), QTime(23, 7, 9));
    }

    // A reason found before the window shows (the file named at start-up is unreadable) shows
    // once the window is visible, in place of the status text, not over it.
    void reasonFoundAtStartShowsInPlaceOfTheStatusText()
    {
        QTemporaryDir folder;
        const QString damaged = folder.filePath(QStringLiteral("damaged.pptx"));
        QFile file(damaged);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("PK damaged") > 0);
        file.close();
        TForm1 form;
        addCommandLinePaths(form, {QFile::encodeName(damaged).toStdString()});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(!form.statusBar()->currentMessage().isEmpty());
        QVERIFY(!form.StatusBar1Panel->isVisible());
    }

    void rowEditorsAreHiddenAtStartInTheBatchTable()
    {
        const RowEditors* editors = form_->rowEditors();
        for (const QWidget* editor : {static_cast<QWidget*>(editors->Edit1), static_cast<QWidget*>(editors->Panel5),
                                      static_cast<QWidget*>(editors->Panel3)}) {
            QVERIFY2(editor->isHidden(), qPrintable(editor->objectName()));
            QCOMPARE(editor->parentWidget(), form_->ListView2->viewport());
        }
        QCOMPARE(editors->Edit3->text(), QStringLiteral("0"));
        QCOMPARE(editors->UpDown1->minimum(), 0);
        QCOMPARE(editors->UpDown1->maximum(), 32767);
    }

    void bothTablesHoldTheFourteenRowsInCatalogueOrder()
    {
        for (const PropertyTable* table : {form_->ListView3, form_->ListView2}) {
            QCOMPARE(table->topLevelItemCount(), quorvane::props::kRowCount);
            for (int row = 0; row < quorvane::props::kRowCount; ++row) {
                const QTreeWidgetItem* item = table->topLevelItem(row);
                QCOMPARE(item->text(0), catalogueLabel(row));
                // With no saved defaults the batch table's two date rows start at the current time.
                const bool startsWithNow = table == form_->ListView2 && (row == 10 || row == 11);
                QCOMPARE(item->text(1).isEmpty(), !startsWithNow);
                QVERIFY(!(item->flags() & Qt::ItemIsEditable));
                const bool hasCheckBox = table == form_->ListView2;
                QCOMPARE(bool(item->flags() & Qt::ItemIsUserCheckable), hasCheckBox);
                QCOMPARE(item->data(0, Qt::CheckStateRole).isValid(), hasCheckBox);
            }
        }
    }

    void valueColumnFollowsTableWidth_data()
    {
        QTest::addColumn<int>("tableWidth");
        QTest::addColumn<int>("valueWidth");
        QTest::newRow("250") << 250 << 100;
        QTest::newRow("300") << 300 << 100;
        QTest::newRow("301") << 301 << 121;
        QTest::newRow("400") << 400 << 220;
        QTest::newRow("640") << 640 << 460;
    }
    void valueColumnFollowsTableWidth()
    {
        QFETCH(int, tableWidth);
        QFETCH(int, valueWidth);
        PropertyTable table(QStringLiteral("table"), false, nullptr);
        table.resize(500, 300);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        table.resize(tableWidth, 300);
        QTRY_COMPARE(table.width(), tableWidth);
        QCOMPARE(table.header()->sectionSize(1), valueWidth);
        QCOMPARE(table.header()->sectionSize(0), 160);
    }

    void valueColumnOfTheWindowsTablesFollowsTheRule()
    {
        for (PropertyTable* table : {form_->ListView3, form_->ListView2}) {
            form_->PageControl1->setCurrentWidget(table->parentWidget());
            QVERIFY(table->width() > 300);
            QCOMPARE(table->header()->sectionSize(1), table->width() - 180);
        }
    }

    void menusAndToolBarHoldTheirItemsInOrder()
    {
        QCOMPARE(form_->menuBar()->objectName(), QStringLiteral("MainMenu1"));
        const QList<QAction*> menus = form_->menuBar()->actions();
        QCOMPARE(menus.size(), 4);
        QCOMPARE(menus[0]->menu(), form_->File1);
        QCOMPARE(menus[1]->menu(), form_->Edit1);
        QCOMPARE(menus[2]->menu(), form_->View1);
        QCOMPARE(menus[3]->menu(), form_->Help1);
        QCOMPARE(objectNames(form_->File1->actions()), (QStringList{"AddFilesMenu1", "AddFolderMenu1", "ApplyValuesFromTable1",
                                                                    "ExportToCsv1", "", "RemovePersonalInformation1", "", "Exit1"}));
        QCOMPARE(objectNames(form_->Edit1->actions()), (QStringList{"SelectAll1", "", "Remove1", "RemoveAll1"}));
        QCOMPARE(objectNames(form_->View1->actions()), (QStringList{"", "", "Filter1"}));
        QCOMPARE(form_->View1->actions()[0]->menu()->objectName(), QStringLiteral("ColumnsMenu"));
        QCOMPARE(objectNames(form_->Help1->actions()),
                 (QStringList{"help2", "Helponline1", "Showhint1", "LomberkWebSite1", "Emailsupport1", "about1"}));
        QCOMPARE(objectNames(form_->PopupMenu1->actions()),
                 (QStringList{"AddFiles1", "AddFilesfromfloder1", "Remove1", "RemoveAll1"}));
        QStringList toolButtons;
        for (QAction* action : form_->ToolBar2->actions())
            toolButtons.append(form_->ToolBar2->widgetForAction(action)->objectName());
        QCOMPARE(toolButtons, (QStringList{"ToolButton1", "ToolButton5", "ToolButton2", "ToolButton3"}));
        QCOMPARE(form_->ToolButton1->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
        for (const QToolButton* button : {form_->ToolButton1, form_->ToolButton5, form_->ToolButton2,
                                          form_->ToolButton3, form_->ToolButton9, form_->ToolButton10,
                                          form_->ToolButton12})
            QVERIFY2(!button->icon().pixmap(16, 16).isNull(), qPrintable(button->objectName()));
    }

    void toolBarShowsEveryButtonWithoutOverflow()
    {
        for (const QToolButton* button : {form_->ToolButton1, form_->ToolButton5, form_->ToolButton2,
                                          form_->ToolButton3}) {
            QVERIFY2(button->isVisible(), qPrintable(button->objectName()));
            QVERIFY2(button->mapTo(form_->ToolBar2, QPoint(button->width(), 0)).x() <= form_->ToolBar2->width(),
                     qPrintable(button->objectName()));
        }
    }

    // Its one text panel, and the count of the listed files at the right.
    void statusBarShowsItsTextInOnePanel()
    {
        QCOMPARE(form_->statusBar()->objectName(), QStringLiteral("StatusBar1"));
        const QList<QLabel*> panels = form_->statusBar()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
        QCOMPARE(objectNames(panels), (QStringList{"StatusBar1Panel", "FileCount"}));
        QVERIFY(!panels[0]->text().isEmpty());
        QCOMPARE(panels[1]->text(), QStringLiteral("Files: 0 / 0"));
    }

    void helpCommandsOpenTheirWindowOrLink_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("link");
        // No help file beside the test program: the program's own help shows.
        QTest::newRow("help2") << QStringLiteral("Help Hints") << QString();
        QTest::newRow("Helponline1") << QString() << QStringLiteral("https://www.lomberk.example/quorvane/help/");
        QTest::newRow("LomberkWebSite1") << QString() << QStringLiteral("https://www.lomberk.example/");
        QTest::newRow("Emailsupport1") << QString() << QStringLiteral("mailto:support@lomberk.example?subject=Quorvane");
        QTest::newRow("Showhint1") << QStringLiteral("Help Hints") << QString();
        QTest::newRow("BitBtn5") << QStringLiteral("Help Hints") << QString();
        QTest::newRow("BitBtn3") << QStringLiteral("Help Hints") << QString();
        QTest::newRow("about1") << QStringLiteral("About") << QString();
    }
    void helpCommandsOpenTheirWindowOrLink()
    {
        QFETCH(QString, window);
        QFETCH(QString, link);
        QStringList opened;
        quorvane::help::setLinkOpener([&opened](const QString& target) { opened.append(target); });
        QString shownWindow;
        testing::closeNextModalWindow(&shownWindow);
        const QString control = QString::fromLatin1(QTest::currentDataTag());
        QVERIFY(testing::runCommand(form_.get(), control));
        quorvane::help::setLinkOpener({});
        QCOMPARE(shownWindow, window);
        QCOMPARE(opened, link.isEmpty() ? QStringList() : QStringList{link});
    }

    // Keys as the user presses them on the window: shortcuts, and the menus' mnemonics after
    // Alt+H or F10. Each row ends with what the command shows: a line added or removed, the
    // hints or About window, or the export's save dialog.
    void keysRunTheirCommands_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("shown");
        QTest::newRow("Ctrl+O adds files") << QKeySequence(Qt::CTRL | Qt::Key_O) << 2 << QString();
        QTest::newRow("Ctrl+Shift+O adds a folder") << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O) << 2 << QString();
        QTest::newRow("Delete removes the line") << QKeySequence(Qt::Key_Delete) << 0 << QString();
        QTest::newRow("F1 shows hints") << QKeySequence(Qt::Key_F1) << 1 << QStringLiteral("Help Hints");
        QTest::newRow("Alt+H S shows hints") << QKeySequence(Qt::ALT | Qt::Key_H, QKeyCombination(Qt::Key_S)) << 1 << QStringLiteral("Help Hints");
        QTest::newRow("F10 Left A shows About") << QKeySequence(QKeyCombination(Qt::Key_F10), QKeyCombination(Qt::Key_Left), QKeyCombination(Qt::Key_A)) << 1 << QStringLiteral("About");
        QTest::newRow("Ctrl+E exports") << QKeySequence(Qt::CTRL | Qt::Key_E) << 1 << QString();
        QTest::newRow("Alt+F A adds files") << QKeySequence(Qt::ALT | Qt::Key_F, QKeyCombination(Qt::Key_A)) << 2 << QString();
        QTest::newRow("Alt+F F adds a folder") << QKeySequence(Qt::ALT | Qt::Key_F, QKeyCombination(Qt::Key_F)) << 2 << QString();
        QTest::newRow("Alt+F E exports") << QKeySequence(Qt::ALT | Qt::Key_F, QKeyCombination(Qt::Key_E)) << 1 << QString();
        QTest::newRow("Alt+E R removes the line") << QKeySequence(Qt::ALT | Qt::Key_E, QKeyCombination(Qt::Key_R)) << 0 << QString();
        QTest::newRow("Alt+E L removes all") << QKeySequence(Qt::ALT | Qt::Key_E, QKeyCombination(Qt::Key_L)) << 0 << QString();
    }
    void keysRunTheirCommands()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(int, lines);
        QFETCH(QString, shown);
        QTemporaryDir chosen, folder;
        const auto newFile = [](const QTemporaryDir& dir, const char* name) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            return file.open(QIODevice::WriteOnly) ? QFile::encodeName(file.fileName()).toStdString() : std::string();
        };
        testing::DialogAnswers answers;
        answers.files = {newFile(chosen, "a.ppt")};
        answers.folder = QFile::encodeName(folder.path()).toStdString();
        newFile(folder, "in-folder.ppt");
        form_->ToolButton1->click();
        QCOMPARE(form_->ListView1->topLevelItemCount(), 1);
        form_->ListView1->setCurrentItem(form_->ListView1->topLevelItem(0));
        answers.files = {newFile(chosen, "b.ppt")};
        form_->ListView1->setFocus();
        QString shownWindow;
        testing::closeNextModalWindow(&shownWindow);
        int csvDialogs = 0;
        const CsvFileChooser previous = setCsvFileChooser([&csvDialogs] { ++csvDialogs; return QString(); });
        for (int index = 0; index < keys.count(); ++index) {
            QWidget* target = QApplication::activePopupWidget() ? QApplication::activePopupWidget() : QApplication::focusWidget();
            QTest::keyClick(target, Qt::Key(keys[index].key()), keys[index].keyboardModifiers());
        }
        QTRY_COMPARE(shownWindow, shown);
        setCsvFileChooser(previous);
        QCOMPARE(form_->ListView1->topLevelItemCount(), lines);
        QCOMPARE(csvDialogs, QString::fromLatin1(QTest::currentDataTag()).endsWith(QStringLiteral("exports")) ? 1 : 0);
    }

    // Ctrl+F takes the focus to the filter box with its text selected; Ctrl+A selects the text of
    // the field that has the focus, also from the menu.
    void filterAndSelectAllKeysReachTheFilterBox()
    {
        form_->ListFilter->setText(QStringLiteral("deck"));
        form_->ListFilter->deselect();
        form_->ListView1->setFocus();
        QTest::keyClick(form_->ListView1, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), form_->ListFilter);
        QCOMPARE(form_->ListFilter->selectedText(), QStringLiteral("deck"));
        form_->ListFilter->deselect();
        form_->SelectAll1->trigger();
        QCOMPARE(form_->ListFilter->selectedText(), QStringLiteral("deck"));
    }

    void closeCommandsCloseTheWindow_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("BitBtn7") << QStringLiteral("BitBtn7");
        QTest::newRow("BitBtn4") << QStringLiteral("BitBtn4");
        QTest::newRow("Exit1") << QStringLiteral("Exit1");
    }
    void closeCommandsCloseTheWindow()
    {
        QFETCH(QString, control);
        QVERIFY(testing::runCommand(form_.get(), control));
        QVERIFY(!form_->isVisible());
    }

private:
    std::unique_ptr<TForm1> form_;
};

QUORVANE_UI_TEST_MAIN(MainFormTest)
#include "main_form_test.moc"
