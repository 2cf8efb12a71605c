// SPDX-License-Identifier: Apache-2.0
// The windows under other fonts and themes: at 8, 10 and 12 points and with a dark palette, every
// control of the main window (all three pages, the custom properties one showing a file), "Help
// Hints", "About" and the confirmation of "Remove personal information…" is shown, lies inside its
// window and has room for its whole text; the batch option table shows all its rows at the
// starting size; the hints' text stands out from their background under the dark palette.
#include <QAbstractButton>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionViewItem>
#include <QTabBar>
#include <QTableWidget>
#include <QTextDocumentFragment>
#include <QToolTip>
#include <QTreeWidget>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <map>

#include "app/custom_properties_page.h"
#include "app/row_editors.h"
#include "app/file_list_lines.h"
#include "app/scrub_dialog.h"
#include "convert/display_text.h"
#include "help/about_window.h"
#include "help/help_hints_window.h"
#include "theme_variants.h"
#include "ui_test_support.h"

using namespace quorvane::app;

namespace {

// The row editors float over the batch table and stay hidden until a row is edited.
bool isRowEditorPart(const QWidget* widget, const QWidget* window)
{
    for (const QWidget* w = widget; w && w != window; w = w->parentWidget())
        if (w->objectName() == u"Edit1" || w->objectName() == u"Panel3" || w->objectName() == u"Panel5") return true;
    return false;
}

// The template preview under the batch table shows only while "Values are templates" is ticked.
bool isHiddenTemplatePreview(const QWidget* widget)
{
    return widget->objectName() == u"BatchTemplatePreview" && widget->isHidden();
}

bool isOnHiddenPage(const QWidget* widget, const QWidget* window)
{
    for (const QWidget* w = widget; w && w != window; w = w->parentWidget())
        if (const auto* pages = qobject_cast<const QStackedWidget*>(w->parentWidget()))
            if (pages->currentWidget() != w) return true;
    return false;
}

// The controls a user reads: labels, buttons, check boxes, pickers, tables and groups, without
// the parts that Qt builds inside its own widgets.
bool isReadableControl(const QWidget* widget)
{
    // A table's corner button is part of the table, shown only with both of its headers.
    if (widget->objectName().startsWith(u"qt_") || qobject_cast<const QTabBar*>(widget->parentWidget()) ||
        qobject_cast<const QTableWidget*>(widget->parentWidget()))
        return false;
    return qobject_cast<const QLabel*>(widget) || qobject_cast<const QAbstractButton*>(widget) ||
           qobject_cast<const QDateTimeEdit*>(widget) || qobject_cast<const QTreeWidget*>(widget) ||
           qobject_cast<const QTableWidget*>(widget) || qobject_cast<const QGroupBox*>(widget);
}

QString textOf(const QWidget* widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return QString(button->text()).remove(u'&');
    if (const auto* picker = qobject_cast<const QDateTimeEdit*>(widget)) return picker->text();
    return {};
}

// Width left for the text inside `widget`, as its style lays the control out.
int textRoom(const QWidget* widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->contentsRect().width() - 2 * label->margin();
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const int iconPx = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
        return widget->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width() - iconPx;
    }
    // Check boxes, tool buttons and pickers ask for their text's width plus a fixed frame.
    return widget->width() - (widget->sizeHint().width() - widget->fontMetrics().horizontalAdvance(textOf(widget)));
}

// Every fault found in `window`: a control hidden or reaching outside what its ancestors show,
// or a text that needs more room than its control gives it.
QStringList layoutFaults(QWidget* window)
{
    QStringList faults;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->window() != window || !isReadableControl(widget) || isRowEditorPart(widget, window) ||
            isOnHiddenPage(widget, window) || isHiddenTemplatePreview(widget))
            continue;
        const QString name = widget->objectName().isEmpty() ? textOf(widget) : widget->objectName();
        if (!widget->isVisible()) {
            faults << name + QStringLiteral(" hidden");
            continue;
        }
        for (const QWidget* outer = widget->parentWidget(); outer; outer = outer->parentWidget()) {
            const QRect inOuter(widget->mapTo(outer, QPoint(0, 0)), widget->size());
            if (!outer->rect().contains(inOuter)) {
                faults << name + QStringLiteral(" outside ") + outer->metaObject()->className();
                break;
            }
            if (outer == window) break;
        }
        const QString text = textOf(widget);
        if (text.isEmpty()) continue;
        const auto* label = qobject_cast<const QLabel*>(widget);
        if (label && label->wordWrap()) {
            if (label->heightForWidth(label->width()) > label->height())
                faults << name + QStringLiteral(" wrapped text cut at the bottom");
        } else if (widget->fontMetrics().horizontalAdvance(text) > textRoom(widget)) {
            faults << name + QStringLiteral(" text cut: %1 > %2 px").arg(widget->fontMetrics().horizontalAdvance(text))
                                 .arg(textRoom(widget));
        }
    }
    return faults;
}

// WCAG contrast ratio of two colours, 1 to 21.
double contrast(const QColor& first, const QColor& second)
{
    auto luminance = [](const QColor& colour) {
        auto channel = [](double value) { return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
    };
    const double a = luminance(first), b = luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// The highest contrast to `background` of any pixel drawn in `area` of `picture`.
double strongestContrast(const QImage& picture, const QRect& area, const QColor& background)
{
    const QRect scaled(area.topLeft() * picture.devicePixelRatio(), area.size() * picture.devicePixelRatio());
    double best = 1;
    for (int y = scaled.top(); y <= scaled.bottom(); ++y)
        for (int x = scaled.left(); x <= scaled.right(); ++x) best = std::max(best, contrast(QColor(picture.pixel(x, y)), background));
    return best;
}

// The contrast of the drawn text of `label` in `picture` (the grab of its window): its most
// frequent colour is the background, the colour that differs most from it the text.
double drawnTextContrast(const QImage& picture, const QLabel* label, const QWidget* window)
{
    const QRect area(label->mapTo(window, QPoint(0, 0)) * picture.devicePixelRatio(), label->size() * picture.devicePixelRatio());
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) ++counts[picture.pixel(x, y)];
    const QColor background(std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first);
    double best = 1;
    for (const auto& [pixel, count] : counts) best = std::max(best, contrast(QColor(pixel), background));
    return best;
}

}  // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        desktopFont_ = QApplication::font();
        desktopPalette_ = QApplication::palette();
    }
    void cleanup()
    {
        QApplication::setFont(desktopFont_);
        QApplication::setPalette(desktopPalette_);
    }

    void everyControlShowsItsWholeText_data()
    {
        QTest::addColumn<int>("pointSize");
        QTest::addColumn<bool>("dark");
        QTest::addColumn<bool>("smallest");
        QTest::newRow("8 pt") << 8 << false << false;
        QTest::newRow("10 pt") << 10 << false << false;
        QTest::newRow("12 pt") << 12 << false << false;
        QTest::newRow("dark, 10 pt") << 10 << true << false;
        // The window made as small as it goes.
        QTest::newRow("8 pt, smallest") << 8 << false << true;
        QTest::newRow("14 pt, smallest") << 14 << false << true;
    }
    void everyControlShowsItsWholeText()
    {
        QFETCH(int, pointSize);
        QFETCH(bool, dark);
        QFETCH(bool, smallest);
        testing::setFontPointSize(pointSize);
        if (dark) QApplication::setPalette(testing::darkPalette());
        const std::unique_ptr<TForm1> form = testing::openMainWindow();
        QVERIFY(form);
        QVERIFY2(form->width() >= TForm1::kWidthPx && form->height() >= TForm1::kHeightPx, "smaller than designed");
        if (smallest) form->resize(1, 1);

        // The custom properties page with lines in its table, as a selected file shows them.
        form->CustomPage->showRead({{"Reviewed by", "text", "A. Reviewer"}, {"Pages", "integer", "12"}});
        for (int page = 0; page < form->PageControl1->count(); ++page) {
            form->PageControl1->setCurrentIndex(page);
            QApplication::processEvents();
            const QStringList faults = layoutFaults(form.get());
            QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("page %1: ").arg(page) + faults.join(u"; ")));
        }
        // Every page's tab shows whole, its text uncut, without scrolling the tab bar.
        const QTabBar* tabs = form->PageControl1->tabBar();
        for (int tab = 0; tab < tabs->count(); ++tab)
            QVERIFY2(tabs->rect().contains(tabs->tabRect(tab)) &&
                         tabs->tabRect(tab).width() > tabs->fontMetrics().horizontalAdvance(tabs->tabText(tab)),
                     qPrintable(tabs->tabText(tab) + QStringLiteral(" tab cut")));
        // At the starting size the batch option table shows every row whole.
        const QTreeWidget* table = form->ListView2;
        const QRect lastRow = table->visualItemRect(table->topLevelItem(table->topLevelItemCount() - 1));
        QVERIFY2(smallest || table->viewport()->rect().contains(lastRow), "the last row of the batch table is cut");
        // The template preview, once shown, fits under the batch table.
        form->PageControl1->setCurrentIndex(1);
        form->ValuesAreTemplatesBox->setChecked(true);
        QTRY_VERIFY(form->BatchTemplatePreview->isVisible());
        const QStringList previewFaults = layoutFaults(form.get());
        QVERIFY2(previewFaults.isEmpty(), qPrintable(previewFaults.join(u"; ")));

        ScrubDialog confirmation(12, true, form.get());
        for (QDialog* window : {static_cast<QDialog*>(form->Form4), static_cast<QDialog*>(form->Form5),
                                static_cast<QDialog*>(&confirmation)}) {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            if (window == form->Form4) QVERIFY(window->width() >= 635 && window->height() >= 512);
            const QStringList faults = layoutFaults(window);
            window->hide();
            QVERIFY2(faults.isEmpty(), qPrintable(window->windowTitle() + QStringLiteral(": ") + faults.join(u"; ")));
        }
    }

    // Under a dark palette the hints' text, the red warning included, and the About window's
    // links stand out from what is drawn behind them.
    void textStandsOutUnderTheDarkPalette()
    {
        QApplication::setPalette(testing::darkPalette());
        TForm4 hints({QIcon(), QIcon(), QIcon(), QIcon()});
        TForm5 about{QIcon()};
        for (QDialog* window : {static_cast<QDialog*>(&hints), static_cast<QDialog*>(&about)}) {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            const QImage picture = window->grab().toImage();
            for (const QLabel* label : window->findChildren<QLabel*>()) {
                if (label->text().isEmpty() || !label->isEnabled()) continue;
                const double ratio = drawnTextContrast(picture, label, window);
                QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1: contrast %2").arg(label->text()).arg(ratio)));
            }
        }
    }

    // Under a dark palette the batch table's unticked check marks, the frame of the date
    // editor's time field and its "Blank" box stand out from the cells they lie on.
    void outlinesStandOutOnTheCellsUnderTheDarkPalette()
    {
        QApplication::setPalette(testing::darkPalette());
        const std::unique_ptr<TForm1> form = testing::openMainWindow();
        QVERIFY(form);
        form->PageControl1->setCurrentIndex(1);
        PropertyTable* table = form->ListView2;
        table->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        const QColor cells = table->palette().color(QPalette::Base);
        QStyleOptionViewItem item;
        item.initFrom(table->viewport());
        item.rect = table->visualItemRect(table->topLevelItem(0));
        item.features = QStyleOptionViewItem::HasCheckIndicator;
        const QRect checkMark = table->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &item, table);
        QVERIFY2(strongestContrast(table->viewport()->grab().toImage(), checkMark, cells) >= 3, "unticked check mark");

        // A date in Last Printed, so that "Blank" is unticked.
        table->setRowValue(13, QString::fromStdString(quorvane::convert::DateTimeToDisplayText(
                                   *quorvane::convert::encodeDateTime({2009, 1, 2, 13, 45, 7, 0}))));
        testing::clickAt(table, testing::valueCellCentre(table, 13));
        RowEditors* editors = form->rowEditors();
        QVERIFY(editors->Panel3->isVisible());
        const QImage editor = editors->Panel3->grab().toImage();
        QVERIFY(!editors->CheckBox15->isChecked());
        // The left edge of the time field, where its frame lies and its text does not.
        const QRect timeField = editors->DateTimePicker8->geometry();
        const QRect leftEdge(timeField.left(), timeField.top() + timeField.height() / 4, 2, timeField.height() / 2);
        QVERIFY2(strongestContrast(editor, leftEdge, cells) >= 3, "time field");
        QStyleOptionButton box;
        box.initFrom(editors->CheckBox15);
        const QRect blank = editors->CheckBox15->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &box, editors->CheckBox15)
                                .translated(editors->CheckBox15->pos());
        QVERIFY2(strongestContrast(editor, blank, cells) >= 3, "Blank box");
    }

    // A value cut with "…" or written over several lines shows whole, line breaks kept, as the
    // tool tip of its cell; a value that fits has none; a file list line keeps its own (the path).
    void cutValuesShowWholeAsToolTip_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("tip");
        const QString longValue = QStringLiteral("A title much longer than any value column shows, ").repeated(3);
        QTest::newRow("fits") << "ListView3" << "Plans" << QString();
        QTest::newRow("cut") << "ListView3" << longValue << longValue;
        QTest::newRow("lines, <b> kept as text") << "ListView2" << "first <b>\nsecond" << "first <b>\nsecond";
        QTest::newRow("file list line") << "ListView1" << "/tmp/a.ppt" << "/tmp/a.ppt";
    }
    void cutValuesShowWholeAsToolTip()
    {
        QFETCH(QString, table);
        QFETCH(QString, value);
        QFETCH(QString, tip);
        const std::unique_ptr<TForm1> form = testing::openMainWindow();
        QVERIFY(form);
        auto* view = form->findChild<QTreeWidget*>(table);
        form->PageControl1->setCurrentIndex(table == u"ListView2" ? 1 : 0);
        QRect cell;
        if (auto* properties = qobject_cast<PropertyTable*>(view)) {
            properties->setRowValue(0, value);
            cell = properties->valueCellRect(0);
        } else {
            appendLine(*view, value.toStdString());
            cell = view->visualItemRect(view->topLevelItem(0));
        }
        QApplication::processEvents();
        QHelpEvent event(QEvent::ToolTip, cell.center(), view->viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(view->viewport(), &event);
        QString shown = QToolTip::isVisible() ? QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText() : QString();
        shown.replace(QChar::LineSeparator, u'\n');
        QToolTip::hideText();
        QCOMPARE(shown.trimmed(), tip.trimmed());
    }

    // A wider window gives the property tables' value column a share of the width.
    void widerWindowWidensTheValueColumn()
    {
        const std::unique_ptr<TForm1> form = testing::openMainWindow();
        QVERIFY(form);
        const int before = form->ListView3->header()->sectionSize(1);
        form->resize(form->width() + 400, form->height());
        QTRY_VERIFY2(form->ListView3->header()->sectionSize(1) >= before + 150,
                     qPrintable(QString::number(form->ListView3->header()->sectionSize(1) - before)));
    }

private:
    QFont desktopFont_;
    QPalette desktopPalette_;
};

QUORVANE_UI_TEST_MAIN(WindowLayoutTest)
#include "window_layout_test.moc"
