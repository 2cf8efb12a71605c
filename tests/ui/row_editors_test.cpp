// SPDX-License-Identifier: Apache-2.0
// The in-place row editors: which editor opens where, the values they open with, and every way
// they commit (focus loss, Enter, scrolling, CloseRowEditors before a command) or discard (Escape).
#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSpontaneKeyEvent>
#include <QTabWidget>
#include <QTimeEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QWheelEvent>

#include "app/date_time_pickers.h"
#include "app/row_editors.h"
#include "app/up_down.h"
#include "help/shell_links.h"
#include "convert/display_text.h"
#include "ui_test_support.h"

using namespace quorvane::app;
using namespace quorvane::app::testing;

namespace {

enum class Editor { None, Text, MultiLine, Number, Date };

QString displayText(int year, int month, int day, int hour, int minute, int second)
{
    const auto value = quorvane::convert::encodeDateTime({year, month, day, hour, minute, second, 0});
    return QString::fromStdString(quorvane::convert::DateTimeToDisplayText(*value));
}

}  // namespace

Q_DECLARE_METATYPE(Editor)

class RowEditorsTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        form_ = openMainWindow();
        QVERIFY(form_);
        editors_ = form_->rowEditors();
    }
    void cleanup() { form_.reset(); }

    void eachRowOpensItsEditorOverTheValueCell_data()
    {
        QTest::addColumn<bool>("batchTable");
        QTest::addColumn<int>("row");
        QTest::addColumn<Editor>("editor");
        for (const bool batch : {true, false}) {
            for (int row = 0; row < 14; ++row) {
                const Editor editor = (row == 6 || row == 12)                 ? Editor::Number
                                      : (row == 10 || row == 11 || row == 13) ? Editor::Date
                                      : row == 4                              ? Editor::MultiLine
                                                                              : Editor::Text;
                QTest::addRow("%s row %d", batch ? "ListView2" : "ListView3", row) << batch << row << editor;
            }
        }
    }
    void eachRowOpensItsEditorOverTheValueCell()
    {
        QFETCH(bool, batchTable);
        QFETCH(int, row);
        QFETCH(Editor, editor);
        PropertyTable* table = batchTable ? showBatchTable() : showSingleChangeTable();
        clickAt(table, valueCellCentre(table, row));

        QCOMPARE(openEditor(), editor);
        QCOMPARE(table->selectedRow(), row);
        QWidget* opened = editorWidget(editor);
        QCOMPARE(opened->parentWidget(), table->viewport());
        const QRect cell = table->valueCellRect(row);
        QCOMPARE(opened->y(), cell.top());
        QCOMPARE(opened->x(), cell.left() + (editor == Editor::Text || editor == Editor::MultiLine ? 3 : 2));
        if (editor == Editor::Text) {
            QCOMPARE(opened->size(), QSize(cell.width() - 4, cell.height()));
        } else if (editor == Editor::MultiLine) {
            QCOMPARE(opened->width(), cell.width() - 4);
            QVERIFY(opened->height() >= 3 * cell.height());
        } else {
            QCOMPARE(opened->height(), 21);
            QVERIFY2(opened->x() + opened->width() <= table->viewport()->width(), "editor runs past the table");
        }
        QVERIFY(opened->isAncestorOf(QApplication::focusWidget()) || opened == QApplication::focusWidget());
    }

    void clickOnLabelSelectsRowButOpensNoEditor_data()
    {
        QTest::addColumn<int>("row");
        QTest::newRow("text row") << 0;
        QTest::newRow("number row") << 6;
        QTest::newRow("date row") << 10;
    }
    void clickOnLabelSelectsRowButOpensNoEditor()
    {
        QFETCH(int, row);
        for (PropertyTable* table : {showBatchTable(), showSingleChangeTable()}) {
            clickAt(table, labelCellCentre(table, row));
            QCOMPARE(table->selectedRow(), row);
            QCOMPARE(openEditor(), Editor::None);
        }
    }

    void singleChangeTableOpensNothingWithoutASelectedFile()
    {
        PropertyTable* table = showSingleChangeTable();
        form_->ListView1->clearSelection();
        clickAt(table, valueCellCentre(table, 0));
        QCOMPARE(openEditor(), Editor::None);
    }

    void textEditorCommitsAsTypedOnEnterAndOnFocusLoss()
    {
        PropertyTable* table = showBatchTable();
        openOn(table, 1, QStringLiteral("old"));
        QCOMPARE(editors_->Edit1->text(), QStringLiteral("old"));
        editors_->Edit1->setText(QStringLiteral("  new value  "));
        QTest::keyClick(editors_->Edit1, Qt::Key_Return);
        QCOMPARE(table->rowValue(1), QStringLiteral("  new value  "));
        QVERIFY(editors_->Edit1->isHidden());
        QVERIFY(table->hasFocus());

        openOn(table, 2, QString());
        QTest::keyClicks(editors_->Edit1, QStringLiteral("typed"));
        form_->CheckBox4->setFocus();
        QCOMPARE(table->rowValue(2), QStringLiteral("typed"));
        QVERIFY(editors_->Edit1->isHidden());
        QCOMPARE(table->rowValue(1), QStringLiteral("  new value  "));
    }

    void switchingPagesCommitsTheOpenEditor()
    {
        PropertyTable* table = showBatchTable();
        openOn(table, 5, QString());
        editors_->Edit1->setText(QStringLiteral("made on the batch page"));
        form_->PageControl1->setCurrentWidget(form_->TabSheet2);
        QCOMPARE(table->rowValue(5), QStringLiteral("made on the batch page"));
        QVERIFY(editors_->Edit1->isHidden());
        form_->PageControl1->setCurrentWidget(form_->TabSheet1);
        QCOMPARE(openEditor(), Editor::None);
    }

    // Escape closes every editor and leaves the row as it was; the keys that follow go to the
    // table (Down moves to the next row, Enter opens its editor) and write nothing.
    void escapeDiscardsTheEdit_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("kept");
        QTest::newRow("text") << 3 << "kept";
        QTest::newRow("multi-line") << 4 << "first\nsecond";
        QTest::newRow("revision number") << 6 << "5";
        QTest::newRow("total editing time") << 12 << "90";
    }
    void escapeDiscardsTheEdit()
    {
        QFETCH(int, row);
        QFETCH(QString, kept);
        PropertyTable* table = showBatchTable();
        openOn(table, row, kept);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("7"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCOMPARE(openEditor(), Editor::None);
        QVERIFY(table->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        form_->CloseRowEditors();
        QCOMPARE(table->rowValue(row), kept);
    }

    // Comments, a value with line breaks, and any text row after Shift+Enter are edited over
    // several lines: Shift+Enter breaks the line, Enter commits.
    void multiLineEditorBreaksLinesOnShiftEnter_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("committed");
        QTest::newRow("comments") << 4 << "first" << "first\nsecond";
        QTest::newRow("title with a line break") << 0 << "one\ntwo" << "one\ntwo\nsecond";
        QTest::newRow("title, asked for") << 0 << "first" << "first\nsecond";
    }
    void multiLineEditorBreaksLinesOnShiftEnter()
    {
        QFETCH(int, row);
        QFETCH(QString, value);
        QFETCH(QString, committed);
        PropertyTable* table = showBatchTable();
        openOn(table, row, value);
        QWidget* editor = QApplication::focusWidget();
        QCOMPARE(editor == editors_->MultiLineEdit, row == 4 || value.contains(u'\n'));
        QTest::keyClick(editor, Qt::Key_End);
        QTest::keyClick(editor, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), editors_->MultiLineEdit);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("second"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(table->rowValue(row), committed);
        QCOMPARE(openEditor(), Editor::None);
        QVERIFY(editors_->MultiLineEdit->isHidden());
    }

    void numberEditorOpensAndCommits_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("blank");
        QTest::addColumn<QString>("committed");
        QTest::newRow("letters") << "abc" << "1" << false << "1";
        QTest::newRow("empty") << "" << "1" << true << "";
        QTest::newRow("blanks only") << "   " << "1" << true << "";
        QTest::newRow("number") << "42" << "42" << false << "42";
        QTest::newRow("zero") << "0" << "0" << false << "0";
        QTest::newRow("past the up-down range") << "50000" << "50000" << false << "50000";
    }
    void numberEditorOpensAndCommits()
    {
        QFETCH(QString, value);
        QFETCH(QString, shown);
        QFETCH(bool, blank);
        QFETCH(QString, committed);
        PropertyTable* table = showBatchTable();
        for (const int row : {6, 12}) {
            openOn(table, row, value);
            QCOMPARE(editors_->Edit3->text(), shown);
            QVERIFY(!editors_->CheckBox6->isHidden());
            QCOMPARE(editors_->CheckBox6->isChecked(), blank);
            form_->CheckBox4->setFocus();
            QCOMPARE(table->rowValue(row), committed);
            QVERIFY(editors_->Panel5->isHidden());
        }
    }

    void numberEditorBlankEmptiesTheRowWhateverTheNumber()
    {
        PropertyTable* table = showBatchTable();
        openOn(table, 6, QStringLiteral("7"));
        editors_->CheckBox6->setChecked(true);
        QTest::keyClick(editors_->Edit3, Qt::Key_Return);
        QCOMPARE(table->rowValue(6), QString());
        QVERIFY(editors_->Panel5->isHidden());
    }

    void numberBoxTakesOnlyDigits()
    {
        PropertyTable* table = showBatchTable();
        openOn(table, 12, QStringLiteral("5"));
        editors_->Edit3->clear();
        QTest::keyClicks(editors_->Edit3, QStringLiteral("1a-2 x3"));
        QCOMPARE(editors_->Edit3->text(), QStringLiteral("123"));
        QTest::keyClick(editors_->Edit3, Qt::Key_Backspace);
        QCOMPARE(editors_->Edit3->text(), QStringLiteral("12"));

        // Leaving the box empty for the "Blank" box beside it puts 1 back; the editor stays open.
        editors_->Edit3->clear();
        editors_->CheckBox6->setFocus();
        QCOMPARE(editors_->Edit3->text(), QStringLiteral("1"));
        QVERIFY(editors_->Panel5->isVisible());
    }

    void upDownStepsWithinItsRange_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("after");
        QTest::newRow("up") << "41" << int(Qt::Key_Up) << "42";
        QTest::newRow("down") << "41" << int(Qt::Key_Down) << "40";
        QTest::newRow("down at 0") << "0" << int(Qt::Key_Down) << "0";
        QTest::newRow("up at 32767") << "32767" << int(Qt::Key_Up) << "32767";
        QTest::newRow("down from past the range") << "50000" << int(Qt::Key_Down) << "32766";
    }
    void upDownStepsWithinItsRange()
    {
        QFETCH(QString, start);
        QFETCH(int, key);
        QFETCH(QString, after);
        PropertyTable* table = showBatchTable();
        openOn(table, 6, start);
        QTest::keyClick(editors_->Edit3, Qt::Key(key));
        QCOMPARE(editors_->Edit3->text(), after);
    }

    void dateEditorOpensOnTheRowValueAndCommitsItBack_data()
    {
        QTest::addColumn<int>("row");
        QTest::newRow("Create Time/Date") << 10;
        QTest::newRow("Last saved Time/Date") << 11;
        QTest::newRow("Last Printed") << 13;
    }
    void dateEditorOpensOnTheRowValueAndCommitsItBack()
    {
        QFETCH(int, row);
        PropertyTable* table = showBatchTable();
        const QString value = displayText(2009, 1, 2, 13, 45, 7);
        openOn(table, row, value);
        QCOMPARE(editors_->DateTimePicker7->date(), QDate(2009, 1, 2));
        QCOMPARE(editors_->DateTimePicker8->time(), QTime(13, 45, 7));
        QCOMPARE(editors_->CheckBox15->isHidden(), row != 13);
        QVERIFY(!editors_->CheckBox15->isChecked());

        // The date comes from the date picker and the time of day from the time picker.
        editors_->DateTimePicker7->setDate(QDate(2011, 6, 30));
        editors_->DateTimePicker8->setTime(QTime(8, 5, 0));
        QTest::keyClick(editors_->DateTimePicker8, Qt::Key_Return);
        QCOMPARE(table->rowValue(row), displayText(2011, 6, 30, 8, 5, 0));
        QVERIFY(editors_->Panel3->isHidden());
    }

    void dateEditorBlankOnlyOnLastPrinted()
    {
        PropertyTable* table = showBatchTable();
        openOn(table, 13, QString());
        QVERIFY(!editors_->CheckBox15->isHidden());
        QVERIFY(editors_->CheckBox15->isChecked());
        form_->CheckBox4->setFocus();
        QCOMPARE(table->rowValue(13), QString());

        // An empty Create Time/Date opens on the current time, and commits a date: never empty.
        openOn(table, 10, QString());
        QVERIFY(editors_->CheckBox15->isHidden());
        QVERIFY(qAbs(editors_->DateTimePicker7->date().daysTo(QDate::currentDate())) <= 1);
        form_->CheckBox4->setFocus();
        const auto committed = quorvane::convert::decodeDateTime(
            quorvane::convert::DisplayTextToDateTime(table->rowValue(10).toStdString()));
        QVERIFY(qAbs(QDate(committed.year, committed.month, committed.day).daysTo(QDate::currentDate())) <= 1);
    }

    void dateEditorOnAValueThatIsNoDateStartsAtNow()
    {
        PropertyTable* table = showBatchTable();
        openOn(table, 11, QStringLiteral("not a date"));
        QVERIFY(qAbs(editors_->DateTimePicker7->date().daysTo(QDate::currentDate())) <= 1);
        QVERIFY(qAbs(editors_->DateTimePicker8->time().secsTo(QTime::currentTime())) <= 120);
    }

    // Keys go where the focus is, as they do for the user: Tab leaves the date picker for the time
    // picker whichever field was typed last.
    void typedDateAndTimeAreTheOnesTyped_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QDate>("date");
        for (const char* locale : {"C", "en_US", "de_DE"}) {
            const bool c = QByteArray(locale) == "C";
            const bool us = QByteArray(locale) == "en_US";
            const auto row = [&](const char* name, const char* cKeys, const char* usKeys, const char* deKeys, QDate date) {
                QTest::addRow("%s %s", locale, name) << QString::fromLatin1(locale)
                                                     << QString::fromLatin1(c ? cKeys : us ? usKeys : deKeys) << date;
            };
            row("padded", "2013-03-15", "03/15/2013", "15.03.2013", QDate(2013, 3, 15));
            row("unpadded", "2013-3-5", "3/5/2013", "5.3.2013", QDate(2013, 3, 5));
            // The editor opens on 31 January 2011; 29 February is only checked once the year is in.
            row("leap day", "2012-02-29", "02/29/2012", "29.02.2012", QDate(2012, 2, 29));
        }
    }
    void typedDateAndTimeAreTheOnesTyped()
    {
        QFETCH(QString, locale);
        QFETCH(QString, keys);
        QFETCH(QDate, date);
        PropertyTable* table = showBatchTable();
        const char* dateFormat = locale == u"C" ? "%Y-%m-%d" : locale == u"en_US" ? "%m/%d/%Y" : "%d.%m.%Y";
        editors_->DateTimePicker7->setDisplayFormat(pickerFormatOf(dateFormat));
        openOn(table, 10, displayText(2011, 1, 31, 1, 2, 3));
        QCOMPARE(QApplication::focusWidget(), editors_->DateTimePicker7);
        QTest::keyClicks(QApplication::focusWidget(), keys);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), editors_->DateTimePicker8);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("09:05:00"));
        QCOMPARE(editors_->DateTimePicker8->time(), QTime(9, 5, 0));
        // Everything selected, the time is typed over from its first field.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("13:7:9"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(table->rowValue(10), displayText(date.year(), date.month(), date.day(), 13, 7, 9));
    }

    void escapeDiscardsTheDateEditAndEnterOnBlankCommits()
    {
        PropertyTable* table = showBatchTable();
        const QString kept = displayText(2009, 1, 2, 13, 45, 7);
        openOn(table, 13, kept);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("2001-01-01"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCOMPARE(table->rowValue(13), kept);
        QVERIFY(editors_->Panel3->isHidden());
        QVERIFY(table->hasFocus());

        // Enter on "Blank" commits the date editor and the number editor alike.
        openOn(table, 13, kept);
        editors_->CheckBox15->setFocus();
        QTest::keyClick(editors_->CheckBox15, Qt::Key_Space);
        QTest::keyClick(editors_->CheckBox15, Qt::Key_Return);
        QCOMPARE(table->rowValue(13), QString());
        QVERIFY(editors_->Panel3->isHidden());
        openOn(table, 6, QStringLiteral("5"));
        editors_->CheckBox6->setFocus();
        QTest::keyClick(editors_->CheckBox6, Qt::Key_Return);
        QCOMPARE(table->rowValue(6), QStringLiteral("5"));
        QVERIFY(editors_->Panel5->isHidden());
    }

    void f2AndEnterOpenTheRowEditorAndSpaceTogglesTheCheckMark_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("row");
        QTest::addColumn<Editor>("editor");
        QTest::newRow("F2 text") << int(Qt::Key_F2) << 3 << Editor::Text;
        QTest::newRow("Return number") << int(Qt::Key_Return) << 6 << Editor::Number;
        QTest::newRow("Enter date") << int(Qt::Key_Enter) << 11 << Editor::Date;
        QTest::newRow("Space toggles") << int(Qt::Key_Space) << 2 << Editor::None;
    }
    void f2AndEnterOpenTheRowEditorAndSpaceTogglesTheCheckMark()
    {
        QFETCH(int, key);
        QFETCH(int, row);
        QFETCH(Editor, editor);
        PropertyTable* table = showBatchTable();
        table->setFocus();
        table->selectRow(row);
        const Qt::CheckState before = table->topLevelItem(row)->checkState(0);
        QTest::keyClick(table, Qt::Key(key));
        QCOMPARE(openEditor(), editor);
        if (editor != Editor::None) QVERIFY(editorWidget(editor)->isAncestorOf(QApplication::focusWidget()) ||
                                            editorWidget(editor) == QApplication::focusWidget());
        QCOMPARE(table->topLevelItem(row)->checkState(0) != before, editor == Editor::None);
    }

    // Typing a date or a time into an empty Last Printed row unticks "Blank", as a digit does in
    // the number editor, so that what was typed is committed.
    void dateOrTimeTypedIntoABlankRowIsKept_data()
    {
        QTest::addColumn<bool>("timeField");
        QTest::newRow("date") << false;
        QTest::newRow("time") << true;
    }
    void dateOrTimeTypedIntoABlankRowIsKept()
    {
        QFETCH(bool, timeField);
        PropertyTable* table = showBatchTable();
        openOn(table, 13, QString());
        QVERIFY(editors_->CheckBox15->isChecked());
        if (timeField) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), timeField ? QStringLiteral("10:11:12") : QStringLiteral("2001-02-03"));
        QVERIFY(!editors_->CheckBox15->isChecked());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        const auto committed = quorvane::convert::readDisplayText(table->rowValue(13).toStdString());
        QVERIFY2(committed, qPrintable(table->rowValue(13)));
        const auto fields = quorvane::convert::decodeDateTime(*committed);
        if (timeField) QCOMPARE(QTime(fields.hour, fields.minute, fields.second), QTime(10, 11, 12));
        else QCOMPARE(QDate(fields.year, fields.month, fields.day), QDate(2001, 2, 3));
    }

    void digitTypedIntoABlankNumberIsKept()
    {
        PropertyTable* table = showBatchTable();
        openOn(table, 12, QString());
        QVERIFY(editors_->CheckBox6->isChecked());
        QTest::keyClicks(editors_->Edit3, QStringLiteral("7"));
        QVERIFY(!editors_->CheckBox6->isChecked());
        QTest::keyClick(editors_->Edit3, Qt::Key_Return);
        QCOMPARE(table->rowValue(12), QStringLiteral("7"));
    }

    void scrollingCommitsAndHidesTheOpenEditorFirst_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("wheel");
        QTest::addColumn<bool>("overEditor");
        QTest::newRow("text, wheel") << 1 << true << false;
        QTest::newRow("text, wheel over the editor") << 1 << true << true;
        QTest::newRow("number, wheel") << 6 << true << false;
        QTest::newRow("date, wheel") << 13 << true << false;
        QTest::newRow("text, scroll bar") << 1 << false << false;
        QTest::newRow("number, scroll bar") << 6 << false << false;
        QTest::newRow("date, scroll bar") << 10 << false << false;
    }
    void scrollingCommitsAndHidesTheOpenEditorFirst()
    {
        QFETCH(int, row);
        QFETCH(bool, wheel);
        QFETCH(bool, overEditor);
        PropertyTable* table = showBatchTable();
        form_->resize(form_->width(), form_->minimumSizeHint().height());  // too low for all rows
        QCoreApplication::processEvents();
        QVERIFY2(table->verticalScrollBar()->maximum() > 0, "the batch table must be able to scroll");
        table->scrollToTop();
        openOn(table, row, QString());
        QWidget* opened = editorWidget(openEditor());
        QString expected;
        if (opened == editors_->Edit1) {
            editors_->Edit1->setText(QStringLiteral("edited"));
            expected = QStringLiteral("edited");
        } else if (opened == editors_->Panel5) {
            editors_->CheckBox6->setChecked(false);
            editors_->Edit3->setText(QStringLiteral("90"));
            expected = QStringLiteral("90");
        } else {
            editors_->CheckBox15->setChecked(false);
            editors_->DateTimePicker7->setDate(QDate(2020, 2, 29));
            editors_->DateTimePicker8->setTime(QTime(10, 0, 0));
            expected = displayText(2020, 2, 29, 10, 0, 0);
        }

        // The guard runs before the rows move: at that moment the editor is already gone.
        bool editorGoneBeforeScroll = false;
        const auto seen = connect(table->verticalScrollBar(), &QScrollBar::valueChanged, this,
                                  [&] { editorGoneBeforeScroll = opened->isHidden(); });
        const int scrolledFrom = table->verticalScrollBar()->value();
        const bool atBottom = scrolledFrom == table->verticalScrollBar()->maximum();
        if (wheel) {
            QWidget* target = overEditor ? opened : table->viewport();
            const QPoint at = target->rect().center();
            QWheelEvent turn(at, target->mapToGlobal(at), QPoint(), QPoint(0, atBottom ? 120 : -120),
                             Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            // Delivered as from the mouse (sendEvent() would mark it as sent by the program), so
            // that a turn the widget under the pointer leaves alone goes on to its parents.
            QSpontaneKeyEvent::setSpontaneous(&turn);
            QApplication::instance()->notify(target, &turn);
        } else {
            table->verticalScrollBar()->triggerAction(atBottom ? QAbstractSlider::SliderSingleStepSub
                                                               : QAbstractSlider::SliderSingleStepAdd);
        }
        disconnect(seen);

        QVERIFY(table->verticalScrollBar()->value() != scrolledFrom);
        QVERIFY(editorGoneBeforeScroll);
        QVERIFY(opened->isHidden());
        QCOMPARE(table->rowValue(row), expected);
        QVERIFY(table->hasFocus());
    }

    void commandsCommitTheOpenEditorFirst_data()
    {
        QTest::addColumn<QString>("command");
        for (const char* name : {"ToolButton2", "ToolButton3", "ToolButton12", "Remove1", "RemoveAll1", "help2",
                                 "Helponline1", "Showhint1", "LomberkWebSite1", "Emailsupport1", "about1"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void commandsCommitTheOpenEditorFirst()
    {
        QFETCH(QString, command);
        PropertyTable* table = showBatchTable();
        openOn(table, 3, QString());
        editors_->Edit1->setText(QStringLiteral("before the command"));
        quorvane::help::setLinkOpener([](const QString&) {});
        QString modalCaption;
        closeNextModalWindow(&modalCaption);
        // Some of these start disabled; here only their first step counts.
        if (auto* button = form_->findChild<QToolButton*>(command)) button->setEnabled(true);
        if (auto* action = form_->findChild<QAction*>(command)) action->setEnabled(true);
        QVERIFY(runCommand(form_.get(), command));
        quorvane::help::setLinkOpener({});
        QCOMPARE(table->rowValue(3), QStringLiteral("before the command"));
        QVERIFY(editors_->Edit1->isHidden());
    }

    void closeRowEditorsCommitsEveryOpenEditor()
    {
        PropertyTable* table = showBatchTable();
        openOn(table, 12, QStringLiteral("15"));
        editors_->Edit3->setText(QStringLiteral("16"));
        form_->CloseRowEditors();
        QCOMPARE(table->rowValue(12), QStringLiteral("16"));
        QVERIFY(editors_->Panel5->isHidden());
        form_->CloseRowEditors();  // nothing open: nothing changes
        QCOMPARE(table->rowValue(12), QStringLiteral("16"));
    }

    void editorMovesToTheTableItIsOpenedOnAndWritesOnlyThere()
    {
        PropertyTable* batch = showBatchTable();
        openOn(batch, 0, QStringLiteral("batch title"));
        form_->CloseRowEditors();

        PropertyTable* single = showSingleChangeTable();
        openOn(single, 0, QStringLiteral("file title"));
        QCOMPARE(editors_->Edit1->parentWidget(), single->viewport());
        editors_->Edit1->setText(QStringLiteral("changed title"));
        form_->CloseRowEditors();
        QCOMPARE(single->rowValue(0), QStringLiteral("changed title"));
        QCOMPARE(batch->rowValue(0), QStringLiteral("batch title"));
    }

private:
    PropertyTable* showBatchTable()
    {
        form_->PageControl1->setCurrentWidget(form_->TabSheet1);
        QCoreApplication::processEvents();
        return form_->ListView2;
    }

    // The single-change table edits only while a file is selected in the file list.
    PropertyTable* showSingleChangeTable()
    {
        form_->PageControl1->setCurrentWidget(form_->TabSheet2);
        if (form_->ListView1->topLevelItemCount() == 0) {
            new QTreeWidgetItem(form_->ListView1, {QStringLiteral("/nowhere/selected.ppt")});
            form_->ListView1->setCurrentItem(form_->ListView1->topLevelItem(0));
        }
        QCoreApplication::processEvents();
        return form_->ListView3;
    }

    // Gives `row` the value `value`, then opens its editor with a click into the value cell.
    void openOn(PropertyTable* table, int row, const QString& value)
    {
        table->setRowValue(row, value);
        table->scrollToItem(table->topLevelItem(row));
        clickAt(table, valueCellCentre(table, row));
        QVERIFY(openEditor() != Editor::None);
    }

    Editor openEditor() const
    {
        const bool text = editors_->Edit1->isVisible();
        const bool multiLine = editors_->MultiLineEdit->isVisible();
        const bool number = editors_->Panel5->isVisible();
        const bool date = editors_->Panel3->isVisible();
        if (int(text) + int(multiLine) + int(number) + int(date) > 1) return Editor::None;  // never more than one
        return text        ? Editor::Text
               : multiLine ? Editor::MultiLine
               : number    ? Editor::Number
               : date      ? Editor::Date
                           : Editor::None;
    }

    QWidget* editorWidget(Editor editor) const
    {
        switch (editor) {
        case Editor::Text: return editors_->Edit1;
        case Editor::MultiLine: return editors_->MultiLineEdit;
        case Editor::Number: return editors_->Panel5;
        case Editor::Date: return editors_->Panel3;
        case Editor::None: break;
        }
        return nullptr;
    }

    std::unique_ptr<TForm1> form_;
    RowEditors* editors_ = nullptr;
};

QUORVANE_UI_TEST_MAIN(RowEditorsTest)
#include "row_editors_test.moc"
