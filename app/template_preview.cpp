// SPDX-License-Identifier: Apache-2.0
#include "app/template_preview.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include "app/core_label_text.h"
#include "change/batch_templates.h"
#include "props/catalogue.h"

namespace quorvane::app {

TemplatePreview::TemplatePreview(QWidget* parent) : QLabel(parent), refreshTimer_(new QTimer(this))
{
    setObjectName(QStringLiteral("BatchTemplatePreview"));
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setFrameShape(QFrame::StyledPanel);
    setVisible(false);
    refreshTimer_->setSingleShot(true);
    refreshTimer_->setInterval(0);
    connect(refreshTimer_, &QTimer::timeout, this, &TemplatePreview::refresh);
}

void TemplatePreview::setSources(std::function<change::BatchSettings()> settings, std::function<std::vector<File>()> files)
{
    settings_ = std::move(settings);
    files_ = std::move(files);
}

void TemplatePreview::refreshSoon()
{
    refreshTimer_->start();
}

void TemplatePreview::refresh()
{
    const change::BatchSettings settings = settings_();
    setVisible(settings.valuesAreTemplates);
    if (!settings.valuesAreTemplates) return;
    const auto templates = change::BatchTemplates::of(settings);
    if (!templates.ok()) {
        setText(tr("Not a template: %1").arg(QString::fromStdString(templates.failure().text())));
        fitHeight();
        return;
    }
    QStringList lines;
    for (const File& file : files_()) {
        const change::FileDisplay current = change::ReadFileForDisplay(file.path);
        QStringList values;
        for (const auto& [row, text] : templates->resolve({file.path, file.number, &current}))
            values.append(QStringLiteral("%1 '%2'").arg(coreLabelText(props::catalogueRow(row).label), QString::fromStdString(text)));
        const QString name = QFileInfo(QFile::decodeName(QByteArray::fromStdString(file.path))).fileName();
        lines.append(QStringLiteral("%1: %2").arg(name, values.isEmpty() ? tr("no row checked") : values.join(QStringLiteral(", "))));
    }
    setText(lines.isEmpty() ? tr("Add files to see the values of their templates.") : lines.join(QLatin1Char('\n')));
    fitHeight();
}

void TemplatePreview::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    fitHeight();
}

void TemplatePreview::fitHeight()
{
    const int needed = heightForWidth(width());
    if (needed > 0 && needed != minimumHeight()) setMinimumHeight(needed);
}

}  // namespace quorvane::app
