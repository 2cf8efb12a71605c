#include "help/help_hints_window.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QLabel* textLine(const QString& text, bool bold = false, const QString& colour = QString())
{
    auto* label = new QLabel(text);
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
    if (!colour.isEmpty()) label->setStyleSheet("color: " + colour + ";");
    label->setWordWrap(true);
    return label;
}

QCheckBox* sampleBox(const QString& caption, Qt::CheckState state)
{
    auto* box = new QCheckBox(caption);
    box->setTristate(state == Qt::PartiallyChecked);
    box->setCheckState(state);
    return box;
}

QWidget* statusLine(const QIcon& icon, const QString& text)
{
    auto* line = new QWidget;
    line->setObjectName("StatusHint");
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(16, 0, 0, 0);
    auto* picture = new QLabel;
    picture->setPixmap(icon.pixmap(16, 16));
    picture->setObjectName("StatusPicture");
    layout->addWidget(picture);
    layout->addWidget(new QLabel(text), 1);
    return line;
}

// One line of a sample: a caption of fixed width, then the given widgets side by side.
QHBoxLayout* sampleLine(const QString& caption, std::initializer_list<QWidget*> widgets)
{
    auto* line = new QHBoxLayout;
    auto* label = new QLabel(caption);
    label->setFixedWidth(140);
    line->addWidget(label);
    for (QWidget* widget : widgets) line->addWidget(widget);
    line->addStretch(1);
    return line;
}

// The disabled panel that shows what each state of the batch boxes means.
QFrame* attributeOptionSample()
{
    auto* panel = new QFrame;
    panel->setObjectName("AttributeOptionSample");
    panel->setFrameShape(QFrame::StyledPanel);
    auto* lines = new QVBoxLayout(panel);
    lines->addLayout(sampleLine("File Date Time:", {sampleBox("Change the date or time", Qt::Checked),
                                                    sampleBox("Keep the primary date or time", Qt::Unchecked)}));
    lines->addLayout(sampleLine("File Attribute:", {sampleBox("Attribute unchange", Qt::PartiallyChecked),
                                                    sampleBox("Attribute on", Qt::Checked),
                                                    sampleBox("Attribute off", Qt::Unchecked)}));
    lines->addLayout(sampleLine("Summary Information:", {new QLabel("Mouse click the Value, then edit the value. ")}));
    lines->addLayout(sampleLine("", {sampleBox("Change the Summary Information", Qt::Checked)}));
    lines->addLayout(sampleLine("", {sampleBox("Keep the primary Summary Information", Qt::Unchecked)}));
    panel->setEnabled(false);
    return panel;
}

QFrame* backupOptionSample()
{
    auto* panel = new QFrame;
    panel->setObjectName("BackupOptionSample");
    panel->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(sampleBox("Backup original files in the same folder before making change", Qt::Checked));
    auto* explanation = new QLabel("If this option is on, the original files will automatically backup before "
                                   "making change. The backup file is in the same ");
    explanation->setWordWrap(true);
    layout->addWidget(explanation);
    layout->addWidget(new QLabel("folder as the original file."));
    panel->setEnabled(false);
    return panel;
}

}  // namespace

TForm4::TForm4(const QList<QIcon>& statusIcons, QWidget* parent) : QDialog(parent)
{
    setObjectName("TForm4");
    setWindowTitle("Help Hints");
    setSizeGripEnabled(true);
    resize(635, 512);

    auto* page = new QWidget;
    page->setObjectName("HintsPage");
    page->setAutoFillBackground(true);
    QPalette white = page->palette();
    white.setColor(QPalette::Window, Qt::white);
    page->setPalette(white);

    auto* lines = new QVBoxLayout(page);
    lines->addWidget(textLine("Before making change, Please close other applications which are opening the files "
                              "you want to change.",
                              true, "red"));
    lines->addWidget(textLine("Select file wanted to change", true));
    lines->addWidget(textLine("Add Files: You can select multi files at one time. "));
    lines->addWidget(textLine("Attention: You may not see hidden or system files if you setup hidden files in  "
                              "windows system."));
    lines->addWidget(textLine("Add files from folder: You can select a folder, all the files in the folder will be "
                              "added to the  file list, "));
    lines->addWidget(textLine("no matter whether it is hidden or system file."));
    lines->addWidget(textLine("There are four status for each file:"));
    // The hints follow the file list's statuses in this order: unchanged (0), unreadable (3),
    // changed (1), change failed (2).
    const struct {
        int status;
        const char* text;
    } statusHints[] = {
        {0, "Unchanged file"},
        {3, "Can not get file information,because of error format or the file is opened by other program"},
        {1, "Changed sucessfully"},
        {2, "Changed unsucessfully,because of error format or the file is opened by other program"},
    };
    for (const auto& hint : statusHints) lines->addWidget(statusLine(statusIcons.value(hint.status), hint.text));
    lines->addWidget(textLine("File Change Attribute Option", true));
    lines->addWidget(attributeOptionSample());
    lines->addWidget(textLine("Backup Option", true));
    lines->addWidget(backupOptionSample());
    lines->addStretch(1);

    auto* scroller = new QScrollArea;
    scroller->setWidget(page);
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);

    auto* closeButton = new QPushButton("Close");
    closeButton->setObjectName("CloseButton");
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroller, 1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(closeButton);
    layout->addLayout(buttonRow);

    if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
}
