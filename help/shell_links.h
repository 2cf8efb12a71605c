// SPDX-License-Identifier: Apache-2.0
// The addresses of the maker and the opening of files and links with their default program
// (the help file, web pages, a new mail). Every opening goes through openWithDefaultProgram(),
// whose result is not looked at, so that tests can watch what would be opened.
#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace quorvane::help {

inline constexpr char kMakerName[] = "Lomberk Software";
inline constexpr char kMakerWebSite[] = "https://www.lomberk.example/";
inline constexpr char kOnlineHelpPage[] = "https://www.lomberk.example/quorvane/help/";
inline constexpr char kSupportAddress[] = "support@lomberk.example";

// "Help.chm" in the folder of the running program.
QUrl helpFileUrl();

// The new-mail link: "mailto:" + support address + "?subject=" + the title as it stands.
QString supportMailLink(const QString& applicationTitle);

// Hands `link` to the desktop's default program. Tests replace the opener to see the links.
void openWithDefaultProgram(const QString& link);
using LinkOpener = std::function<void(const QString& link)>;
// Installs `opener` in place of the desktop's (an empty function restores the desktop's).
void setLinkOpener(LinkOpener opener);

}  // namespace quorvane::help
