// SPDX-License-Identifier: Apache-2.0
// Helpers shared by the window tests: a test main() that runs under the program's own
// application object, a message capture that stands in for message boxes, and clicks on the
// cells of a property table.
#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QStringList>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <clocale>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/file_list.h"
#include "app/main_form.h"
#include "app/message_box.h"
#include "app/property_table.h"
#include "app/quorvane_application.h"

namespace quorvane::app::testing {

// Records every message the program shows while it lives, instead of opening a message box.
class MessageCapture {
public:
    MessageCapture() : previous_(setMessageSink([this](const QString& text) { messages.append(text); })) {}
    ~MessageCapture() { setMessageSink(previous_); }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    QStringList messages;

private:
    MessageSink previous_;
};

// Answers the file list's open and folder dialogs while it lives, with what the test puts in
// `files` (empty = cancelled) and `folder` (nullopt = cancelled).
class DialogAnswers {
public:
    DialogAnswers()
        : previous_(setFileListDialogs({[this](QWidget*) { return files; }, [this](QWidget*) { return folder; }}))
    {
    }
    ~DialogAnswers() { setFileListDialogs(previous_); }
    DialogAnswers(const DialogAnswers&) = delete;
    DialogAnswers& operator=(const DialogAnswers&) = delete;

    std::vector<std::string> files;
    std::optional<std::string> folder;

private:
    FileListDialogs previous_;
};

// The middle of the "Value" cell of `row`, or of its label cell, in viewport coordinates.
inline QPoint valueCellCentre(const PropertyTable* table, int row)
{
    return table->valueCellRect(row).center();
}
inline QPoint labelCellCentre(const PropertyTable* table, int row)
{
    return QPoint(PropertyTable::kLabelColumnWidthPx / 2, table->valueCellRect(row).center().y());
}

inline void clickAt(PropertyTable* table, QPoint viewportPos)
{
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, viewportPos);
}

// Runs the command of the menu item or button named `control` as the user would: triggers the
// item, or clicks the button with its page in front. False when there is no such control.
inline bool runCommand(TForm1* form, const QString& control)
{
    if (auto* action = form->findChild<QAction*>(control)) {
        action->trigger();
        return true;
    }
    auto* button = form->findChild<QAbstractButton*>(control);
    if (!button) return false;
    if (form->PageControl1->isAncestorOf(button)) {
        for (QWidget* page = button; page; page = page->parentWidget())
            if (form->PageControl1->indexOf(page) >= 0) form->PageControl1->setCurrentWidget(page);
    }
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

// Closes the modal window that the code run next opens, from inside its own event loop, and
// keeps its caption in `caption` (left as it is when no modal window opens).
inline void closeNextModalWindow(QString* caption)
{
    QTimer::singleShot(0, [caption] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            *caption = modal->windowTitle();
            modal->close();
        }
    });
}

// The main window, shown and active, so that focus changes happen as they do for a user.
inline std::unique_ptr<TForm1> openMainWindow()
{
    auto form = std::make_unique<TForm1>();
    form->show();
    QApplication::setActiveWindow(form.get());
    if (!QTest::qWaitForWindowActive(form.get())) return nullptr;
    return form;
}

// The process's date and time formats (LC_TIME) are those of `name` while it lives; ok() is
// false where the system lacks that locale.
class TimeLocale {
public:
    explicit TimeLocale(const char* name) : previous_(std::setlocale(LC_TIME, nullptr))
    {
        ok_ = std::setlocale(LC_TIME, name) != nullptr;
    }
    ~TimeLocale() { std::setlocale(LC_TIME, previous_.c_str()); }
    TimeLocale(const TimeLocale&) = delete;
    TimeLocale& operator=(const TimeLocale&) = delete;
    bool ok() const { return ok_; }

private:
    std::string previous_;
    bool ok_ = false;
};

}  // namespace quorvane::app::testing

// main() for a QtTest class, under the program's application object so that its top-level error
// handler is the one tested. The saved defaults that the main window loads (and so creates) live
// in a scratch folder, never in the user's own settings.
#define QUORVANE_UI_TEST_MAIN(TestClass)                                          \
    int main(int argc, char* argv[])                                              \
    {                                                                             \
        QTemporaryDir configHome;                                                 \
        qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());              \
        quorvane::app::QuorvaneApplication application(argc, argv);             \
        TestClass test;                                                           \
        return QTest::qExec(&test, argc, argv);                                   \
    }
