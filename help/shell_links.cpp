// SPDX-License-Identifier: Apache-2.0
#include "help/shell_links.h"

#include <QCoreApplication>
#include <QDesktopServices>

namespace quorvane::help {
namespace {

LinkOpener& installedOpener()
{
    static LinkOpener opener;
    return opener;
}

}  // namespace

QUrl helpFileUrl()
{
    return QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + "/Help.chm");
}

QString supportMailLink(const QString& applicationTitle)
{
    return QStringLiteral("mailto:") + kSupportAddress + QStringLiteral("?subject=") + applicationTitle;
}

void openWithDefaultProgram(const QString& link)
{
    if (installedOpener()) {
        installedOpener()(link);
        return;
    }
    // A missing help file or no registered handler is the desktop's to report, not ours.
    QDesktopServices::openUrl(QUrl(link, QUrl::TolerantMode));
}

void setLinkOpener(LinkOpener opener)
{
    installedOpener() = std::move(opener);
}

}  // namespace quorvane::help
