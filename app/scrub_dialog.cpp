// SPDX-License-Identifier: Apache-2.0
#include "app/scrub_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/core_label_text.h"
#include "change/file_request.h"
#include "props/catalogue.h"

namespace quorvane::app {
namespace {

QString rowLabel(int row)
{
    return coreLabelText(props::catalogueRow(row).label);
}

QLabel* newLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

}  // namespace

ScrubDialog::ScrubDialog(int fileCount, bool backup, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ScrubDialog"));
    setWindowTitle(tr("Remove personal information"));
    auto* column = new QVBoxLayout(this);

    const QString files = fileCount == 1 ? tr("the file") : tr("each of the %1 files").arg(fileCount);
    column->addWidget(newLabel(tr("This removes from %1 in the list:").arg(files), this));

    // The removed items two to a line, in catalogue order, then the custom properties.
    QStringList removed;
    QStringList kept;
    const props::RowSelection scrubbed = change::scrubbedRows();
    for (int row = 0; row < props::kRowCount; ++row) (scrubbed[std::size_t(row)] ? removed : kept).append(rowLabel(row));
    removed.append(tr("all custom properties"));
    auto* items = new QGridLayout;
    items->setContentsMargins(16, 0, 0, 0);
    items->setHorizontalSpacing(24);
    for (int index = 0; index < removed.size(); ++index)
        items->addWidget(new QLabel(QStringLiteral("• ") + removed[index], this), index / 2, index % 2);
    column->addLayout(items);

    ThumbnailBox = new QCheckBox(tr("Also remove the &thumbnail"), this);
    ThumbnailBox->setObjectName(QStringLiteral("ThumbnailBox"));
    column->addWidget(ThumbnailBox);

    column->addWidget(newLabel(tr("%1, the file times and the file attributes stay.").arg(kept.join(QStringLiteral(", "))), this));
    column->addWidget(newLabel(backup ? tr("Each file is first copied aside as a .bak file in its folder "
                                           "(the backup option of the Batch Change page).")
                                      : tr("The files are not copied aside first (the backup option of "
                                           "the Batch Change page is off)."),
                               this));

    ScrubButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ScrubButtons->setObjectName(QStringLiteral("ScrubButtons"));
    column->addWidget(ScrubButtons);
    connect(ScrubButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ScrubButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Cancel is the answer Enter gives: removing is the step that cannot be taken back.
    ScrubButtons->button(QDialogButtonBox::Cancel)->setDefault(true);
}

bool ScrubDialog::removeThumbnail() const
{
    return ThumbnailBox->isChecked();
}

}  // namespace quorvane::app
