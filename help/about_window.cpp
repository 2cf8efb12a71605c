// SPDX-License-Identifier: Apache-2.0
#include "help/about_window.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "help/shell_links.h"

namespace {

// An underlined text with a hand cursor that opens a link when clicked.
class LinkLabel : public QLabel {
public:
    LinkLabel(const QString& text, QString link) : QLabel(text), link_(std::move(link))
    {
        QFont font = this->font();
        font.setUnderline(true);
        setFont(font);
        QPalette linkColours = palette();
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            linkColours.setColor(group, QPalette::WindowText, linkColours.color(group, QPalette::Link));
        setPalette(linkColours);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            quorvane::help::openWithDefaultProgram(link_);
        QLabel::mouseReleaseEvent(event);
    }

private:
    QString link_;
};

}  // namespace

TForm5::TForm5(const QIcon& programIcon, QWidget* parent) : QDialog(parent)
{
    using namespace quorvane::help;
    setObjectName("TForm5");
    setWindowTitle(tr("About"));

    auto* panel = new QFrame;
    panel->setObjectName("AboutPanel");
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(16, 16, 16, 16);
    grid->setHorizontalSpacing(12);

    auto* icon = new QLabel;
    icon->setPixmap(programIcon.pixmap(32, 32));
    grid->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);

    auto* productName = new QLabel(QCoreApplication::applicationName());
    productName->setObjectName("ProductName");
    QFont bold = productName->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    productName->setFont(bold);
    grid->addWidget(productName, 0, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Version: 3.16")), 1, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Made by %1").arg(QLatin1String(kMakerName))), 2, 1, 1, 2);

    auto* mailLink = new LinkLabel(kSupportAddress, supportMailLink(QCoreApplication::applicationName()));
    mailLink->setObjectName("EmailLink");
    grid->addWidget(new QLabel(tr("Email:")), 3, 1);
    grid->addWidget(mailLink, 3, 2);
    auto* webLink = new LinkLabel(kMakerWebSite, kMakerWebSite);
    webLink->setObjectName("WebSiteLink");
    grid->addWidget(new QLabel(tr("Web Site:")), 4, 1);
    grid->addWidget(webLink, 4, 2);
    grid->addWidget(new QLabel(tr("Copyright (C) %1. All rights reserved.").arg(QLatin1String(kMakerName))), 5, 1, 1, 2);

    auto* closeButton = new QPushButton(tr("Close"));
    closeButton->setObjectName("CloseButton");
    closeButton->setDefault(true);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(closeButton);
    buttonRow->addStretch(1);
    layout->addLayout(buttonRow);

    // A fixed dialog frame: the window takes the size its contents ask for and keeps it.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
}
