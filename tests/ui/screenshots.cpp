// SPDX-License-Identifier: Apache-2.0
// Renders offscreen into PNG files, for a person to look at: the main window on each page, with
// copies of corpus files in the list and one of them shown, and with each row editor open (Comments
// in its multi-line editor, the custom properties page with its type list open too), the focus
// frame on a property table's current cell and on a tool button, the help-hints
// and About windows, the confirmation of "Remove personal information…", the file list with
// columns and with a filter, its columns menu, the File, Edit and View menus, and a sheet of the
// program's pictures at 16 and 48 pixels (and at 16 blown up). The windows are drawn four times,
// into OUTPUT_FOLDER/default, /dark (a dark palette), /high-contrast (a high-contrast palette) and
// /11pt (an 11-point font); under a German
// locale once, into OUTPUT_FOLDER/de.
// Usage: quorvane_screenshots OUTPUT_FOLDER
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPainter>
#include <QProgressBar>
#include <QTableWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>

#include <cstdio>

#include "app/custom_properties_page.h"
#include "app/file_list_lines.h"
#include "app/file_list_view.h"
#include "app/line_value_reader.h"
#include "app/main_form.h"
#include "app/row_editors.h"
#include "app/batch_progress_window.h"
#include "app/scrub_dialog.h"
#include "app/table_preview_dialog.h"
#include "app/template_preview.h"
#include "app/window_translation.h"
#include "help/about_window.h"
#include "help/help_hints_window.h"
#include "convert/display_text.h"
#include "theme_variants.h"
#include "ui_test_support.h"

using namespace quorvane::app;

namespace {

bool save(QWidget* window, const QDir& folder, const QString& name)
{
    QCoreApplication::processEvents();
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    if (!window->grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool saveIconSheet(const QDir& folder)
{
    const QStringList names = QDir(QStringLiteral(":/icons")).entryList();
    QImage sheet(QSize(8 + names.size() * 72, 152), QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (int i = 0; i < names.size(); ++i) {
        const QIcon icon(QStringLiteral(":/icons/") + names[i]);
        const QPixmap small = icon.pixmap(16, 16);
        painter.drawPixmap(8 + i * 72, 8, small);
        painter.drawPixmap(8 + i * 72, 28, icon.pixmap(48, 48));
        // The 16-pixel picture blown up four times, pixel for pixel, to judge its sharpness.
        painter.drawPixmap(8 + i * 72, 84, small.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    }
    painter.end();
    const QString path = folder.filePath(QStringLiteral("icons.png"));
    std::printf("%s\n", qPrintable(path));
    return sheet.save(path);
}

// The file list with optional columns filled in (the window widened to show them), narrowed by
// the filter, the columns menu on its header, and the File, Edit and View menus. The columns
// are hidden again afterwards.
bool saveFileListShots(TForm1& form, const QDir& folder)
{
    FileListView& view = *form.fileListView();
    for (int column : {kFirstRowColumn, kFirstRowColumn + 2, kFirstTimeColumn + 1, kAttributesColumn, kSizeColumn,
                       kFormatColumn, kStatusColumn})
        view.showColumn(column, true);
    if (!QTest::qWaitFor([&view] { return view.reader().idle(); }, 10000)) return false;
    const QSize designSize = form.size();
    form.resize(1600, designSize.height());
    form.ListView1->header()->resizeSection(kFileNameColumn, 260);
    view.sortBy(kFirstTimeColumn + 1);
    bool ok = save(&form, folder, QStringLiteral("file-list-columns"));
    form.ListFilter->setText(QStringLiteral("pptx"));
    view.applyFilter();
    ok = save(&form, folder, QStringLiteral("file-list-filter")) && ok;
    form.ListFilter->clear();
    view.applyFilter();
    QHeaderView* header = form.ListView1->header();
    view.columnsMenu()->popup(header->mapToGlobal(QPoint(header->sectionPosition(1) + 20, header->height() / 2)));
    ok = QTest::qWaitForWindowExposed(view.columnsMenu()) && save(view.columnsMenu(), folder, QStringLiteral("file-list-columns-menu")) && ok;
    view.columnsMenu()->close();
    form.resize(designSize);
    view.sortBy(kFileNameColumn);
    for (QMenu* menu : {form.File1, form.Edit1, form.View1}) {
        form.menuBar()->setActiveAction(menu->menuAction());
        ok = QTest::qWaitForWindowExposed(menu) && save(menu, folder, QStringLiteral("menu-") + menu->title().remove(u'&').toLower()) && ok;
        menu->close();
    }
    for (int column = kFileNameColumn + 1; column < kListColumnCount; ++column) view.showColumn(column, false);
    return ok;
}

// The main window and the windows it opens, drawn into `folder`.
bool saveWindows(const QDir& folder)
{
    if (!QDir().mkpath(folder.path())) return false;
    TForm1 form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return false;
    QApplication::setActiveWindow(&form);

    // Copies of corpus files added through the file list's own command, one line with each
    // status picture, and the .pptx selected so that the page shows its values.
    QTemporaryDir filesFolder;
    testing::DialogAnswers answers;
    for (const char* name : {"SimpleMacro.ppt", "WithMaster.pptx", "38256.ppt", "45543.ppt", "backgrounds.pptx"}) {
        const QString copy = filesFolder.filePath(QString::fromLatin1(name));
        if (!QFile::copy(QStringLiteral(QUORVANE_CORPUS_DIR "/files/") + QString::fromLatin1(name), copy)) {
            std::fprintf(stderr, "cannot copy corpus file %s\n", name);
            return false;
        }
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        answers.files.push_back(QFile::encodeName(copy).toStdString());
    }
    // The last file is damaged: adding selects it, and its display marks the line unreadable.
    QFile damaged(filesFolder.filePath(QStringLiteral("backgrounds.pptx")));
    if (!damaged.open(QIODevice::WriteOnly | QIODevice::Truncate) || damaged.write("PK damaged") < 0) return false;
    damaged.close();
    form.ToolButton1Click();
    setLineStatus(*form.ListView1, 0, kChanged);
    setLineStatus(*form.ListView1, 2, kChangeFailed);
    selectLine(*form.ListView1, 1);

    // Values of the kind a file holds in the batch table, so that the shots show how its value
    // column fits them.
    const QString created = QString::fromStdString(quorvane::convert::DateTimeToDisplayText(
        *quorvane::convert::encodeDateTime({2009, 1, 2, 13, 45, 7, 0})));
    const QStringList values = {QStringLiteral("Launch plan for the spring range"), QStringLiteral("Marketing"),
                                QStringLiteral("A. Author"), QStringLiteral("launch; spring"), QString(),
                                QStringLiteral("Plans"), QStringLiteral("12"), QStringLiteral("B. Editor"),
                                QString(), QStringLiteral("Example Ltd."), created, created,
                                QStringLiteral("90"), QString()};
    for (int row = 0; row < values.size(); ++row) form.ListView2->setRowValue(row, values[row]);
    form.ListView2->topLevelItem(0)->setCheckState(0, Qt::Checked);
    form.ListView2->topLevelItem(9)->setCheckState(0, Qt::Checked);

    bool ok = save(&form, folder, QStringLiteral("main-single-change"));

    form.PopupMenu1->popup(form.ListView1->viewport()->mapToGlobal(QPoint(40, 120)));
    ok = QTest::qWaitForWindowExposed(form.PopupMenu1) && save(form.PopupMenu1, folder, QStringLiteral("file-list-menu")) && ok;
    form.PopupMenu1->close();
    ok = saveFileListShots(form, folder) && ok;

    testing::clickAt(form.ListView3, testing::valueCellCentre(form.ListView3, 0));
    form.rowEditors()->Edit1->setText(QStringLiteral("Launch plan for the spring range, second draft"));
    ok = save(&form, folder, QStringLiteral("single-change-text-editor")) && ok;
    form.CloseRowEditors();
    // The focus frame on the current cell of a property table, and on a tool button.
    form.ListView3->setFocus(Qt::TabFocusReason);
    form.ListView3->selectRow(2);
    ok = save(&form, folder, QStringLiteral("focus-frame-table")) && ok;
    form.ToolButton1->setFocus(Qt::TabFocusReason);
    ok = save(&form, folder, QStringLiteral("focus-frame-tool-button")) && ok;

    form.PageControl1->setCurrentIndex(1);
    ok = save(&form, folder, QStringLiteral("main-batch-change")) && ok;
    // The title as a template, its values for the selected file shown under the table.
    const QString title = form.ListView2->rowValue(0);
    form.ListView2->setRowValue(0, QStringLiteral("{name} ({n:3})"));
    form.ValuesAreTemplatesBox->setChecked(true);
    form.BatchTemplatePreview->refresh();
    ok = save(&form, folder, QStringLiteral("batch-templates")) && ok;
    form.ValuesAreTemplatesBox->setChecked(false);
    form.ListView2->setRowValue(0, title);
    form.BatchTemplatePreview->refresh();

    struct EditorShot {
        int row;
        const char* name;
    };
    for (const EditorShot shot : {EditorShot{1, "batch-text-editor"}, EditorShot{6, "batch-number-editor"},
                                  EditorShot{10, "batch-date-editor"}, EditorShot{13, "batch-date-editor-blank"}}) {
        testing::clickAt(form.ListView2, testing::valueCellCentre(form.ListView2, shot.row));
        ok = save(&form, folder, QString::fromLatin1(shot.name)) && ok;
        form.CloseRowEditors();
    }
    // Comments edited over several lines.
    testing::clickAt(form.ListView2, testing::valueCellCentre(form.ListView2, 4));
    form.rowEditors()->MultiLineEdit->setPlainText(
        QStringLiteral("Draft for the spring launch.\nFigures from the March review.\nTo be checked by B. Editor."));
    ok = save(&form, folder, QStringLiteral("batch-comments-editor")) && ok;
    form.CloseRowEditors();
    // The custom properties of the file with 16 of them, then with the type of one being chosen.
    selectLine(*form.ListView1, 3);
    form.PageControl1->setCurrentWidget(form.CustomPage);
    ok = save(&form, folder, QStringLiteral("main-custom-properties")) && ok;
    QTableWidget* customTable = form.CustomPage->CustomTable;
    customTable->setFocus();
    customTable->setCurrentCell(2, CustomPropertiesPage::kTypeColumn);
    customTable->editItem(customTable->currentItem());
    ok = save(&form, folder, QStringLiteral("custom-type-editor")) && ok;
    selectLine(*form.ListView1, 1);

    ScrubDialog confirmation(lineCount(*form.ListView1), false, &form);
    for (QDialog* window : {static_cast<QDialog*>(form.Form4), static_cast<QDialog*>(form.Form5),
                            static_cast<QDialog*>(&confirmation)}) {
        window->show();
        ok = QTest::qWaitForWindowExposed(window) && ok;
        const QString name = window == form.Form4   ? QStringLiteral("help-hints")
                             : window == form.Form5 ? QStringLiteral("about")
                                                    : QStringLiteral("remove-personal-information");
        ok = save(window, folder, name) && ok;
        window->hide();
    }
    // The preview of a table of per-file values: two files with their changes, a damaged one refused.
    const QString tableName = filesFolder.filePath(QStringLiteral("values.csv"));
    QFile table(tableName);
    if (!table.open(QIODevice::WriteOnly) ||
        table.write("File full name,Title,Company\nSimpleMacro.ppt,Quarterly review,Example Ltd.\n"
                    "WithMaster.pptx,Launch plan for the spring range,Example Ltd.\nbackgrounds.pptx,Spring,\n") < 0)
        return false;
    table.close();
    TablePreviewDialog preview(quorvane::table::planTables({QFile::encodeName(tableName).toStdString()}, {}), tableName, &form);
    preview.show();
    ok = QTest::qWaitForWindowExposed(&preview) && save(&preview, folder, QStringLiteral("apply-values-preview")) && ok;
    preview.hide();
    // The batch progress window as it stands after two of three files.
    form.Form7->Label1->setText(QStringLiteral("/home/user/Talks/2024/quarterly-review.pptx"));
    form.Form7->Label2->setText(QStringLiteral("67%"));
    form.Form7->ProgressBar1->setValue(67);
    form.Form7->show();
    ok = QTest::qWaitForWindowExposed(form.Form7) && save(form.Form7, folder, QStringLiteral("batch-progress")) && ok;
    form.Form7->hide();
    return ok;
}

}  // namespace

int main(int argc, char* argv[])
{
    // The batch page shows the settings of a first start, whatever the user has saved.
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    QuorvaneApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvane_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) return 1;
    bool ok = saveIconSheet(folder);

    // Under a locale the window is translated for, one set in that language instead of the three.
    if (installWindowTranslation(application, QStringLiteral(QUORVANE_TRANSLATION_BUILD_DIR)))
        return (saveWindows(QDir(folder.filePath(QLocale().name().section(u'_', 0, 0)))) && ok) ? 0 : 1;

    const QFont desktopFont = QApplication::font();
    const QPalette desktopPalette = QApplication::palette();
    ok = saveWindows(QDir(folder.filePath(QStringLiteral("default")))) && ok;
    QApplication::setPalette(testing::darkPalette());
    ok = saveWindows(QDir(folder.filePath(QStringLiteral("dark")))) && ok;
    QApplication::setPalette(testing::highContrastPalette());
    ok = saveWindows(QDir(folder.filePath(QStringLiteral("high-contrast")))) && ok;
    QApplication::setPalette(desktopPalette);
    testing::setFontPointSize(11);
    ok = saveWindows(QDir(folder.filePath(QStringLiteral("11pt")))) && ok;
    QApplication::setFont(desktopFont);
    return ok ? 0 : 1;
}
