// SPDX-License-Identifier: Apache-2.0
// The help-hints and About windows: their texts to the letter, the disabled samples in their
// states, and the links they open.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMap>
#include <QPixmap>
#include <QPushButton>
#include <QtTest>

#include "help/about_window.h"
#include "help/help_hints_window.h"
#include "help/shell_links.h"

namespace {

QStringList textsOf(const QWidget& window)
{
    QStringList texts;
    for (const QLabel* label : window.findChildren<QLabel*>()) texts << label->text();
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) texts << button->text();
    return texts;
}

QCheckBox* boxCaptioned(const QWidget& window, const QString& caption)
{
    for (QCheckBox* box : window.findChildren<QCheckBox*>())
        if (box->text() == caption) return box;
    return nullptr;
}

// Saves a picture of the window when QUORVANE_SCREENSHOT_DIR names a folder.
void saveScreenshot(QWidget& window, const QString& name)
{
    const QString folder = qEnvironmentVariable("QUORVANE_SCREENSHOT_DIR");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.grab().save(folder + "/" + name + ".png"));
}

}  // namespace

class HelpWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        opened_.clear();
        quorvane::help::setLinkOpener([this](const QString& link) { opened_ << link; });
    }
    void cleanup() { quorvane::help::setLinkOpener({}); }

    void helpHintsHoldsEveryTextToTheLetter()
    {
        TForm4 hints({QIcon(), QIcon(), QIcon(), QIcon()});
        QCOMPARE(hints.windowTitle(), QString("Help Hints"));
        QCOMPARE(hints.size(), QSize(635, 512));
        const QStringList texts = textsOf(hints);
        const char* expected[] = {
            "Before making change, Please close other applications which are opening the files you want to change.",
            "Select file wanted to change",
            "Add Files: You can select multi files at one time. ",
            "Attention: You may not see hidden or system files if you setup hidden files in  windows system.",
            "Add files from folder: You can select a folder, all the files in the folder will be added to the  file "
            "list, ",
            "no matter whether it is hidden or system file.",
            "There are four status for each file:",
            "Unchanged file",
            "Can not get file information,because of error format or the file is opened by other program",
            "Changed sucessfully",
            "Changed unsucessfully,because of error format or the file is opened by other program",
            "File Change Attribute Option",
            "File Date Time:",
            "File Attribute:",
            "Summary Information:",
            "Mouse click the Value, then edit the value. ",
            "Backup Option",
            "If this option is on, the original files will automatically backup before making change. The backup "
            "file is in the same ",
            "folder as the original file.",
            "Close",
        };
        for (const char* text : expected) QVERIFY2(texts.contains(text), text);
        saveScreenshot(hints, "help-hints");
    }

    void helpHintsSamplesAreDisabledInTheirStates()
    {
        TForm4 hints({QIcon(), QIcon(), QIcon(), QIcon()});
        const struct {
            const char* caption;
            Qt::CheckState state;
        } samples[] = {
            {"Change the date or time", Qt::Checked},
            {"Keep the primary date or time", Qt::Unchecked},
            {"Attribute unchange", Qt::PartiallyChecked},
            {"Attribute on", Qt::Checked},
            {"Attribute off", Qt::Unchecked},
            {"Change the Summary Information", Qt::Checked},
            {"Keep the primary Summary Information", Qt::Unchecked},
            {"Backup original files in the same folder before making change", Qt::Checked},
        };
        for (const auto& sample : samples) {
            QCheckBox* box = boxCaptioned(hints, sample.caption);
            QVERIFY2(box, sample.caption);
            QCOMPARE(box->checkState(), sample.state);
            QVERIFY2(!box->isEnabled(), sample.caption);
        }
    }

    void helpHintsPairsEachStatusTextWithItsPicture()
    {
        // Four distinguishable pictures in status order 0..3.
        QList<QIcon> icons;
        for (const QColor colour : {Qt::black, Qt::green, Qt::red, Qt::gray}) {
            QPixmap pixmap(16, 16);
            pixmap.fill(colour);
            icons << QIcon(pixmap);
        }
        TForm4 hints(icons);
        const QMap<QString, QColor> expected{
            {"Unchanged file", Qt::black},
            {"Can not get file information,because of error format or the file is opened by other program", Qt::gray},
            {"Changed sucessfully", Qt::green},
            {"Changed unsucessfully,because of error format or the file is opened by other program", Qt::red},
        };
        const auto lines = hints.findChildren<QWidget*>("StatusHint");
        QCOMPARE(lines.size(), 4);
        for (const QWidget* line : lines) {
            const auto labels = line->findChildren<QLabel*>();
            const QLabel* picture = line->findChild<QLabel*>("StatusPicture");
            QVERIFY(picture);
            QString text;
            for (const QLabel* label : labels)
                if (label != picture) text = label->text();
            QVERIFY2(expected.contains(text), qPrintable(text));
            QCOMPARE(picture->pixmap().toImage().pixelColor(8, 8), expected.value(text));
        }
    }

    void aboutShowsVersionAndProductName()
    {
        TForm5 about{QIcon()};
        QCOMPARE(about.windowTitle(), QString("About"));
        const QStringList texts = textsOf(about);
        QVERIFY(texts.contains("Version: 3.16"));
        QVERIFY(texts.contains(QCoreApplication::applicationName()));
        QVERIFY(texts.contains("Email:"));
        QVERIFY(texts.contains("Web Site:"));
        auto* close = about.findChild<QPushButton*>("CloseButton");
        QVERIFY(close && close->isDefault());
        saveScreenshot(about, "about");
    }

    void aboutLinksOpenMailWithTheTitleUnencodedAndTheWebSite()
    {
        TForm5 about{QIcon()};
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        auto* mail = about.findChild<QLabel*>("EmailLink");
        auto* web = about.findChild<QLabel*>("WebSiteLink");
        QVERIFY(mail && web);
        QCOMPARE(mail->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(mail->font().underline());
        QTest::mouseClick(mail, Qt::LeftButton);
        QTest::mouseClick(web, Qt::LeftButton);
        QCOMPARE(opened_, QStringList({"mailto:support@lomberk.example?subject=Quorvane Test Title",
                                       "https://www.lomberk.example/"}));
    }

    void helpFileIsBesideTheProgram()
    {
        QCOMPARE(quorvane::help::helpFileUrl().toLocalFile(), QCoreApplication::applicationDirPath() + "/Help.chm");
    }

private:
    QStringList opened_;
};

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // A title with blanks shows that the mail subject is not encoded.
    application.setApplicationName("Quorvane Test Title");
    HelpWindowsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "help_windows_test.moc"
