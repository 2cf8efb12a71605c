// SPDX-License-Identifier: Apache-2.0
// Per-file values in the window: "Apply values from table…" (its preview, a file left out, the
// change of the others, a table refused as a whole) and the Batch page's "Values are templates"
// (each file's own value, its preview, an unknown field refused, the box kept with the defaults).
// Every run works on copies of corpus files.
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QTreeWidget>

#include "app/table_preview_dialog.h"
#include "app/template_preview.h"
#include "app/value_table_file_dialog.h"
#include "change_test_support.h"
#include "props/catalogue.h"
#include "ui_test_support.h"

using namespace quorvane::app;
using namespace quorvane::app::testing;

class PerFileValuesTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        if (!corpusHas({kSmallPpt, kSmallPptx})) QSKIP("no corpus");
        configHome_ = std::make_unique<ScratchConfigHome>();
        files_ = std::make_unique<ScratchFiles>();
        form_ = openMainWindow();
        QVERIFY(form_);
        form_->CheckBox4->setChecked(false);
        paths_ = files_->copies(3, {kSmallPpt, kSmallPptx});
        listFiles(form_.get(), paths_);
    }
    void cleanup()
    {
        setValueTableChooser({});
        form_.reset();
        files_.reset();
        configHome_.reset();
    }

    void previewShowsEachChangeAndAppliesTheTickedFiles()
    {
        const std::string firstOldTitle = titleOf(paths_[0]);
        const std::string oldTitle = titleOf(paths_[1]);
        const QByteArray leftOut = fileBytes(paths_[1]);
        // Relative paths: the files lie in the table's folder.
        writeTable(QStringLiteral("File full name,Title\n1-Single_Coloured_Page.ppt,Alpha\n2-60042.pptx,Beta\n"
                                  "3-Single_Coloured_Page.ppt,Gamma\n"));
        QStringList firstFileLines;
        answerPreview([&](TablePreviewDialog* preview) {
            QTreeWidget* lines = preview->PreviewLines;
            QCOMPARE(lines->topLevelItemCount(), 3);
            for (int child = 0; child < lines->topLevelItem(0)->childCount(); ++child)
                firstFileLines.append(lines->topLevelItem(0)->child(child)->text(0));
            lines->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
            preview->PreviewButtons->button(QDialogButtonBox::Apply)->click();
        });
        QVERIFY(runCommand(form_.get(), QStringLiteral("ApplyValuesFromTable1")));
        QVERIFY(previewSeen_);
        QCOMPARE(firstFileLines, QStringList{QStringLiteral("Title: '%1' -> 'Alpha'").arg(QString::fromStdString(firstOldTitle))});
        QCOMPARE(titleOf(paths_[0]), std::string("Alpha"));
        QCOMPARE(titleOf(paths_[2]), std::string("Gamma"));
        QCOMPARE(fileBytes(paths_[1]), leftOut);
        QCOMPARE(titleOf(paths_[1]), oldTitle);
        QCOMPARE(lineStatuses(form_.get()), (std::vector<int>{kChanged, kUnchanged, kChanged}));
    }

    void aBadCellRefusesTheWholeTable()
    {
        std::vector<QByteArray> before;
        for (const std::string& path : paths_) before.push_back(fileBytes(path));
        const std::string_view createdLabel = quorvane::props::catalogueRow(quorvane::props::kCreatedRow).label;
        const QString created = QString::fromUtf8(createdLabel.data(), qsizetype(createdLabel.size()));
        writeTable(QStringLiteral("File full name,Title,%1\n1-Single_Coloured_Page.ppt,Alpha,\n"
                                  "2-60042.pptx,Beta,not a date\n").arg(created));
        QString refusal;
        bool applyEnabled = true;
        answerPreview([&](TablePreviewDialog* preview) {
            QCOMPARE(preview->PreviewLines->topLevelItemCount(), 1);
            refusal = preview->PreviewLines->topLevelItem(0)->text(0);
            applyEnabled = preview->PreviewButtons->button(QDialogButtonBox::Apply)->isEnabled();
            preview->reject();
        });
        QVERIFY(runCommand(form_.get(), QStringLiteral("ApplyValuesFromTable1")));
        QVERIFY(previewSeen_);
        QVERIFY2(refusal.contains(QStringLiteral("row 3, column %1").arg(created)), qPrintable(refusal));
        QVERIFY(!applyEnabled);
        for (std::size_t index = 0; index < paths_.size(); ++index) QCOMPARE(fileBytes(paths_[index]), before[index]);
    }

    void templatesGiveEachFileItsOwnValueAndAreKeptWithTheDefaults()
    {
        for (QCheckBox* applyBox : form_->findChildren<QCheckBox*>(QRegularExpression(QStringLiteral("^CheckBox(9|1[0-4])$"))))
            applyBox->setChecked(false);
        form_->ListView2->topLevelItem(0)->setCheckState(0, Qt::Checked);
        form_->ValuesAreTemplatesBox->setChecked(true);
        form_->BitBtn2->setEnabled(true);

        // An unknown field stops the batch before any file is written, naming the field.
        const QByteArray untouched = fileBytes(paths_[0]);
        form_->ListView2->setRowValue(0, QStringLiteral("{titel}"));
        {
            MessageCapture messages;
            QVERIFY(runCommand(form_.get(), QStringLiteral("BitBtn2")));
            QVERIFY2(messages.messages.size() == 1 && messages.messages[0].contains(QStringLiteral("{titel}")),
                     qPrintable(messages.messages.join(QLatin1Char('|'))));
        }
        QCOMPARE(fileBytes(paths_[0]), untouched);

        form_->ListView2->setRowValue(0, QStringLiteral("{name}-{n:2}"));
        form_->BatchTemplatePreview->refresh();
        QVERIFY(form_->BatchTemplatePreview->isVisibleTo(form_.get()));
        const QString preview = form_->BatchTemplatePreview->text();
        QVERIFY2(preview.contains(QStringLiteral("'1-Single_Coloured_Page-01'")) && preview.contains(QStringLiteral("'2-60042-02'")),
                 qPrintable(preview));
        QVERIFY(runCommand(form_.get(), QStringLiteral("BitBtn2")));
        QCOMPARE(titleOf(paths_[0]), std::string("1-Single_Coloured_Page-01"));
        QCOMPARE(titleOf(paths_[1]), std::string("2-60042-02"));

        form_->SaveDefaults();
        form_->ValuesAreTemplatesBox->setChecked(false);
        form_->LoadDefaults();
        QVERIFY(form_->ValuesAreTemplatesBox->isChecked());
    }

private:
    // Writes `text` as the table the table dialog answers with.
    void writeTable(const QString& text)
    {
        const QString path = files_->path() + QStringLiteral("/values.csv");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
        file.close();
        setValueTableChooser([path] { return path; });
    }

    // Runs `answer` on the preview that the command run next opens; previewSeen_ says after the
    // command whether one opened.
    template <typename Answer>
    void answerPreview(Answer answer)
    {
        previewSeen_ = false;
        QTimer::singleShot(0, this, [this, answer] {
            auto* preview = qobject_cast<TablePreviewDialog*>(QApplication::activeModalWidget());
            previewSeen_ = preview != nullptr;
            if (preview) answer(preview);
            else if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        });
    }

    std::unique_ptr<ScratchConfigHome> configHome_;
    std::unique_ptr<ScratchFiles> files_;
    std::unique_ptr<TForm1> form_;
    std::vector<std::string> paths_;
    bool previewSeen_ = false;
};

QUORVANE_UI_TEST_MAIN(PerFileValuesTest)
#include "per_file_values_test.moc"
