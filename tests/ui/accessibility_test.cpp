// SPDX-License-Identifier: Apache-2.0
// The window as assistive technology and the keyboard reach it: the accessibility tree (what a
// screen reader reads through AT-SPI) names every control that can be operated, tells the file
// times apart, names the row editors by their row and tells a line's outcome; the arrow keys
// stay within a group of buttons; every button on the change pages has its own access key; the
// focused cell of a property table is framed visibly in every palette.
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimeEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>


#include "app/custom_properties_page.h"
#include "app/file_list_lines.h"
#include "app/focus_frames.h"
#include "app/row_editors.h"
#include "help/help_hints_window.h"
#include "theme_variants.h"
#include "ui_test_support.h"

using namespace quorvane::app;

namespace {

bool isOperable(QAccessibleInterface* node)
{
    static const QSet<QAccessible::Role> operableRoles{
        QAccessible::PushButton, QAccessible::CheckBox, QAccessible::RadioButton, QAccessible::ComboBox,
        QAccessible::SpinBox,    QAccessible::EditableText, QAccessible::Table,   QAccessible::Tree,
        QAccessible::List,       QAccessible::PageTab,  QAccessible::MenuItem,    QAccessible::ButtonMenu};
    return operableRoles.contains(node->role()) || node->state().focusable;
}

// The names of the operable controls that are shown, read from the tree under `node`; an item
// view's cells are its own business.
void collectNames(QAccessibleInterface* node, QStringList& names)
{
    if (node->state().invisible) return;
    if (isOperable(node)) {
        names.append(node->text(QAccessible::Name).trimmed());
        if (names.last().isEmpty() && node->object()) qInfo("unnamed: %s", qPrintable(node->object()->objectName()));
    }
    const QAccessible::Role role = node->role();
    if (role == QAccessible::Table || role == QAccessible::Tree || role == QAccessible::List) return;
    for (int child = 0; child < node->childCount(); ++child)
        if (QAccessibleInterface* childNode = node->child(child)) collectNames(childNode, names);
}

// The accessible cell at `row`, column 0, of `list`, once the list has laid out its lines.
QAccessibleInterface* cellOf(QTreeWidget* list, int row)
{
    list->doItemsLayout();
    QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(list)->tableInterface();
    return table ? table->cellAt(row, 0) : nullptr;
}

QString accessibleName(QObject* control)
{
    return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
}

// The contrast of the pixel at `edge` of `shot` against the pixel at `inside`.
double contrastIn(const QImage& shot, QPoint edge, QPoint inside)
{
    return contrastRatio(shot.pixelColor(edge), shot.pixelColor(inside));
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void init() { form_ = testing::openMainWindow(); QVERIFY(form_); }
    void cleanup() { form_.reset(); }

    // Each page in front in turn: no operable control without a name, none with a name that
    // more than three share.
    void everyOperableControlHasItsOwnName()
    {
        int unnamed = 0, mostShared = 0;
        QString mostSharedName;
        for (int page = 0; page < form_->PageControl1->count(); ++page) {
            form_->PageControl1->setCurrentIndex(page);
            QStringList names;
            collectNames(QAccessible::queryAccessibleInterface(form_.get()), names);
            QHash<QString, int> counts;
            for (const QString& name : names) {
                if (name.isEmpty()) ++unnamed;
                else if (++counts[name] > mostShared) mostShared = counts[name], mostSharedName = name;
            }
        }
        qInfo("unnamed operable controls: %d; most shared name: \"%s\" x%d", unnamed, qPrintable(mostSharedName),
              mostShared);
        QCOMPARE(unnamed, 0);
        QVERIFY2(mostShared <= 3, qPrintable(mostSharedName));
    }

    void fileTimeFieldsHaveTwelveNames()
    {
        QSet<QString> names;
        for (QObject* field : form_->findChildren<QDateTimeEdit*>(QRegularExpression(QStringLiteral("^DateTimePicker([1-6]|9|1[0-4])$"))))
            names.insert(accessibleName(field));
        names.remove(QString());
        qInfo("distinct date and time names: %d", int(names.size()));
        QCOMPARE(names.size(), 12);
        QCOMPARE(accessibleName(form_->DateTimePicker9), QStringLiteral("Creation date"));
        QCOMPARE(accessibleName(form_->CheckBox12), QStringLiteral("Apply the modification time of day"));
    }

    void editorsAreNamedByTheirRow()
    {
        RowEditors* editors = form_->rowEditors();
        editors->ShowRowEditor(form_->ListView2, 0);
        QCOMPARE(accessibleName(editors->Edit1), QStringLiteral("Title value"));
        editors->ShowRowEditor(form_->ListView2, 6);
        QCOMPARE(accessibleName(editors->Edit3), QStringLiteral("Revision Number value"));
        editors->ShowRowEditor(form_->ListView2, 10);
        QVERIFY(accessibleName(editors->DateTimePicker7).startsWith(form_->ListView2->topLevelItem(10)->text(0)));
        editors->CloseRowEditors();

        CustomPropertiesPage* page = form_->CustomPage;
        page->setEnabled(true);
        page->showRead({});
        page->addLine();
        page->finishEditing();
        QTableWidget* table = page->CustomTable;
        table->setCurrentCell(0, CustomPropertiesPage::kTypeColumn);
        table->editItem(table->currentItem());
        auto* typeBox = table->viewport()->findChild<QComboBox*>();
        QVERIFY(typeBox);
        QCOMPARE(accessibleName(typeBox), QStringLiteral("Type"));
    }

    void lineOutcomeIsTheLinesDescription_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("description");
        QTest::newRow("changed") << int(kChanged) << QString() << QStringLiteral("changed");
        QTest::newRow("failed") << int(kChangeFailed) << QStringLiteral("write: locked")
                                << QStringLiteral("failed: write: locked");
        QTest::newRow("unreadable") << int(kUnreadable) << QStringLiteral("read: damaged")
                                    << QStringLiteral("cannot read: read: damaged");
        QTest::newRow("unchanged") << int(kUnchanged) << QString() << QString();
    }
    void lineOutcomeIsTheLinesDescription()
    {
        QFETCH(int, status);
        QFETCH(QString, reason);
        QFETCH(QString, description);
        QTreeWidget& list = *form_->ListView1;
        const int line = appendLine(list, "/tmp/deck.pptx");
        setLineStatus(list, line, status);
        setLineFailure(list, line, reason);
        QAccessibleInterface* cell = cellOf(&list, line);
        QVERIFY(cell);
        QCOMPARE(cell->text(QAccessible::Description), description);
    }

    // Arrow keys, pressed any number of times, never take the focus out of a tool bar or a
    // button row (and so never to "Close" from a tool bar).
    void arrowKeysStayInTheirGroup_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QStringList>("group");
        QTest::newRow("ToolBar2") << QStringLiteral("ToolButton1") << QStringList{"ToolButton1", "ToolButton5"};
        QTest::newRow("ToolBar3") << QStringLiteral("ToolButton9") << QStringList{"ToolButton9", "ToolButton10"};
        QTest::newRow("Single Change row") << QStringLiteral("BitBtn5") << QStringList{"BitBtn5", "BitBtn7"};
    }
    void arrowKeysStayInTheirGroup()
    {
        QFETCH(QString, start);
        QFETCH(QStringList, group);
        auto* button = form_->findChild<QAbstractButton*>(start);
        if (form_->TabSheet1->isAncestorOf(button)) form_->PageControl1->setCurrentWidget(form_->TabSheet1);
        button->setFocus(Qt::TabFocusReason);
        QSet<QString> reached;
        for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Left, Qt::Key_Left, Qt::Key_Down, Qt::Key_Right, Qt::Key_Right,
                                  Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down}) {
            QTest::keyClick(QApplication::focusWidget(), key);
            const QString now = QApplication::focusWidget()->objectName();
            QVERIFY2(group.contains(now), qPrintable(now));
            reached.insert(now);
        }
        QCOMPARE(reached.size(), group.size());
    }

    // Every button of a change page has an access key, none the same as another shown with it
    // (the menu bar's included).
    void buttonsHaveTheirOwnAccessKeys()
    {
        for (QWidget* page : {form_->TabSheet2, form_->TabSheet1}) {
            form_->PageControl1->setCurrentWidget(page);
            QHash<QKeySequence, QString> owners;
            for (const QAction* menu : form_->menuBar()->actions()) owners.insert(QKeySequence::mnemonic(menu->text()), menu->text());
            for (const QAbstractButton* button : form_->findChildren<QAbstractButton*>()) {
                if (!button->isVisible() || button->text().isEmpty()) continue;
                const QKeySequence key = QKeySequence::mnemonic(button->text());
                const bool mustHaveKey = page->isAncestorOf(button) &&
                                         (qobject_cast<const QPushButton*>(button) || qobject_cast<const QToolButton*>(button));
                QVERIFY2(!key.isEmpty() || !mustHaveKey, qPrintable(button->objectName()));
                if (key.isEmpty()) continue;
                QVERIFY2(!owners.contains(key), qPrintable(button->text() + QStringLiteral(" and ") + owners.value(key)));
                owners.insert(key, button->text());
            }
        }
    }

    void helpHintsSamplesTakeNoFocusAndPicturesAreNamed()
    {
        TForm4* hints = form_->Form4;
        for (const QCheckBox* sample : hints->findChildren<QCheckBox*>())
            QVERIFY2(sample->focusPolicy() == Qt::NoFocus, qPrintable(sample->text()));
        const QList<QLabel*> pictures = hints->findChildren<QLabel*>(QStringLiteral("StatusPicture"));
        QCOMPARE(pictures.size(), 4);
        for (QLabel* picture : pictures) QVERIFY(!accessibleName(picture).isEmpty());
        QStringList texts;
        for (const QLabel* label : hints->findChildren<QLabel*>()) texts.append(label->text());
        const QString allText = texts.join(u'\n');
        QVERIFY(allText.contains(QStringLiteral("Ctrl+O")) && allText.contains(QStringLiteral("F2")));
    }

    // A focus frame against the colour beside it, at least 3:1, in each palette.
    void focusedCellIsFramedVisibly_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("default") << QApplication::palette();
        QTest::newRow("dark") << testing::darkPalette();
        QTest::newRow("high contrast") << testing::highContrastPalette();
    }
    void focusedCellIsFramedVisibly()
    {
        QFETCH(QPalette, palette);
        const QPalette desktop = QApplication::palette();
        QApplication::setPalette(palette);
        QApplication::processEvents();  // the widgets take the palette from a posted event
        // The current cell selected, then the current cell of a row that is not.
        PropertyTable* table = form_->ListView3;
        table->setFocus(Qt::TabFocusReason);
        table->selectRow(3);
        for (const bool selected : {true, false}) {
            if (!selected) table->selectionModel()->clearSelection();
            const QRect cell = table->visualRect(table->currentIndex());
            const int y = cell.center().y();
            const QImage shot = table->viewport()->grab().toImage();
            QVERIFY2(contrastIn(shot, {cell.left() + 1, y}, {cell.right() - 6, y}) >= 3.0, selected ? "selected" : "unselected");
        }
        // A tool button given the focus other than by Tab, as when a dialog closes, on its tool bar.
        QToolButton* button = form_->ToolButton1;
        button->setFocus(Qt::ActiveWindowFocusReason);
        const QImage bar = form_->ToolBar2->grab().toImage();
        const QPoint edge = button->geometry().topLeft() + QPoint(1, button->height() / 2);
        QVERIFY(contrastIn(bar, edge, {bar.width() - 2, edge.y()}) >= 3.0);
        QApplication::setPalette(desktop);
    }

    void statusMessageIsTheStatusBarsName()
    {
        form_->statusBar()->showMessage(QStringLiteral("2 files changed, 1 failed"));
        QCOMPARE(accessibleName(form_->statusBar()), QStringLiteral("2 files changed, 1 failed"));
        form_->statusBar()->clearMessage();
        QCOMPARE(accessibleName(form_->statusBar()), form_->StatusBar1Panel->text());
    }

private:
    std::unique_ptr<TForm1> form_;
};

QUORVANE_UI_TEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
