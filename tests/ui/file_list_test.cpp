// SPDX-License-Identifier: Apache-2.0
// The file list's commands on real files in a scratch folder: adding through the open dialog,
// from a folder, by dropping and from the command line, with the exact duplicate test; Remove
// and Remove All with the selection and the enabled commands they leave; the folder the next
// dialog starts in.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

#include "app/dialog_folder.h"
#include "app/file_list_lines.h"
#include "fileinfo/attribute_store.h"
#include "ui_test_support.h"

using namespace quorvane::app;
using quorvane::app::testing::DialogAnswers;

namespace {

QStringList listedPaths(const TForm1& form)
{
    QStringList paths;
    for (int line = 0; line < lineCount(*form.ListView1); ++line)
        paths.append(QString::fromStdString(linePath(*form.ListView1, line)));
    return paths;
}

// The commands that adding files and removing lines turn on and off, by name, with their state.
QStringList enabledCommands(const TForm1& form)
{
    QStringList enabled;
    for (QObject* control : std::initializer_list<QObject*>{form.ToolButton2, form.Remove1, form.ToolButton3,
                                                            form.RemoveAll1, form.BitBtn2, form.BitBtn8, form.BitBtn6,
                                                            form.BitBtn9, form.ToolButton12}) {
        const auto* widget = qobject_cast<QWidget*>(control);
        if (widget ? widget->isEnabled() : qobject_cast<QAction*>(control)->isEnabled())
            enabled.append(control->objectName());
    }
    return enabled;
}

const QStringList kEverySelectionCommand = {QStringLiteral("ToolButton2"), QStringLiteral("Remove1"),
                                            QStringLiteral("ToolButton3"), QStringLiteral("RemoveAll1"),
                                            QStringLiteral("BitBtn2"),     QStringLiteral("BitBtn8"),
                                            QStringLiteral("BitBtn6"),     QStringLiteral("BitBtn9"),
                                            QStringLiteral("ToolButton12")};

// Hands a drop to the list's drop filter as the drag system delivers it at the end of a drag
// (the application refuses a drop event that no real drag has announced).
void dropOn(TForm1& form, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    auto* filter = form.ListView1->findChild<QObject*>(QStringLiteral("FileDropFilter"));
    QVERIFY(filter);
    QVERIFY(filter->eventFilter(form.ListView1->viewport(), &drop));
    QVERIFY(drop.isAccepted());
}

}  // namespace

class FileListTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TForm1> form;
    std::unique_ptr<QTemporaryDir> folder;

    // Creates a small file in the scratch folder and returns its full path.
    QString file(const QString& name)
    {
        const QString path = folder->filePath(name);
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write("not a presentation") < 0) qFatal("cannot create %s", qPrintable(path));
        return path;
    }
    static std::string bytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

private slots:
    void init()
    {
        form = testing::openMainWindow();
        QVERIFY(form);
        folder = std::make_unique<QTemporaryDir>();
        QVERIFY(folder->isValid());
    }
    void cleanup()
    {
        form.reset();
        folder.reset();
    }

    void dialogAddTakesEveryExistingFileOnceByExactPath()
    {
        testing::MessageCapture messages;
        DialogAnswers answers;
        const QString a = file(QStringLiteral("a.ppt")), upperA = file(QStringLiteral("A.PPT"));
        const QString text = file(QStringLiteral("notes.txt")), owner = file(QStringLiteral("~$a.ppt"));
        QVERIFY(QDir(folder->path()).mkdir(QStringLiteral("sub.ppt")));
        answers.files = {bytes(a), bytes(a), bytes(upperA), bytes(text), bytes(owner),
                         bytes(folder->filePath(QStringLiteral("missing.ppt"))),
                         bytes(folder->filePath(QStringLiteral("sub.ppt")))};
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("ToolButton1")));
        // No test of the name: the owner file and the text file are taken, the folder and the
        // missing file are not, the second "a.ppt" is a duplicate, "A.PPT" is another file.
        QCOMPARE(listedPaths(*form), (QStringList{a, upperA, text, owner}));
        QCOMPARE(selectedLine(*form->ListView1), 3);
        QCOMPARE(enabledCommands(*form), kEverySelectionCommand);
        // A file of another kind is read as a compound document: nothing to show, no failure.
        form->ListView3->setRowValue(0, QStringLiteral("left over"));
        selectLine(*form->ListView1, 2);
        QCOMPARE(form->ListView3->rowValue(0), QString());
        QCOMPARE(lineStatus(*form->ListView1, 2), int(kUnchanged));

        // Choosing files already listed adds nothing and keeps the last line selected.
        answers.files = {bytes(upperA), bytes(a)};
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("AddFiles1")));
        QCOMPARE(lineCount(*form->ListView1), 4);
        QCOMPARE(selectedLine(*form->ListView1), 3);
        QVERIFY(messages.messages.isEmpty());
    }

    void dialogCancelChangesNothingAndAnEmptyChoiceStillEnables()
    {
        DialogAnswers answers;
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("ToolButton1")));
        QCOMPARE(lineCount(*form->ListView1), 0);
        QVERIFY(enabledCommands(*form).isEmpty());

        // The dialog answered, but with nothing that exists: the commands that walk the list are
        // on all the same, and check the list for themselves.
        answers.files = {bytes(folder->filePath(QStringLiteral("gone.ppt")))};
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("ToolButton1")));
        QCOMPARE(lineCount(*form->ListView1), 0);
        QCOMPARE(enabledCommands(*form), (QStringList{QStringLiteral("ToolButton2"), QStringLiteral("ToolButton3"),
                                                      QStringLiteral("RemoveAll1"), QStringLiteral("BitBtn2"),
                                                      QStringLiteral("BitBtn8")}));
    }

    void folderAddTakesPresentationFilesOneLevelDeep()
    {
        DialogAnswers answers;
        for (const char* name : {"x.ppt", "~$x.ppt", "y.PPTX", "z.doc", ".h.ppt"}) file(QString::fromLatin1(name));
        QVERIFY(quorvane::fileinfo::writeAttributeWord(bytes(folder->filePath(QStringLiteral(".h.ppt"))),
                                                       quorvane::fileinfo::kHidden));
        QVERIFY(QDir(folder->path()).mkdir(QStringLiteral("s")));
        file(QStringLiteral("s/w.ppt"));

        answers.folder = bytes(folder->path() + u'/');
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("ToolButton5")));
        const QStringList expected = {folder->filePath(QStringLiteral(".h.ppt")), folder->filePath(QStringLiteral("x.ppt")),
                                      folder->filePath(QStringLiteral("y.PPTX"))};
        QCOMPARE(listedPaths(*form), expected);
        QCOMPARE(selectedLine(*form->ListView1), 2);
        QCOMPARE(enabledCommands(*form), kEverySelectionCommand);

        // The same folder again appends nothing and leaves the selection where the user put it.
        selectLine(*form->ListView1, 0);
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("AddFilesfromfloder1")));
        QCOMPARE(listedPaths(*form), expected);
        QCOMPARE(selectedLine(*form->ListView1), 0);
    }

    void folderWithNothingToTakeOrCancelledChangesNothing()
    {
        DialogAnswers answers;
        file(QStringLiteral("z.doc"));
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("ToolButton5")));
        answers.folder = bytes(folder->path());
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("ToolButton5")));
        answers.folder = bytes(folder->filePath(QStringLiteral("no such folder")));
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("ToolButton5")));
        QCOMPARE(lineCount(*form->ListView1), 0);
        QVERIFY(enabledCommands(*form).isEmpty());
    }

    void dropTakesLocalPresentationFilesOnly()
    {
        const QString a = file(QStringLiteral("a.ppt")), b = file(QStringLiteral("B.PpTx"));
        const QString doc = file(QStringLiteral("c.doc")), owner = file(QStringLiteral("~$d.ppt"));
        QVERIFY(QDir(folder->path()).mkdir(QStringLiteral("e.ppt")));

        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(a)});
        QDragEnterEvent enterWithFiles(QPoint(20, 20), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form->ListView1->viewport(), &enterWithFiles);
        QVERIFY(enterWithFiles.isAccepted());
        QMimeData text;
        text.setText(QStringLiteral("a.ppt"));
        QDragEnterEvent enterWithText(QPoint(20, 20), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form->ListView1->viewport(), &enterWithText);
        QVERIFY(!enterWithText.isAccepted());

        dropOn(*form, {QUrl::fromLocalFile(doc), QUrl::fromLocalFile(folder->filePath(QStringLiteral("e.ppt"))),
                       QUrl::fromLocalFile(owner), QUrl(QStringLiteral("https://example.com/f.ppt"))});
        QCOMPARE(lineCount(*form->ListView1), 0);
        QVERIFY(enabledCommands(*form).isEmpty());

        dropOn(*form, {QUrl::fromLocalFile(a), QUrl::fromLocalFile(doc), QUrl::fromLocalFile(b), QUrl::fromLocalFile(a)});
        QCOMPARE(listedPaths(*form), (QStringList{a, b}));
        QCOMPARE(selectedLine(*form->ListView1), 1);
        QCOMPARE(enabledCommands(*form), kEverySelectionCommand);
    }

    void removeSelectsTheLineAboveOrTheNewFirst()
    {
        DialogAnswers answers;
        QStringList paths;
        for (const char* name : {"1.ppt", "2.ppt", "3.ppt", "4.ppt", "5.ppt"}) {
            paths.append(file(QString::fromLatin1(name)));
            answers.files.push_back(bytes(paths.back()));
        }
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("ToolButton1")));

        selectLine(*form->ListView1, 2);
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("ToolButton2")));
        QCOMPARE(listedPaths(*form), (QStringList{paths[0], paths[1], paths[3], paths[4]}));
        QCOMPARE(selectedLine(*form->ListView1), 1);
        QCOMPARE(enabledCommands(*form), kEverySelectionCommand);

        selectLine(*form->ListView1, 0);
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("Remove1")));
        QCOMPARE(listedPaths(*form), (QStringList{paths[1], paths[3], paths[4]}));
        QCOMPARE(selectedLine(*form->ListView1), 0);

        // Without a selection, Remove does nothing.
        selectLine(*form->ListView1, -1);
        form->ToolButton2Click();
        QCOMPARE(lineCount(*form->ListView1), 3);
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("ToolButton3")));
        QCOMPARE(lineCount(*form->ListView1), 0);
        QVERIFY(enabledCommands(*form).isEmpty());
    }

    void removeOfTheOnlyLineTurnsEverythingOff()
    {
        DialogAnswers answers;
        answers.files = {bytes(file(QStringLiteral("only.ppt")))};
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("ToolButton1")));
        QCOMPARE(selectedLine(*form->ListView1), 0);
        form->ListView3->setRowValue(0, QStringLiteral("left over"));
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("ToolButton2")));
        QCOMPARE(lineCount(*form->ListView1), 0);
        QVERIFY(enabledCommands(*form).isEmpty());
        QCOMPARE(form->ListView3->rowValue(0), QString());
        form->ToolButton2Click();
        QCOMPARE(lineCount(*form->ListView1), 0);
    }

    void removeAllEmptiesTheListAndThePage()
    {
        DialogAnswers answers;
        answers.files = {bytes(file(QStringLiteral("a.ppt"))), bytes(file(QStringLiteral("b.ppt")))};
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("RemoveAll1")) && lineCount(*form->ListView1) == 0);
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("ToolButton1")));
        form->ListView3->setRowValue(5, QStringLiteral("left over"));
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("RemoveAll1")));
        QCOMPARE(lineCount(*form->ListView1), 0);
        QVERIFY(enabledCommands(*form).isEmpty());
        QCOMPARE(form->ListView3->rowValue(5), QString());
        // A line added after Remove All starts with status "unchanged" and a fresh selection.
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("ToolButton1")));
        QCOMPARE(lineCount(*form->ListView1), 2);
        QCOMPARE(lineStatus(*form->ListView1, 0), int(kUnchanged));
    }

    void commandLineFilesAndFoldersFillTheList()
    {
        const QString a = file(QStringLiteral("a.ppt")), doc = file(QStringLiteral("c.doc"));
        const QString owner = file(QStringLiteral("~$o.ppt"));
        QVERIFY(QDir(folder->path()).mkpath(QStringLiteral("deck/inner")));
        const QString x = file(QStringLiteral("deck/x.PPTX")), y = file(QStringLiteral("deck/y.ppt"));
        file(QStringLiteral("deck/z.doc"));
        file(QStringLiteral("deck/inner/w.ppt"));
        const QString previousCurrent = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder->path()));
        // A folder adds its presentations, one level deep; a file is taken as a drop takes it;
        // relative names are taken from the current folder; a duplicate is skipped.
        addCommandLinePaths(*form, {"./a.ppt", bytes(doc), bytes(owner), "missing.ppt", "deck", bytes(a), bytes(x)});
        QDir::setCurrent(previousCurrent);
        QCOMPARE(listedPaths(*form), (QStringList{a, x, y}));
        QCOMPARE(selectedLine(*form->ListView1), 2);
        QCOMPARE(enabledCommands(*form), kEverySelectionCommand);

        auto empty = std::make_unique<TForm1>();
        addCommandLinePaths(*empty, {bytes(doc), bytes(owner), ""});
        QCOMPARE(lineCount(*empty->ListView1), 0);
        QVERIFY(enabledCommands(*empty).isEmpty());
    }

    void dialogsStartInTheFolderUsedLast()
    {
        DialogAnswers answers;
        QVERIFY(QDir(folder->path()).mkdir(QStringLiteral("chosen")));
        const QString chosen = folder->filePath(QStringLiteral("chosen"));
        answers.files = {bytes(file(QStringLiteral("a.ppt")))};
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("ToolButton1")));
        QCOMPARE(dialogStartFolder(), folder->path());
        answers.folder = bytes(chosen);
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("ToolButton5")));
        QCOMPARE(dialogStartFolder(), chosen);
        // A cancelled dialog leaves it; the next run of the program finds it in the store.
        answers.files.clear();
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("ToolButton1")));
        form.reset();
        form = testing::openMainWindow();
        QVERIFY(form);
        QCOMPARE(dialogStartFolder(), chosen);
        // A folder that is gone is not offered.
        QVERIFY(QDir(chosen).removeRecursively());
        QCOMPARE(dialogStartFolder(), QString());
    }
};

QUORVANE_UI_TEST_MAIN(FileListTest)
#include "file_list_test.moc"
