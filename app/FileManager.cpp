#include "app/FileManager.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

constexpr int kQueryTimeoutMs = 3000;

// On a desktop without a file manager Qt still starts xdg-open and reports success; xdg-open fails later in
// its own process, where nobody sees it. So the desktop's list of applications is asked first. Without
// xdg-mime to ask, Qt looks for a launcher of its own and its answer is all there is.
bool DesktopHasFolderApplication() {
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty()) {
        return true;
    }
    QProcess query;
    query.start(xdgMime,
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("inode/directory")});
    if (!query.waitForFinished(kQueryTimeoutMs)) {
        query.kill();
        query.waitForFinished();
        return true;
    }
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

}  // namespace

bool OpenInFileManager(const QString& folder) {
    return DesktopHasFolderApplication() && QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}
