// SPDX-License-Identifier: Apache-2.0
#include "app/message_box.h"

#include <QMessageBox>

#include <utility>

namespace quorvane::app {
namespace {

MessageSink& installedSink()
{
    static MessageSink sink;
    return sink;
}

}  // namespace

void showMessage(QWidget* parent, const QString& text)
{
    if (const MessageSink& sink = installedSink()) {
        sink(text);
        return;
    }
    QMessageBox::information(parent, QString::fromLatin1(kApplicationTitle), text);
}

MessageSink setMessageSink(MessageSink sink)
{
    return std::exchange(installedSink(), std::move(sink));
}

}  // namespace quorvane::app
