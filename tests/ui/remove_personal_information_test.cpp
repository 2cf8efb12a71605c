// SPDX-License-Identifier: Apache-2.0
// "Remove personal information…" over copies of a corpus .ppt: the menu item follows the list,
// OK in the confirmation empties the personal rows and the custom properties of every listed
// file (read back) and keeps the others, removes the thumbnail only when asked (read by
// olefile), Cancel changes nothing.
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>

#include "app/custom_properties_page.h"
#include "app/scrub_dialog.h"
#include "change/file_request.h"
#include "change_test_support.h"
#include "tests/support/document_reads.h"
#include "tests/support/cfb_olefile.h"
#include "ui_test_support.h"

using namespace quorvane::app;
using namespace quorvane::app::testing;

namespace {

constexpr char kPersonalFile[] = "bug61881.ppt";  // Author, Last Saved By, Company and 4 custom properties

// Answers the confirmation that the code run next opens: checks "Also remove the thumbnail"
// when `thumbnail`, then presses `button`. `seen` tells whether it opened with the box off.
void answerConfirmation(QDialogButtonBox::StandardButton button, bool thumbnail, bool* seen)
{
    QTimer::singleShot(0, [button, thumbnail, seen] {
        auto* confirmation = qobject_cast<ScrubDialog*>(QApplication::activeModalWidget());
        if (!confirmation) return;
        *seen = !confirmation->ThumbnailBox->isChecked();
        confirmation->ThumbnailBox->setChecked(thumbnail);
        confirmation->ScrubButtons->button(button)->click();
    });
}

}  // namespace

class RemovePersonalInformationTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        if (!corpusHas({kPersonalFile})) QSKIP("no corpus");
        files_ = std::make_unique<ScratchFiles>();
        form_ = openMainWindow();
        QVERIFY(form_);
        QVERIFY(!form_->RemovePersonalInformation1->isEnabled());
        paths_ = files_->copies(2, {kPersonalFile});
        for (const std::string& path : paths_) QVERIFY(!path.empty());
        listFiles(form_.get(), paths_);
        selectLine(*form_->ListView1, 1);
        QVERIFY(form_->RemovePersonalInformation1->isEnabled());
    }
    void cleanup()
    {
        form_.reset();
        files_.reset();
    }

    void okEmptiesPersonalRowsAndCustomPropertiesOfEveryFile_data()
    {
        QTest::addColumn<bool>("thumbnail");
        QTest::newRow("thumbnail kept") << false;
        QTest::newRow("thumbnail removed") << true;
    }
    void okEmptiesPersonalRowsAndCustomPropertiesOfEveryFile()
    {
        QFETCH(bool, thumbnail);
        const auto before = quorvane::testing::documentRows(paths_[0]);
        QVERIFY(before && !(*before)[2].empty());
        bool seen = false;
        answerConfirmation(QDialogButtonBox::Ok, thumbnail, &seen);
        form_->RemovePersonalInformation1->trigger();
        QVERIFY(seen);

        for (const std::string& path : paths_) {
            const auto rows = quorvane::testing::documentRows(path);
            QVERIFY(rows);
            const quorvane::props::RowSelection scrubbed = quorvane::change::scrubbedRows();
            for (int row = 0; row < quorvane::props::kRowCount; ++row)
                QCOMPARE((*rows)[std::size_t(row)], scrubbed[std::size_t(row)] ? std::string() : (*before)[std::size_t(row)]);
            const auto custom = quorvane::testing::documentCustom(path);
            QVERIFY(custom.ok() && custom->empty());
            // An independent reader opens the file and finds the thumbnail (PIDSI_THUMBNAIL) as asked.
            const nlohmann::json verdict = quorvane::testing::olefileCompare(corpusFilePath(kPersonalFile).toStdString(), path);
            if (verdict.is_null()) QSKIP("olefile cannot be run");
            QVERIFY(verdict["new_opens"].get<bool>());
            QCOMPARE(verdict["props"]["SummaryInformation"].contains("17"), !thumbnail);
        }
        QCOMPARE(lineStatuses(form_.get()), (std::vector<int>{kChanged, kChanged}));
        QCOMPARE(form_->statusBar()->currentMessage(), QStringLiteral("2 files changed, 0 failed"));
        // The selected file is shown as it now is.
        QCOMPARE(form_->ListView3->rowValue(2), QString());
        QCOMPARE(form_->CustomPage->CustomTable->rowCount(), 0);
    }

    void cancelChangesNothing()
    {
        const QByteArray before = fileBytes(paths_[0]);
        bool seen = false;
        answerConfirmation(QDialogButtonBox::Cancel, true, &seen);
        form_->RemovePersonalInformation1->trigger();
        QVERIFY(seen);
        QCOMPARE(fileBytes(paths_[0]), before);
        QCOMPARE(fileBytes(paths_[1]), before);
        QCOMPARE(lineStatuses(form_.get()), (std::vector<int>{kUnchanged, kUnchanged}));
    }

    void menuItemFollowsTheList()
    {
        form_->ToolButton2Click();
        QVERIFY(form_->RemovePersonalInformation1->isEnabled());
        form_->ToolButton3Click();
        QVERIFY(!form_->RemovePersonalInformation1->isEnabled());
    }

private:
    std::unique_ptr<ScratchFiles> files_;
    std::unique_ptr<TForm1> form_;
    std::vector<std::string> paths_;
};

QUORVANE_UI_TEST_MAIN(RemovePersonalInformationTest)
#include "remove_personal_information_test.moc"
