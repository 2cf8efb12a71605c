// SPDX-License-Identifier: Apache-2.0
// Builds the controls of the main window: the file area on the left and the three pages of the
// page control, each control with its name, caption and starting state.
#include "app/main_form.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTimeEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <array>
#include <initializer_list>

#include "app/arrow_key_group.h"
#include "app/core_label_text.h"
#include "app/custom_properties_page.h"
#include "app/date_time_pickers.h"
#include "app/focus_frames.h"
#include "app/grid_line_delegate.h"
#include "app/page_controls.h"
#include "app/property_table.h"
#include "app/template_preview.h"
#include "props/catalogue.h"

namespace quorvane::app {
namespace {

QString fileInfoCaption(int index)
{
    return coreLabelText(props::fileInfoLabel(index));
}

QToolButton* newToolButton(const char* objectName, const QString& caption, const char* iconName,
                           QWidget* parent)
{
    auto* button = new FocusFramedToolButton(parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setText(caption);
    button->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(iconName))));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}

// A three-state attribute box, grayed (leave the bit as it is) at start.
QCheckBox* newAttributeBox(const char* objectName, int labelIndex, QWidget* parent)
{
    QCheckBox* box = newCheckBox(objectName, fileInfoCaption(labelIndex), parent);
    box->setTristate(true);
    box->setCheckState(Qt::PartiallyChecked);
    return box;
}

QGroupBox* newGroup(const char* objectName, const QString& caption, QWidget* parent)
{
    auto* group = new QGroupBox(caption, parent);
    group->setObjectName(QString::fromLatin1(objectName));
    return group;
}

// "Read-only", "Archive", "Hidden", "System" side by side.
void layOutAttributeBoxes(QGroupBox* group, std::initializer_list<QCheckBox*> boxes)
{
    auto* line = new QHBoxLayout(group);
    line->setContentsMargins(8, 2, 8, 4);
    for (QCheckBox* box : boxes) line->addWidget(box);
}

// The three lines "Creation Time:", "Modify Time:", "Last Access Time:", each with its widgets.
void layOutTimeLines(QGroupBox* group, const std::array<std::initializer_list<QWidget*>, 3>& lines)
{
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(8, 2, 8, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    for (int line = 0; line < 3; ++line) {
        auto* label = new QLabel(fileInfoCaption(props::kCreationTimeLabel + line) + u':', group);
        grid->addWidget(label, line, 0);
        int column = 1;
        for (QWidget* widget : lines[static_cast<std::size_t>(line)]) {
            // The label belongs to the line's date field, which assistive technology reads with it.
            if (!label->buddy() && qobject_cast<QDateEdit*>(widget)) label->setBuddy(widget);
            grid->addWidget(widget, line, column++);
        }
    }
    grid->setColumnStretch(0, 1);
}

}  // namespace

QWidget* TForm1::createClientArea()
{
    auto* client = new QWidget(this);
    auto* areas = new QHBoxLayout(client);
    areas->setContentsMargins(0, 0, 0, 0);
    areas->setSpacing(0);
    // The two areas share any width beyond their minimum in the proportion of their design
    // widths, so at the design size the right area is kRightAreaWidthPx wide and a wider window
    // widens the property tables' value column too.
    constexpr int kLeftAreaWidthPx = kWidthPx - kGapWidthPx - kRightAreaWidthPx;
    areas->addWidget(createFileArea(), kLeftAreaWidthPx);
    Panel1 = new QWidget(client);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedWidth(kGapWidthPx);
    areas->addWidget(Panel1);
    PageControl1 = new QTabWidget(client);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->addTab(createSingleChangePage(), tr("Single Change"));
    PageControl1->addTab(createBatchChangePage(), tr("Batch Change"));
    CustomPage = new CustomPropertiesPage;
    CustomPage->setEnabled(false);  // until a file is selected
    PageControl1->addTab(CustomPage, tr("Custom Properties"));
    PageControl1->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    areas->addWidget(PageControl1, kRightAreaWidthPx);
    return client;
}

QWidget* TForm1::createFileArea()
{
    auto* area = new QWidget;
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    ToolBar2 = new QToolBar(area);
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setMovable(false);
    ToolBar2->setFloatable(false);
    ToolBar2->setIconSize(QSize(16, 16));
    ToolButton1 = newToolButton("ToolButton1", tr("Add Files"), "add-files", ToolBar2);
    ToolButton5 = newToolButton("ToolButton5", tr("Add files from folder"), "add-folder", ToolBar2);
    ToolButton2 = newToolButton("ToolButton2", tr("Remove"), "remove", ToolBar2);
    ToolButton3 = newToolButton("ToolButton3", tr("Remove All"), "remove-all", ToolBar2);
    ToolButton2->setEnabled(false);
    ToolButton3->setEnabled(false);
    for (QToolButton* button : {ToolButton1, ToolButton5, ToolButton2, ToolButton3}) ToolBar2->addWidget(button);
    keepArrowKeysWithin({ToolButton1, ToolButton5, ToolButton2, ToolButton3});
    // Every button stays in the bar, none in its overflow menu, whatever the font.
    ToolBar2->setMinimumWidth(ToolBar2->sizeHint().width());
    column->addWidget(ToolBar2);

    ListFilter = new QLineEdit(area);
    ListFilter->setObjectName(QStringLiteral("ListFilter"));
    ListFilter->setPlaceholderText(tr("Filter the list (Ctrl+F)"));
    column->addWidget(ListFilter);

    ListView1 = new QTreeWidget(area);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setHeaderLabels({tr("File Name")});
    ListView1->setRootIsDecorated(false);
    ListView1->setIndentation(0);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setItemDelegate(new GridLineDelegate(0, ListView1));
    ListView1->header()->setStretchLastSection(true);
    ListView1->setUniformRowHeights(true);  // one-line rows: no row is measured when its values arrive
    column->addWidget(ListView1, 1);
    return area;
}

QWidget* TForm1::createSingleChangePage()
{
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    QVBoxLayout* column = pageColumn(TabSheet2);

    ListView3 = new PropertyTable(QStringLiteral("ListView3"), false, TabSheet2);
    column->addWidget(ListView3, 1);

    GroupBox3 = newGroup("GroupBox3", tr("File Date Time"), TabSheet2);
    DateTimePicker9 = newDatePicker(QStringLiteral("DateTimePicker9"), GroupBox3);
    DateTimePicker10 = newTimePicker(QStringLiteral("DateTimePicker10"), GroupBox3);
    DateTimePicker11 = newDatePicker(QStringLiteral("DateTimePicker11"), GroupBox3);
    DateTimePicker12 = newTimePicker(QStringLiteral("DateTimePicker12"), GroupBox3);
    DateTimePicker13 = newDatePicker(QStringLiteral("DateTimePicker13"), GroupBox3);
    DateTimePicker14 = newTimePicker(QStringLiteral("DateTimePicker14"), GroupBox3);
    layOutTimeLines(GroupBox3, {{{DateTimePicker9, DateTimePicker10},
                                 {DateTimePicker11, DateTimePicker12},
                                 {DateTimePicker13, DateTimePicker14}}});
    column->addWidget(GroupBox3);

    GroupBox1 = newGroup("GroupBox1", tr("File Attribute"), TabSheet2);
    CheckBox16 = newAttributeBox("CheckBox16", props::kReadOnlyLabel, GroupBox1);
    CheckBox17 = newAttributeBox("CheckBox17", props::kArchiveLabel, GroupBox1);
    CheckBox18 = newAttributeBox("CheckBox18", props::kHiddenLabel, GroupBox1);
    CheckBox23 = newAttributeBox("CheckBox23", props::kSystemLabel, GroupBox1);
    layOutAttributeBoxes(GroupBox1, {CheckBox16, CheckBox17, CheckBox18, CheckBox23});
    column->addWidget(GroupBox1);

    CheckBox5 = newCheckBox("CheckBox5", backupOptionCaption(),
                            TabSheet2);
    CheckBox5->setChecked(true);
    column->addWidget(CheckBox5);

    BitBtn6 = newButton("BitBtn6", tr("&Make Change"), TabSheet2);
    BitBtn9 = newButton("BitBtn9", tr("E&xport to CSV"), TabSheet2);
    BitBtn5 = newButton("BitBtn5", tr("&Show Hint"), TabSheet2);
    BitBtn7 = newButton("BitBtn7", tr("&Close"), TabSheet2);
    BitBtn6->setEnabled(false);
    BitBtn9->setEnabled(false);
    column->addLayout(buttonRow({BitBtn6, BitBtn9, BitBtn5, BitBtn7}));
    return TabSheet2;
}

QWidget* TForm1::createBatchChangePage()
{
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    QVBoxLayout* column = pageColumn(TabSheet1);

    ToolBar3 = new QWidget(TabSheet1);
    ToolBar3->setObjectName(QStringLiteral("ToolBar3"));
    ToolButton9 = newToolButton("ToolButton9", tr("Save as defa&ult"), "save-default", ToolBar3);
    ToolButton10 = newToolButton("ToolButton10", tr("&Load from default"), "load-default", ToolBar3);
    ToolButton12 = newToolButton("ToolButton12", tr("Load from selec&ted file"), "load-from-file", ToolBar3);
    ToolButton12->setEnabled(false);
    auto* toolRows = new QGridLayout(ToolBar3);
    toolRows->setContentsMargins(0, 0, 0, 0);
    toolRows->setSpacing(0);
    toolRows->addWidget(ToolButton9, 0, 0);
    toolRows->addWidget(ToolButton10, 0, 1);
    toolRows->addWidget(ToolButton12, 1, 0);
    toolRows->setColumnStretch(2, 1);
    keepArrowKeysWithin({ToolButton9, ToolButton10, ToolButton12});
    column->addWidget(ToolBar3);

    ListView2 = new PropertyTable(QStringLiteral("ListView2"), true, TabSheet1);
    // Its size hint holds every row, so that the window's starting size can show them all. Its
    // columns never outgrow it (the value column follows its width and the page is wider than
    // 300 pixels), so a horizontal scroll bar would only take room from the rows.
    ListView2->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    ListView2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    column->addWidget(ListView2, 1);

    BatchTemplatePreview = new TemplatePreview(TabSheet1);
    column->addWidget(BatchTemplatePreview);
    // The two boxes that say how the table's values apply share a line, so that the table keeps its rows.
    RemoveAllCustomBox = newCheckBox("RemoveAllCustomBox", tr("Remove all custom &properties"), TabSheet1);
    ValuesAreTemplatesBox = newCheckBox("ValuesAreTemplatesBox", tr("Values a&re templates"), TabSheet1);
    auto* valueBoxes = new QHBoxLayout;
    valueBoxes->addWidget(RemoveAllCustomBox);
    valueBoxes->addWidget(ValuesAreTemplatesBox);
    valueBoxes->addStretch(1);
    column->addLayout(valueBoxes);

    GroupBox5 = newGroup("GroupBox5", tr("File Date Time"), TabSheet1);
    CheckBox9 = newCheckBox("CheckBox9", QString(), GroupBox5);
    DateTimePicker1 = newDatePicker(QStringLiteral("DateTimePicker1"), GroupBox5);
    CheckBox10 = newCheckBox("CheckBox10", QString(), GroupBox5);
    DateTimePicker2 = newTimePicker(QStringLiteral("DateTimePicker2"), GroupBox5);
    CheckBox11 = newCheckBox("CheckBox11", QString(), GroupBox5);
    DateTimePicker3 = newDatePicker(QStringLiteral("DateTimePicker3"), GroupBox5);
    CheckBox12 = newCheckBox("CheckBox12", QString(), GroupBox5);
    DateTimePicker4 = newTimePicker(QStringLiteral("DateTimePicker4"), GroupBox5);
    CheckBox13 = newCheckBox("CheckBox13", QString(), GroupBox5);
    DateTimePicker5 = newDatePicker(QStringLiteral("DateTimePicker5"), GroupBox5);
    CheckBox14 = newCheckBox("CheckBox14", QString(), GroupBox5);
    DateTimePicker6 = newTimePicker(QStringLiteral("DateTimePicker6"), GroupBox5);
    for (QCheckBox* applyBox : {CheckBox9, CheckBox10, CheckBox11, CheckBox12, CheckBox13, CheckBox14})
        applyBox->setChecked(true);
    layOutTimeLines(GroupBox5, {{{CheckBox9, DateTimePicker1, CheckBox10, DateTimePicker2},
                                 {CheckBox11, DateTimePicker3, CheckBox12, DateTimePicker4},
                                 {CheckBox13, DateTimePicker5, CheckBox14, DateTimePicker6}}});
    column->addWidget(GroupBox5);

    GroupBox2 = newGroup("GroupBox2", tr("File Attribute"), TabSheet1);
    CheckBox1 = newAttributeBox("CheckBox1", props::kReadOnlyLabel, GroupBox2);
    CheckBox2 = newAttributeBox("CheckBox2", props::kArchiveLabel, GroupBox2);
    CheckBox3 = newAttributeBox("CheckBox3", props::kHiddenLabel, GroupBox2);
    CheckBox8 = newAttributeBox("CheckBox8", props::kSystemLabel, GroupBox2);
    layOutAttributeBoxes(GroupBox2, {CheckBox1, CheckBox2, CheckBox3, CheckBox8});
    column->addWidget(GroupBox2);

    CheckBox4 = newCheckBox("CheckBox4", backupOptionCaption(),
                            TabSheet1);
    CheckBox4->setChecked(true);
    column->addWidget(CheckBox4);

    BitBtn2 = newButton("BitBtn2", tr("&Make Change"), TabSheet1);
    BitBtn8 = newButton("BitBtn8", tr("E&xport to CSV"), TabSheet1);
    BitBtn3 = newButton("BitBtn3", tr("&Show Hint"), TabSheet1);
    BitBtn4 = newButton("BitBtn4", tr("&Close"), TabSheet1);
    BitBtn2->setEnabled(false);
    BitBtn8->setEnabled(false);
    column->addLayout(buttonRow({BitBtn2, BitBtn8, BitBtn3, BitBtn4}));
    return TabSheet1;
}

QSize TForm1::startingSize() const
{
    QSize wanted(kWidthPx, sizeHint().height());
    if (const QScreen* screen = this->screen()) {
        const int titleBarPx = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
        wanted = wanted.boundedTo(screen->availableSize() - QSize(0, titleBarPx));
    }
    return QSize(kWidthPx, kHeightPx).expandedTo(wanted).expandedTo(minimumSizeHint());
}

}  // namespace quorvane::app
