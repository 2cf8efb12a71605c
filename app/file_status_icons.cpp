#include "app/file_status_icons.h"

#include <array>

namespace quorvane::app {

QIcon fileStatusIcon(int status)
{
    static constexpr std::array<const char*, kFileStatusCount> kIconNames = {
        "status-unchanged", "status-changed", "status-failed", "status-unreadable"};
    if (status < 0 || status >= kFileStatusCount) return QIcon();
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(kIconNames[static_cast<std::size_t>(status)])));
}

}  // namespace quorvane::app
