// SPDX-License-Identifier: Apache-2.0
#include "app/table_preview_dialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/core_label_text.h"

namespace quorvane::app {
namespace {

constexpr int kPlanIndexRole = Qt::UserRole;

QString pathText(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QString changeText(const document::ValueChange& change)
{
    return QStringLiteral("%1: '%2' -> '%3'")
        .arg(coreLabelText(change.label), QString::fromStdString(change.from), QString::fromStdString(change.to));
}

}  // namespace

TablePreviewDialog::TablePreviewDialog(const table::TablePlan& plan, const QString& tableName, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TablePreviewDialog"));
    setWindowTitle(tr("Apply values from table"));
    auto* column = new QVBoxLayout(this);
    PreviewSummary = new QLabel(this);
    PreviewSummary->setObjectName(QStringLiteral("PreviewSummary"));
    PreviewSummary->setWordWrap(true);
    column->addWidget(PreviewSummary);
    PreviewLines = new QTreeWidget(this);
    PreviewLines->setObjectName(QStringLiteral("PreviewLines"));
    PreviewLines->setHeaderHidden(true);
    PreviewLines->setColumnCount(1);
    PreviewLines->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    PreviewLines->header()->setStretchLastSection(false);
    column->addWidget(PreviewLines, 1);
    PreviewButtons = new QDialogButtonBox(QDialogButtonBox::Apply | QDialogButtonBox::Cancel, this);
    PreviewButtons->setObjectName(QStringLiteral("PreviewButtons"));
    column->addWidget(PreviewButtons);
    connect(PreviewButtons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, &QDialog::accept);
    connect(PreviewButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    if (plan.refused()) {
        PreviewSummary->setText(tr("%1 is refused; no file can be changed:").arg(tableName));
        showRefusals(plan);
    } else {
        PreviewSummary->setText(tr("%1 would change these files; untick a file to leave it out:").arg(tableName));
        showFiles(plan);
    }
    PreviewLines->expandAll();
    connect(PreviewLines, &QTreeWidget::itemChanged, this, &TablePreviewDialog::followTicks);
    followTicks();
    resize(QSize(640, 420).expandedTo(minimumSizeHint()));
}

void TablePreviewDialog::showFiles(const table::TablePlan& plan)
{
    for (std::size_t index = 0; index < plan.paths.size(); ++index) {
        const change::FilePlan& filePlan = plan.plans[index];
        auto* file = new QTreeWidgetItem(PreviewLines, {pathText(plan.paths[index])});
        file->setData(0, kPlanIndexRole, int(index));
        if (filePlan.refused()) {
            file->setText(0, tr("%1 (not changed: %2)").arg(file->text(0), QString::fromStdString(filePlan.refusal.text())));
            file->setForeground(0, palette().brush(QPalette::Disabled, QPalette::Text));
            continue;
        }
        if (filePlan.changes.empty()) {
            file->setText(0, tr("%1 (nothing to change)").arg(file->text(0)));
            file->setForeground(0, palette().brush(QPalette::Disabled, QPalette::Text));
            continue;
        }
        file->setFlags(file->flags() | Qt::ItemIsUserCheckable);
        file->setCheckState(0, Qt::Checked);
        for (const document::ValueChange& change : filePlan.changes) new QTreeWidgetItem(file, {changeText(change)});
    }
}

void TablePreviewDialog::showRefusals(const table::TablePlan& plan)
{
    for (const std::string& refusal : plan.refusals) new QTreeWidgetItem(PreviewLines, {QString::fromStdString(refusal)});
}

std::vector<int> TablePreviewDialog::chosenFiles() const
{
    std::vector<int> chosen;
    for (int line = 0; line < PreviewLines->topLevelItemCount(); ++line) {
        const QTreeWidgetItem* file = PreviewLines->topLevelItem(line);
        if ((file->flags() & Qt::ItemIsUserCheckable) && file->checkState(0) == Qt::Checked)
            chosen.push_back(file->data(0, kPlanIndexRole).toInt());
    }
    return chosen;
}

void TablePreviewDialog::followTicks()
{
    PreviewButtons->button(QDialogButtonBox::Apply)->setEnabled(!chosenFiles().empty());
}

}  // namespace quorvane::app
