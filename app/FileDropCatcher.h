// Takes drags that carry files wherever they land in a window. Qt hands a drag to the child under the
// cursor that accepts drops and never passes it up: an edit or the report would take a dropped file as text
// and insert its file:/// address, and a read-only edit would refuse it. Drags of plain text still reach the
// child.
#pragma once

#include <QObject>
#include <functional>

class QMimeData;
class QWidget;

class FileDropCatcher : public QObject {
public:
    // Whether the window takes a drag with these data now; what it does with them when they are dropped,
    // true when it took them.
    using Takes = std::function<bool(const QMimeData&)>;
    using Drop = std::function<bool(const QMimeData&)>;

    FileDropCatcher(QWidget& window, Takes takes, Drop drop);

    // The window and every child that accepts drops itself. A child added later that accepts drops is
    // handed to watch().
    void watchWindow();
    void watch(QWidget& widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    Takes takes_;
    Drop drop_;
};
