// SPDX-License-Identifier: Apache-2.0
#include "app/file_status_icons.h"

#include <array>

namespace quorvane::app {

QIcon fileStatusIcon(int status)
{
    static constexpr std::array<const char*, kFileStatusCount> kIconNames = {
        "status-unchanged", "status-changed", "status-failed", "status-unreadable"};
    if (status < 0 || status >= kFileStatusCount) return QIcon();
    // Loaded once: every line of the file list shares these four (QIcon copies share their data),
    // where loading the picture per line would parse its SVG again for each of 100,000 files.
    static const std::array<QIcon, kFileStatusCount> kIcons = [] {
        std::array<QIcon, kFileStatusCount> icons;
        for (std::size_t index = 0; index < icons.size(); ++index)
            icons[index] = QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(kIconNames[index])));
        return icons;
    }();
    return kIcons[static_cast<std::size_t>(status)];
}

}  // namespace quorvane::app
