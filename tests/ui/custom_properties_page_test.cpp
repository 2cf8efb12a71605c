// SPDX-License-Identifier: Apache-2.0
// The "Custom Properties" page over copies of corpus files: it shows the selected file's
// custom properties as the core reads them; added, changed and removed lines are written by
// "Apply" and read back (a package's too); a value its type does not take is refused with
// nothing written; a failed write keeps the edits; an unreadable file turns editing off; the
// keyboard reaches every control and Delete removes lines.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>

#include <algorithm>

#include "app/custom_properties_page.h"
#include "app/custom_value_text.h"
#include "change_test_support.h"
#include "convert/display_text.h"
#include "tests/support/document_reads.h"
#include "tests/support/fileinfo_fixtures.h"
#include "ui_test_support.h"

using namespace quorvane::app;
using namespace quorvane::app::testing;
using quorvane::props::CustomProperty;

namespace {

constexpr char kFourCustom[] = "bug61881.ppt";     // 4 custom properties: an integer and three texts
constexpr char kSixteenCustom[] = "45543.ppt";    // 16: integers, a text and yes-no values

std::vector<CustomProperty> sortedByName(std::vector<CustomProperty> properties)
{
    std::sort(properties.begin(), properties.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return properties;
}

std::vector<CustomProperty> customOf(const std::string& path)
{
    auto read = quorvane::testing::documentCustom(path);
    return read.ok() ? sortedByName(read.value()) : std::vector<CustomProperty>{{"<unreadable>", "", ""}};
}

std::vector<CustomProperty> shownLines(const CustomPropertiesPage* page)
{
    std::vector<CustomProperty> lines;
    for (int row = 0; row < page->CustomTable->rowCount(); ++row)
        lines.push_back({page->CustomTable->item(row, 0)->text().toStdString(),
                         page->CustomTable->item(row, 1)->text().toStdString(),
                         page->CustomTable->item(row, 2)->text().toStdString()});
    return sortedByName(lines);
}

int rowNamed(const CustomPropertiesPage* page, const QString& name)
{
    const auto found = page->CustomTable->findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? -1 : found.front()->row();
}

// Opens the editor of a cell as F2 does and gives it `text`: typed into a text editor, its date
// and its time typed into the two pickers of a date editor, chosen in the type list; then
// presses `key` (Enter commits it).
void editCell(QTableWidget* table, int row, int column, const QString& text, Qt::Key key = Qt::Key_Return,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    table->setFocus();
    table->setCurrentCell(row, column);
    QTest::keyClick(table, Qt::Key_F2);
    QWidget* editor = QApplication::focusWidget();
    if (auto* list = qobject_cast<QComboBox*>(editor)) {
        list->setCurrentText(text);
    } else if (qobject_cast<QDateEdit*>(editor)) {
        const QStringList dateAndTime = text.split(u' ');
        QTest::keyClicks(editor, dateAndTime.front());
        QTest::keyClick(editor, Qt::Key_Tab);
        editor = QApplication::focusWidget();
        QTest::keyClicks(editor, dateAndTime.back());
    } else {
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, text);
    }
    QTest::keyClick(editor, key, modifiers);
}

}  // namespace

class CustomPropertiesPageTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        if (!corpusHas({kFourCustom, kSixteenCustom, kSmallPptx})) QSKIP("no corpus");
        files_ = std::make_unique<ScratchFiles>();
        form_ = openMainWindow();
        QVERIFY(form_);
        page_ = form_->CustomPage;
        form_->PageControl1->setCurrentWidget(page_);
    }
    void cleanup()
    {
        form_.reset();
        files_.reset();
    }

    void showsTheSelectedFilesProperties_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("count");
        QTest::newRow("4") << kFourCustom << 4;
        QTest::newRow("16") << kSixteenCustom << 16;
    }
    void showsTheSelectedFilesProperties()
    {
        QFETCH(QString, file);
        QFETCH(int, count);
        QVERIFY(!page_->isEnabled());
        const std::string path = files_->copy(qPrintable(file));
        selectFile(path);
        QVERIFY(page_->isEnabled());
        QVERIFY(page_->CustomApplyButton->isEnabled());
        QCOMPARE(page_->CustomTable->rowCount(), count);
        QCOMPARE(shownLines(page_), customOf(path));
        // Nothing selected: the page empties and turns off.
        selectLine(*form_->ListView1, -1);
        QCOMPARE(page_->CustomTable->rowCount(), 0);
        QVERIFY(!page_->isEnabled());
    }

    void addChangeRemoveAndApplyWriteTheFile()
    {
        const std::string path = files_->copy(kFourCustom);
        selectFile(path);
        const QString due = QString::fromStdString(
            quorvane::convert::DateTimeToDisplayText(*quorvane::convert::encodeDateTime({2021, 3, 4, 5, 6, 7, 0})));

        QTableWidget* table = page_->CustomTable;
        table->selectRow(rowNamed(page_, QStringLiteral("_AuthorEmail")));
        QTest::mouseClick(page_->CustomRemoveButton, Qt::LeftButton);
        editCell(table, rowNamed(page_, QStringLiteral("_EmailSubject")), 2, QStringLiteral("Plans for Q3"));
        editCell(table, rowNamed(page_, QStringLiteral("_AdHocReviewCycleID")), 2, QStringLiteral("42"));
        // A renamed property goes under its new name only.
        editCell(table, rowNamed(page_, QStringLiteral("_AuthorEmailDisplayName")), 0, QStringLiteral("Owner"));
        QTest::mouseClick(page_->CustomAddButton, Qt::LeftButton);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Reviewed"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        editCell(table, table->rowCount() - 1, 1, QStringLiteral("yes-no"));
        editCell(table, table->rowCount() - 1, 2, QStringLiteral("Yes"));
        QTest::mouseClick(page_->CustomAddButton, Qt::LeftButton);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        editCell(table, table->rowCount() - 1, 0, QStringLiteral("Due"));
        editCell(table, table->rowCount() - 1, 1, QStringLiteral("date"));
        // The last value is still being typed when "Apply" is pressed by its mnemonic.
        editCell(table, table->rowCount() - 1, 2, due, Qt::Key_P, Qt::AltModifier);
        QTRY_COMPARE(lineStatus(*form_->ListView1, 0), int(kChanged));  // the mnemonic clicks after a moment

        const std::vector<CustomProperty> expected = sortedByName({{"_AdHocReviewCycleID", "integer", "42"},
                                                                   {"_EmailSubject", "text", "Plans for Q3"},
                                                                   {"Owner", "text", "Pauls, Lana L"},
                                                                   {"Reviewed", "yes-no", "yes"},
                                                                   {"Due", "date", due.toStdString()}});
        QCOMPARE(customOf(path), expected);
        // The page shows the file as it now is.
        QCOMPARE(shownLines(page_), expected);
    }

    void packageTakesANewProperty()
    {
        const std::string path = files_->copy(kSmallPptx);
        selectFile(path);
        std::vector<CustomProperty> expected = customOf(path);
        QTest::mouseClick(page_->CustomAddButton, Qt::LeftButton);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Checked by"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        editCell(page_->CustomTable, page_->CustomTable->rowCount() - 1, 2, QStringLiteral("Q. Person"));
        QTest::mouseClick(page_->CustomApplyButton, Qt::LeftButton);
        expected.push_back({"Checked by", "text", "Q. Person"});
        QCOMPARE(customOf(path), sortedByName(expected));
    }

    // A value of a type the page does not edit shows its stored type, stays as it is through
    // "Apply", and goes only when its line is removed.
    void otherStoredTypesAreReadOnly()
    {
        page_->showRead({{"Blob", "VT_BLOB", ""}, {"Note", "text", "kept"}});
        for (int column = 0; column < 3; ++column)
            QVERIFY(!(page_->CustomTable->item(0, column)->flags() & Qt::ItemIsEditable));
        QString problem;
        QCOMPARE(page_->edits(&problem)->size(), std::size_t(0));
        page_->CustomTable->selectRow(0);
        page_->removeSelectedLines();
        const auto edits = page_->edits(&problem);
        QVERIFY(edits && edits->size() == 1);
        QVERIFY((*edits)[0].kind == quorvane::props::CustomEdit::Kind::Remove && (*edits)[0].name == "Blob");
    }

    void valueItsTypeDoesNotTakeIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("problem");
        QTest::newRow("integer") << "Count" << "integer" << "12x" << "'Count': '12x' is not a 32-bit integer";
        QTest::newRow("integer past 32 bits") << "Count" << "integer" << "2147483648" << "is not a 32-bit integer";
        QTest::newRow("number") << "Ratio" << "number" << "1,5" << "'Ratio': '1,5' is not a number";
        QTest::newRow("yes-no") << "Done" << "yes-no" << "maybe" << "'Done': 'maybe' is not yes or no";
        QTest::newRow("date") << "Due" << "date" << "soon" << "'Due': 'soon' is not a date";
        const QString year1500 = QString::fromStdString(
            quorvane::convert::DateTimeToDisplayText(*quorvane::convert::encodeDateTime({1500, 6, 1, 12, 0, 0, 0})));
        QTest::newRow("date before 1601") << "Due" << "date" << year1500
                                                 << "cannot be stored: a date must lie from 1601-01-01 00:00:01 to 9999-12-31 23:59:59 UTC";
        QTest::newRow("no name") << "" << "text" << "x" << "line 2 has no name";
        QTest::newRow("same name") << "_authoremail" << "text" << "x" << "two custom properties are named '_AuthorEmail'";
    }
    void valueItsTypeDoesNotTakeIsRefused()
    {
        QFETCH(QString, name);
        QFETCH(QString, type);
        QFETCH(QString, value);
        QFETCH(QString, problem);
        const std::string path = files_->copy(kFourCustom);
        selectFile(path);
        const QByteArray before = fileBytes(path);
        // A valid change on line 1 is held back with the invalid line 2.
        page_->CustomTable->item(0, 2)->setText(QStringLiteral("7"));
        page_->CustomTable->item(1, 0)->setText(name);
        page_->CustomTable->item(1, 1)->setText(type);
        page_->CustomTable->item(1, 2)->setText(value);
        QTest::mouseClick(page_->CustomApplyButton, Qt::LeftButton);

        const QString message = form_->statusBar()->currentMessage();
        QVERIFY2(message.contains(problem), qPrintable(message));
        QCOMPARE(fileBytes(path), before);
        QCOMPARE(lineStatus(*form_->ListView1, 0), int(kUnchanged));
        QCOMPARE(page_->CustomTable->item(1, 2)->text(), value);  // the page keeps what was typed
        // The cell at fault, and only it, is marked, with the reason as its tool tip, until it is
        // changed.
        QList<QTableWidgetItem*> marked;
        for (int row = 0; row < page_->CustomTable->rowCount(); ++row)
            for (int column = 0; column < 3; ++column)
                if (page_->CustomTable->item(row, column)->background().style() != Qt::NoBrush)
                    marked.append(page_->CustomTable->item(row, column));
        QCOMPARE(marked.size(), 1);
        QTableWidgetItem* faulty = marked.front();
        QCOMPARE(faulty->column(), name.isEmpty() || problem.startsWith(u"two") ? 0 : 2);
        QCOMPARE(faulty->toolTip(), message.mid(message.indexOf(u':') + 2));
        faulty->setText(faulty->text() + u'x');
        QCOMPARE(faulty->background().style(), Qt::NoBrush);
        QVERIFY(faulty->toolTip().isEmpty());
    }

    // A custom date is taken in the ISO forms, whatever the locale's form, and edited with the
    // property tables' date-time editor.
    void datesTakeTheIsoFormsAndTheDateTimeEditor()
    {
        const TimeLocale us("en_US.UTF-8");
        if (!us.ok()) QSKIP("the system has no en_US.UTF-8 locale");
        const auto fileTimeOf = [](int hour, int minute) {
            return quorvane::convert::DateTimeToUtcFileTime(*quorvane::convert::encodeDateTime({2024, 2, 29, hour, minute, 0, 0}));
        };
        for (const auto& [text, expected] : {std::pair{"2024-02-29", fileTimeOf(0, 0)}, {"2024-02-29 13:45", fileTimeOf(13, 45)},
                                             {"2024-02-29T13:45:00", fileTimeOf(13, 45)}}) {
            QString problem;
            const auto value = customValueOfText(quorvane::props::kCustomDate, QString::fromLatin1(text), &problem);
            QVERIFY2(value, qPrintable(problem));
            QCOMPARE(value->filetime100ns, expected);
        }

        selectFile(files_->copy(kFourCustom));
        page_->addLine();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Due"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTableWidget* table = page_->CustomTable;
        const int row = table->rowCount() - 1;
        table->item(row, 1)->setText(QStringLiteral("date"));
        // Typed into the two pickers field by field, the date and time come out in the table's form.
        editCell(table, row, 2, QStringLiteral("3/4/2030 1:2:3P"));
        QTRY_COMPARE(table->item(row, 2)->text(), QString::fromStdString(quorvane::convert::DateTimeToDisplayText(
                                                  *quorvane::convert::encodeDateTime({2030, 3, 4, 13, 2, 3, 0}))));
    }

    // The Name column shows a long name whole, also one added or typed later.
    void nameColumnFitsTheNames()
    {
        selectFile(files_->copy(kFourCustom));
        const QString longName = QStringLiteral("Approved by the review board");
        page_->showRead({{longName.toStdString(), "text", "yes"}});
        QTableWidget* table = page_->CustomTable;
        const int needed = table->fontMetrics().horizontalAdvance(longName) + 6;
        QVERIFY2(table->columnWidth(0) >= needed, qPrintable(QString::number(table->columnWidth(0))));
        page_->showRead({{"Pages", "integer", "12"}});
        page_->addLine();
        QTest::keyClicks(QApplication::focusWidget(), longName);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY2(table->columnWidth(0) >= needed, qPrintable(QString::number(table->columnWidth(0))));
    }

    // "The file has no custom properties." goes with the first line added, and comes back when
    // the table is empty again.
    void noPropertiesNoteGoesWithTheFirstLine()
    {
        selectFile(files_->copy(kSmallPptx));
        page_->showRead({});
        QVERIFY(!page_->CustomReadState->isHidden());
        page_->addLine();
        QVERIFY(page_->CustomReadState->isHidden());
        page_->CustomTable->selectRow(0);
        page_->removeSelectedLines();
        QVERIFY(!page_->CustomReadState->isHidden());
    }

    // The file held by another program: the reason goes to the line's tool tip and the status
    // bar, and the edit stays on the page to be applied again.
    void failedChangeKeepsTheEdits()
    {
        const std::string path = files_->copy(kFourCustom);
        selectFile(path);
        const QByteArray before = fileBytes(path);
        page_->CustomTable->item(1, 2)->setText(QStringLiteral("Not written"));
        const quorvane::testing::LockHoldingChild otherProgram(path, true);
        QVERIFY(otherProgram.holding());
        QTest::mouseClick(page_->CustomApplyButton, Qt::LeftButton);

        QCOMPARE(lineStatus(*form_->ListView1, 0), int(kChangeFailed));
        const QString reason = lineFailure(*form_->ListView1, 0);
        QVERIFY2(reason.startsWith(u"Change failed: "), qPrintable(reason));
        QCOMPARE(form_->statusBar()->currentMessage(), reason);
        QCOMPARE(page_->CustomTable->item(1, 2)->text(), QStringLiteral("Not written"));
        QCOMPARE(fileBytes(path), before);
    }

    void unreadableFileTurnsEditingOff()
    {
        const std::string path = files_->copy(kFourCustom);
        QFile damaged(QString::fromStdString(path));
        QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write("not a compound file");
        damaged.close();
        selectFile(path);
        QVERIFY2(page_->CustomReadState->text().startsWith(u"Cannot read: "), qPrintable(page_->CustomReadState->text()));
        QCOMPARE(page_->CustomTable->rowCount(), 0);
        QVERIFY(!page_->CustomApplyButton->isEnabled());
    }

    void keyboardReachesEveryControlAndDeleteRemovesLines()
    {
        selectFile(files_->copy(kFourCustom));
        page_->CustomTable->setFocus();
        for (QWidget* next : std::initializer_list<QWidget*>{page_->CustomBackupBox, page_->CustomAddButton,
                                                             page_->CustomRemoveButton, page_->CustomApplyButton}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        page_->CustomTable->setFocus();
        page_->CustomTable->setRangeSelected(QTableWidgetSelectionRange(1, 0, 2, 2), true);
        QTest::keyClick(page_->CustomTable, Qt::Key_Delete);
        QCOMPARE(page_->CustomTable->rowCount(), 2);
        // The page's backup box is the "Single Change" page's.
        page_->CustomBackupBox->setChecked(!form_->CheckBox5->isChecked());
        QCOMPARE(page_->CustomBackupBox->isChecked(), form_->CheckBox5->isChecked());
    }

private:
    void selectFile(const std::string& path)
    {
        listFiles(form_.get(), {path});
        selectLine(*form_->ListView1, lineCount(*form_->ListView1) - 1);
    }

    std::unique_ptr<ScratchFiles> files_;
    std::unique_ptr<TForm1> form_;
    CustomPropertiesPage* page_ = nullptr;
};

QUORVANE_UI_TEST_MAIN(CustomPropertiesPageTest)
#include "custom_properties_page_test.moc"
