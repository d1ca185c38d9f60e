// Sends drags that carry files on to the window. An edit or the report would otherwise take a dropped file
// as text and insert its file:/// address, and a read-only edit would refuse the drop; Qt hands a drag to the
// child under the cursor first and never passes it up. Drags of plain text still reach the child.
#pragma once

#include <QObject>

class QWidget;

class FileDragForwarder : public QObject {
public:
    // Forwards to `window`, which takes file drags in its own dragEnterEvent and dropEvent.
    explicit FileDragForwarder(QWidget& window);

    // Every child of the window that accepts drops itself, the scroll areas' viewports included.
    void watchChildren();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
};
