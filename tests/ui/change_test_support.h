// SPDX-License-Identifier: Apache-2.0
// Helpers of the change command tests: copies of small corpus files in a scratch folder, listed
// in the file list, and a scratch store for the saved defaults, so that no test touches the
// corpus or the user's own settings.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <optional>
#include <string>
#include <vector>

#include "app/file_list_lines.h"
#include "app/main_form.h"
#include "document/document_edit.h"

namespace quorvane::app::testing {

inline constexpr char kSmallPpt[] = "Single_Coloured_Page.ppt";
inline constexpr char kSmallPptx[] = "60042.pptx";

inline QString corpusFilePath(const char* name)
{
    return QStringLiteral(QUORVANE_CORPUS_DIR "/files/") + QString::fromLatin1(name);
}

inline bool corpusHas(std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (!QFile::exists(corpusFilePath(name))) return false;
    return true;
}

// Points XDG_CONFIG_HOME at a fresh empty folder while it lives; the store of the saved defaults
// is then <folder>/lomberk/quorvane.reg.
class ScratchConfigHome {
public:
    ScratchConfigHome() : previous_(qgetenv("XDG_CONFIG_HOME")) { qputenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit()); }
    ~ScratchConfigHome() { qputenv("XDG_CONFIG_HOME", previous_); }
    ScratchConfigHome(const ScratchConfigHome&) = delete;
    ScratchConfigHome& operator=(const ScratchConfigHome&) = delete;

    QString storePath() const { return dir_.filePath(QStringLiteral("lomberk/quorvane.reg")); }

private:
    QTemporaryDir dir_;
    QByteArray previous_;
};

// Writable copies of corpus files in a scratch folder, removed with it.
class ScratchFiles {
public:
    // Copies corpus file `name` as `copyName` (same name when empty); returns its path, or ""
    // when the copy failed.
    std::string copy(const char* name, const QString& copyName = QString())
    {
        const QString target = dir_.filePath(copyName.isEmpty() ? QString::fromLatin1(name) : copyName);
        if (!QFile::copy(corpusFilePath(name), target)) return {};
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        return QFile::encodeName(target).toStdString();
    }

    // `count` copies, named 1-NAME, 2-NAME, ..., alternating between the given corpus files.
    std::vector<std::string> copies(int count, std::initializer_list<const char*> names)
    {
        std::vector<std::string> paths;
        for (int index = 0; index < count; ++index) {
            const char* name = names.begin()[std::size_t(index) % names.size()];
            paths.push_back(copy(name, QStringLiteral("%1-%2").arg(index + 1).arg(QString::fromLatin1(name))));
        }
        return paths;
    }

    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

inline void listFiles(TForm1* form, const std::vector<std::string>& paths)
{
    for (const std::string& path : paths) appendLine(*form->ListView1, path);
}

inline std::vector<int> lineStatuses(const TForm1* form)
{
    std::vector<int> statuses;
    for (int line = 0; line < lineCount(*form->ListView1); ++line) statuses.push_back(lineStatus(*form->ListView1, line));
    return statuses;
}

inline QByteArray fileBytes(const std::string& path)
{
    QFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The title row of a file as the program reads it; "<unreadable>" when it cannot be read.
inline std::string titleOf(const std::string& path)
{
    auto edit = document::DocumentEdit::open(path, false, nullptr);
    const auto rows = edit.ok() ? edit->rows() : Result<props::RowTexts>(edit.failure());
    return rows.ok() ? (*rows)[0] : std::string("<unreadable>");
}

}  // namespace quorvane::app::testing
