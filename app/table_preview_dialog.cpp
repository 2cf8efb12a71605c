// SPDX-License-Identifier: Apache-2.0
#include "app/table_preview_dialog.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "app/core_label_text.h"

namespace quorvane::app {
namespace {

constexpr int kPlanIndexRole = Qt::UserRole;

QString pathText(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// A line's height is that of its text wrapped at the view's width (a tree view asks the height
// of the unwrapped text).
class WrappedLineDelegate : public QStyledItemDelegate {
public:
    explicit WrappedLineDelegate(QTreeWidget* view) : QStyledItemDelegate(view), view_(view) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        int depth = 1;
        for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) ++depth;
        QStyleOptionViewItem wrapped = option;
        wrapped.rect = QRect(0, 0, std::max(1, view_->viewport()->width() - depth * view_->indentation()), 1);
        return QStyledItemDelegate::sizeHint(wrapped, index);
    }

private:
    QTreeWidget* view_;
};

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
    // A line longer than the dialog (a long path, a refusal's reason) wraps instead of being cut.
    PreviewLines->setWordWrap(true);
    PreviewLines->setItemDelegate(new WrappedLineDelegate(PreviewLines));
    PreviewLines->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
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
    // Wide enough for the longest line, as far as the screen allows.
    PreviewLines->resizeColumnToContents(0);
    const int linesWidth = PreviewLines->columnWidth(0) + 2 * PreviewLines->frameWidth() +
                           PreviewLines->verticalScrollBar()->sizeHint().width() + layout()->contentsMargins().left() +
                           layout()->contentsMargins().right();
    QSize wanted = QSize(std::max(640, linesWidth), 420);
    if (const QScreen* screen = this->screen()) wanted = wanted.boundedTo(screen->availableSize() * 9 / 10);
    resize(wanted.expandedTo(minimumSizeHint()));
    // From now on the column is as wide as the view, so that long lines wrap within it (a hidden
    // header does not stretch its sections).
    PreviewLines->viewport()->installEventFilter(this);
}

void TablePreviewDialog::showFiles(const table::TablePlan& plan)
{
    for (std::size_t index = 0; index < plan.paths.size(); ++index) {
        const change::FilePlan& filePlan = plan.plans[index];
        auto* file = new QTreeWidgetItem(PreviewLines, {pathText(plan.paths[index])});
        file->setData(0, kPlanIndexRole, int(index));
        if (filePlan.refused()) {
            // The reason on a line of its own, as a change would be: it is often long.
            new QTreeWidgetItem(file, {tr("Not changed: %1").arg(QString::fromStdString(filePlan.refusal.text()))});
            file->setForeground(0, palette().brush(QPalette::Disabled, QPalette::Text));
            continue;
        }
        if (filePlan.changes.empty()) {
            file->setText(0, tr("%1 (nothing to change)").arg(file->text(0)));
            file->setForeground(0, palette().brush(QPalette::Disabled, QPalette::Text));
            continue;
        }
        file->setCheckState(0, Qt::Checked);
        for (const document::ValueChange& change : filePlan.changes) new QTreeWidgetItem(file, {changeText(change)});
    }
}

bool TablePreviewDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == PreviewLines->viewport() && event->type() == QEvent::Resize) {
        PreviewLines->setColumnWidth(0, PreviewLines->viewport()->width());
        PreviewLines->doItemsLayout();
    }
    return QDialog::eventFilter(watched, event);
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
        if (file->checkState(0) == Qt::Checked)
            chosen.push_back(file->data(0, kPlanIndexRole).toInt());
    }
    return chosen;
}

void TablePreviewDialog::followTicks()
{
    PreviewButtons->button(QDialogButtonBox::Apply)->setEnabled(!chosenFiles().empty());
}

}  // namespace quorvane::app
