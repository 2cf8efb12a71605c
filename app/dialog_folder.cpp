// SPDX-License-Identifier: Apache-2.0
#include "app/dialog_folder.h"

#include <QFile>

#include <filesystem>

#include "change/defaults_store.h"
#include "change/saved_defaults.h"

namespace quorvane::app {

QString dialogStartFolder()
{
    return QFile::decodeName(QByteArray::fromStdString(change::lastUsedFolder(change::defaultsStorePath())));
}

void rememberDialogFolder(const std::string& path)
{
    if (path.empty()) return;
    std::error_code error;
    const std::filesystem::path chosen(path);
    const std::string folder = std::filesystem::is_directory(chosen, error) ? path : chosen.parent_path().string();
    if (folder.empty()) return;
    // The remembered folder is a convenience: a store that cannot be written changes nothing else.
    change::rememberLastUsedFolder(change::defaultsStorePath(), folder);
}

}  // namespace quorvane::app
