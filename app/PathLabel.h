// A label for a file's full path that wraps it onto as many lines as it needs, after a separator where it
// can and anywhere else where it must, so that a long path neither widens its dialog beyond the screen nor
// loses its end. text() is the path as it was set.
#pragma once

#include <QLabel>

class PathLabel : public QLabel {
    Q_OBJECT

public:
    // Lines are at most `wrapWidth` pixels wide; a shorter path keeps its own width.
    PathLabel(const QString& path, int wrapWidth);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int textHeight(int textWidth) const;
    // The room the frame and the margin take around the text, on both sides together.
    int around() const;

    int wrapWidth_;
};
