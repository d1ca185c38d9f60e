#include "app/FileDragForwarder.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QEvent>
#include <QMimeData>
#include <QWidget>

FileDragForwarder::FileDragForwarder(QWidget& window) : QObject(&window), window_(window) {}

void FileDragForwarder::watchChildren() {
    for (QWidget* child : window_.findChildren<QWidget*>()) {
        if (child->acceptDrops()) {
            child->installEventFilter(this);
        }
    }
}

bool FileDragForwarder::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            if (static_cast<QDropEvent*>(event)->mimeData()->hasUrls()) {
                QCoreApplication::sendEvent(&window_, event);
                return true;
            }
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}
