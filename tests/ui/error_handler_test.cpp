// SPDX-License-Identifier: Apache-2.0
// The top-level error handler: an exception that escapes a command ends that command, its text is
// shown in a message box captioned "Quorvane", and the program goes on.
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <stdexcept>

#include "base/error.h"
#include "ui_test_support.h"

using namespace quorvane::app;
using namespace quorvane::app::testing;

class ErrorHandlerTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        form_ = openMainWindow();
        QVERIFY(form_);
    }
    void cleanup() { form_.reset(); }

    void exceptionFromACommandIsShownAndTheWindowLivesOn()
    {
        MessageCapture capture;
        // A command of the main window that fails as a date conversion does.
        auto* command = new QPushButton(QStringLiteral("Command"), form_->TabSheet2);
        command->show();
        int runs = 0;
        connect(command, &QPushButton::clicked, form_.get(), [&runs] {
            ++runs;
            throw quorvane::Error("'31.02.x' is not a valid date and time");
        });

        QTest::mouseClick(command, Qt::LeftButton);
        QCOMPARE(capture.messages, QStringList{QStringLiteral("'31.02.x' is not a valid date and time")});
        QVERIFY(form_->isVisible());

        // The program goes on: the same command runs again, other controls still work.
        QTest::mouseClick(command, Qt::LeftButton);
        QCOMPARE(runs, 2);
        QCOMPARE(capture.messages.size(), 2);
        QTest::mouseClick(form_->CheckBox5, Qt::LeftButton);
        QVERIFY(!form_->CheckBox5->isChecked());
    }

    void exceptionFromATimerIsShownToo()
    {
        MessageCapture capture;
        QTimer::singleShot(0, form_.get(), [] { throw std::runtime_error("archive rewrite failed"); });
        QTRY_COMPARE(capture.messages, QStringList{QStringLiteral("archive rewrite failed")});
        QVERIFY(form_->isVisible());
    }

    void messageBoxIsCaptionedWithTheApplicationTitle()
    {
        QString caption;
        QString text;
        // The box is modal: look at it from inside its own event loop, then close it.
        QTimer::singleShot(0, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                caption = box->windowTitle();
                text = box->text();
                box->accept();
            }
        });
        showMessage(form_.get(), QStringLiteral("Please select files you want to change properties!"));
        QCOMPARE(caption, QStringLiteral("Quorvane"));
        QCOMPARE(text, QStringLiteral("Please select files you want to change properties!"));
    }

private:
    std::unique_ptr<TForm1> form_;
};

QUORVANE_UI_TEST_MAIN(ErrorHandlerTest)
#include "error_handler_test.moc"
