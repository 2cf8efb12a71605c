// SPDX-License-Identifier: Apache-2.0
#include "app/core_label_text.h"

#include <QCoreApplication>

#include <iterator>

namespace quorvane::app {
namespace {

constexpr char kContext[] = "quorvane::props";

// Every label of props/catalogue.cpp, as lupdate has to see them to put them into the translation.
constexpr const char* kCoreLabels[] = {
    QT_TRANSLATE_NOOP("quorvane::props", "Title"),
    QT_TRANSLATE_NOOP("quorvane::props", "Subject"),
    QT_TRANSLATE_NOOP("quorvane::props", "Author"),
    QT_TRANSLATE_NOOP("quorvane::props", "Keywords"),
    QT_TRANSLATE_NOOP("quorvane::props", "Comments"),
    QT_TRANSLATE_NOOP("quorvane::props", "Catagory"),
    QT_TRANSLATE_NOOP("quorvane::props", "Revision Number"),
    QT_TRANSLATE_NOOP("quorvane::props", "Last Saved By"),
    QT_TRANSLATE_NOOP("quorvane::props", "Manager"),
    QT_TRANSLATE_NOOP("quorvane::props", "Company"),
    QT_TRANSLATE_NOOP("quorvane::props", "Create Time/Date"),
    QT_TRANSLATE_NOOP("quorvane::props", "Last saved Time/Date"),
    QT_TRANSLATE_NOOP("quorvane::props", "Total Editing Time(Minutes)"),
    QT_TRANSLATE_NOOP("quorvane::props", "Last Printed"),
    QT_TRANSLATE_NOOP("quorvane::props", "Creation Time"),
    QT_TRANSLATE_NOOP("quorvane::props", "Modify Time"),
    QT_TRANSLATE_NOOP("quorvane::props", "Last Access Time"),
    QT_TRANSLATE_NOOP("quorvane::props", "Read-only"),
    QT_TRANSLATE_NOOP("quorvane::props", "Archive"),
    QT_TRANSLATE_NOOP("quorvane::props", "Hidden"),
    QT_TRANSLATE_NOOP("quorvane::props", "System"),
};

}  // namespace

QString coreLabelText(std::string_view label)
{
    for (const char* known : kCoreLabels)
        if (label == known) return QCoreApplication::translate(kContext, known);
    return QString::fromUtf8(label.data(), qsizetype(label.size()));
}

}  // namespace quorvane::app
