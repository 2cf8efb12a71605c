// SPDX-License-Identifier: Apache-2.0
// The German window: every text a person sees in the main window (its pages, menus, tool bar and
// status bar), the help hints, About, the removal dialog and the two progress windows differs from
// the English window's, but for the few words both languages write alike.
#include <QAbstractButton>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>

#include <functional>
#include <memory>

#include "app/batch_progress_window.h"
#include "app/csv_progress_window.h"
#include "app/scrub_dialog.h"
#include "app/window_translation.h"
#include "help/about_window.h"
#include "help/help_hints_window.h"
#include "ui_test_support.h"

namespace quorvane::app {
namespace {

// Texts German writes as English does: names, numbers, and words alike in both.
const QSet<QString> kAlikeInBothLanguages{
    QStringLiteral("Quorvane"), QStringLiteral("OK"), QStringLiteral("0%"), QStringLiteral("Version: 3.16"), QStringLiteral("Name"),
    QStringLiteral("Manager"), QStringLiteral("System"), QStringLiteral("Format"), QStringLiteral("Status"), QStringLiteral("support@lomberk.example"),
    QStringLiteral("https://www.lomberk.example/")};

void addText(QSet<QString>& texts, QString text)
{
    text.remove(u'&');  // the mark of a shortcut letter
    if (text.startsWith(QStringLiteral("• "))) text.remove(0, 2);  // a list's bullet
    if (!text.trimmed().isEmpty()) texts.insert(text);
}

void addTreeTexts(QSet<QString>& texts, const QTreeWidget& tree)
{
    for (int column = 0; column < tree.columnCount(); ++column) addText(texts, tree.headerItem()->text(column));
    for (int line = 0; line < tree.topLevelItemCount(); ++line) addText(texts, tree.topLevelItem(line)->text(0));
}

// Every caption, title, label, header, menu item and tool tip of `window` and its children.
QSet<QString> visibleTexts(const QWidget& window)
{
    QSet<QString> texts;
    addText(texts, window.windowTitle());
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        addText(texts, widget->toolTip());
        if (auto* label = qobject_cast<QLabel*>(widget)) addText(texts, label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) addText(texts, button->text());
        if (auto* group = qobject_cast<QGroupBox*>(widget)) addText(texts, group->title());
        if (auto* menu = qobject_cast<QMenu*>(widget)) addText(texts, menu->title());
        if (auto* tree = qobject_cast<QTreeWidget*>(widget)) addTreeTexts(texts, *tree);
        if (auto* tabs = qobject_cast<QTabWidget*>(widget))
            for (int tab = 0; tab < tabs->count(); ++tab) addText(texts, tabs->tabText(tab));
        if (auto* table = qobject_cast<QTableWidget*>(widget))
            for (int column = 0; column < table->columnCount(); ++column)
                addText(texts, table->horizontalHeaderItem(column)->text());
    }
    for (const QAction* action : window.findChildren<QAction*>()) addText(texts, action->text());
    return texts;
}

using WindowMaker = std::function<std::unique_ptr<QWidget>()>;

const QList<QPair<const char*, WindowMaker>>& windows()
{
    static const QList<QPair<const char*, WindowMaker>> makers{
        {"main window", [] { return std::make_unique<TForm1>(); }},
        {"help hints", [] { return std::make_unique<TForm4>(QList<QIcon>{QIcon(), QIcon(), QIcon(), QIcon()}); }},
        {"About", [] { return std::make_unique<TForm5>(QIcon()); }},
        {"removal of one file", [] { return std::make_unique<ScrubDialog>(1, false); }},
        {"removal of many files", [] { return std::make_unique<ScrubDialog>(3, true); }},
        {"change progress", [] { return std::make_unique<TForm7>(); }},
        {"export progress", [] { return std::make_unique<exporting::TForm9>(); }},
    };
    return makers;
}

}  // namespace

class TranslationTest : public QObject {
    Q_OBJECT
private slots:
    void everyVisibleTextIsGerman()
    {
        QList<QSet<QString>> english;
        for (const auto& [name, make] : windows()) english.append(visibleTexts(*make()));
        QVERIFY(installWindowTranslation(*qApp, QStringLiteral(QUORVANE_TRANSLATION_BUILD_DIR),
                                         QLocale(QLocale::German, QLocale::Germany)));
        for (qsizetype index = 0; index < windows().size(); ++index) {
            const QSet<QString> german = visibleTexts(*windows()[index].second());
            QStringList untranslated;
            for (const QString& text : german)
                if (english[index].contains(text) && !kAlikeInBothLanguages.contains(text)) untranslated.append(text);
            untranslated.sort();
            QVERIFY2(untranslated.isEmpty(),
                     qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(windows()[index].first),
                                                             untranslated.join(QStringLiteral(" | ")))));
            QVERIFY2(!german.isEmpty(), windows()[index].first);
        }
    }

    void englishStaysTheDefault()
    {
        QVERIFY(!installWindowTranslation(*qApp, QStringLiteral(QUORVANE_TRANSLATION_BUILD_DIR),
                                          QLocale(QLocale::English, QLocale::UnitedStates)));
    }
};

}  // namespace quorvane::app

QUORVANE_UI_TEST_MAIN(quorvane::app::TranslationTest)
#include "translation_test.moc"
