// SPDX-License-Identifier: Apache-2.0
#include "help/help_hints_window.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The window's starting size; it grows when the desktop's font needs more room.
constexpr QSize kDesignSize(635, 512);

QLabel* textLine(const QString& text, bool bold = false)
{
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
    label->setWordWrap(true);
    return label;
}

// Red that stays readable on the theme's text background: light on a dark one, dark on a light one.
QColor warningRed(const QColor& background)
{
    return background.lightness() < 128 ? QColor(255, 110, 110) : QColor(200, 0, 0);
}

// The page looks like a sheet of text in the theme's colours: the background of text fields and
// their text colour, for enabled and disabled controls alike.
QPalette sheetPalette(QPalette palette)
{
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, palette.color(group, QPalette::Base));
        palette.setColor(group, QPalette::WindowText, palette.color(group, QPalette::Text));
    }
    return palette;
}

QCheckBox* sampleBox(const QString& caption, Qt::CheckState state)
{
    auto* box = new QCheckBox(caption);
    box->setFocusPolicy(Qt::NoFocus);  // a picture of a state, nothing to operate
    box->setTristate(state == Qt::PartiallyChecked);
    box->setCheckState(state);
    return box;
}

// `pictureName` is what assistive technology reads for the picture.
QWidget* statusLine(const QIcon& icon, const QString& pictureName, const QString& text)
{
    auto* line = new QWidget;
    line->setObjectName("StatusHint");
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(16, 0, 0, 0);
    auto* picture = new QLabel;
    picture->setPixmap(icon.pixmap(16, 16));
    picture->setObjectName("StatusPicture");
    picture->setAccessibleName(pictureName);
    layout->addWidget(picture);
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    layout->addWidget(label, 1);
    return line;
}

// One line of a sample: a caption as wide as `widestCaption`, then the given widgets side by side.
QHBoxLayout* sampleLine(const QString& widestCaption, const QString& caption, std::initializer_list<QWidget*> widgets)
{
    auto* line = new QHBoxLayout;
    auto* label = new QLabel(caption);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widestCaption) +
                           label->fontMetrics().averageCharWidth());
    line->addWidget(label);
    for (QWidget* widget : widgets) line->addWidget(widget);
    line->addStretch(1);
    return line;
}

// The samples keep the theme's window colours, so that their check boxes look as they do on the
// "Batch Change" page.
QFrame* onWindowColours(QFrame* sample, const QPalette& windowPalette)
{
    sample->setPalette(windowPalette);
    sample->setAutoFillBackground(true);
    return sample;
}

}  // namespace

// The disabled panel that shows what each state of the batch boxes means.
QFrame* TForm4::attributeOptionSample()
{
    auto* panel = new QFrame;
    panel->setObjectName("AttributeOptionSample");
    panel->setFrameShape(QFrame::StyledPanel);
    auto* lines = new QVBoxLayout(panel);
    lines->setContentsMargins(8, 4, 8, 4);
    lines->setSpacing(2);
    const QString widest = tr("Summary Information:");
    lines->addLayout(sampleLine(widest, tr("File Date Time:"),
                                {sampleBox(tr("Change the date or time"), Qt::Checked),
                                 sampleBox(tr("Keep the primary date or time"), Qt::Unchecked)}));
    lines->addLayout(sampleLine(widest, tr("File Attribute:"),
                                {sampleBox(tr("Attribute unchange"), Qt::PartiallyChecked),
                                 sampleBox(tr("Attribute on"), Qt::Checked),
                                 sampleBox(tr("Attribute off"), Qt::Unchecked)}));
    lines->addLayout(sampleLine(widest, tr("Summary Information:"),
                                {new QLabel(tr("Mouse click the Value, then edit the value. "))}));
    lines->addLayout(sampleLine(widest, QString(), {sampleBox(tr("Change the Summary Information"), Qt::Checked)}));
    lines->addLayout(
        sampleLine(widest, QString(), {sampleBox(tr("Keep the primary Summary Information"), Qt::Unchecked)}));
    panel->setEnabled(false);
    return panel;
}

QFrame* TForm4::backupOptionSample()
{
    auto* panel = new QFrame;
    panel->setObjectName("BackupOptionSample");
    panel->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(2);
    layout->addWidget(sampleBox(tr("Backup original files in the same folder before making change"), Qt::Checked));
    auto* explanation = new QLabel(tr("If this option is on, the original files will automatically backup before "
                                      "making change. The backup file is in the same "));
    explanation->setWordWrap(true);
    layout->addWidget(explanation);
    layout->addWidget(new QLabel(tr("folder as the original file.")));
    panel->setEnabled(false);
    return panel;
}

TForm4::TForm4(const QList<QIcon>& statusIcons, QWidget* parent) : QDialog(parent)
{
    setObjectName("TForm4");
    setWindowTitle(tr("Help Hints"));
    setSizeGripEnabled(true);

    auto* page = new QWidget;
    page->setObjectName("HintsPage");
    page->setAutoFillBackground(true);
    page->setPalette(sheetPalette(palette()));

    auto* lines = new QVBoxLayout(page);
    lines->setSpacing(3);
    QLabel* warning = textLine(tr("Before making change, Please close other applications which are opening the files "
                                  "you want to change."),
                               true);
    warning->setObjectName("WarningLine");
    QPalette red = page->palette();
    red.setColor(QPalette::WindowText, warningRed(red.color(QPalette::Window)));
    warning->setPalette(red);
    lines->addWidget(warning);
    lines->addWidget(textLine(tr("Select file wanted to change"), true));
    lines->addWidget(textLine(tr("Add Files: You can select multi files at one time. ")));
    lines->addWidget(textLine(tr("Attention: You may not see hidden or system files if you setup hidden files in  "
                                 "windows system.")));
    lines->addWidget(textLine(tr("Add files from folder: You can select a folder, all the files in the folder will be "
                                 "added to the  file list, ")));
    lines->addWidget(textLine(tr("no matter whether it is hidden or system file.")));
    lines->addWidget(textLine(tr("There are four status for each file:")));
    // The hints follow the file list's statuses in this order: unchanged (0), unreadable (3),
    // changed (1), change failed (2).
    const struct {
        int status;
        const char* pictureName;
        const char* text;
    } statusHints[] = {
        {0, QT_TR_NOOP("Status: unchanged"), QT_TR_NOOP("Unchanged file")},
        {3, QT_TR_NOOP("Status: cannot read"),
         QT_TR_NOOP("Can not get file information,because of error format or the file is opened by other program")},
        {1, QT_TR_NOOP("Status: changed"), QT_TR_NOOP("Changed sucessfully")},
        {2, QT_TR_NOOP("Status: change failed"),
         QT_TR_NOOP("Changed unsucessfully,because of error format or the file is opened by other program")},
    };
    for (const auto& hint : statusHints)
        lines->addWidget(statusLine(statusIcons.value(hint.status), tr(hint.pictureName), tr(hint.text)));
    lines->addWidget(textLine(tr("File Change Attribute Option"), true));
    lines->addWidget(onWindowColours(attributeOptionSample(), palette()));
    lines->addWidget(textLine(tr("Keyboard: Ctrl+O adds files, Delete removes one; F2 or Enter edits the selected "
                                 "row's value, Space ticks the row; Alt with an underlined letter presses its button.")));
    lines->addWidget(textLine(tr("Backup Option"), true));
    lines->addWidget(onWindowColours(backupOptionSample(), palette()));
    lines->addStretch(1);

    auto* closeButton = new QPushButton(tr("Close"));
    closeButton->setObjectName("CloseButton");
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(page, 1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->setContentsMargins(6, 6, 6, 6);
    buttonRow->addStretch(1);
    buttonRow->addWidget(closeButton);
    layout->addLayout(buttonRow);

    // Word-wrapped lines need more height the narrower the window is, so the window is never
    // narrower than it starts, and never lower than its text needs at that width.
    const int minimumWidth = std::max(kDesignSize.width(), layout->totalMinimumSize().width());
    setMinimumSize(minimumWidth, layout->totalHeightForWidth(minimumWidth));
    resize(kDesignSize.expandedTo(minimumSize()));
    if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
}
