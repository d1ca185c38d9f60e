#include "app/FileDropCatcher.h"

#include <QDropEvent>
#include <QEvent>
#include <QMimeData>
#include <QWidget>
#include <utility>

FileDropCatcher::FileDropCatcher(QWidget& window, Takes takes, Drop drop)
    : QObject(&window), window_(window), takes_(std::move(takes)), drop_(std::move(drop)) {}

void FileDropCatcher::watchWindow() {
    window_.setAcceptDrops(true);
    watch(window_);
    for (QWidget* child : window_.findChildren<QWidget*>()) {
        if (child->acceptDrops()) {
            watch(*child);
        }
    }
}

void FileDropCatcher::watch(QWidget& widget) {
    widget.installEventFilter(this);
}

bool FileDropCatcher::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return QObject::eventFilter(watched, event);
    }
    auto* drag = static_cast<QDropEvent*>(event);
    const QMimeData& data = *drag->mimeData();
    if (!data.hasUrls()) {
        return QObject::eventFilter(watched, event);
    }
    const bool taken = type == QEvent::Drop ? drop_(data) : takes_(data);
    if (taken) {
        drag->acceptProposedAction();
    } else {
        drag->ignore();
    }
    return true;
}
