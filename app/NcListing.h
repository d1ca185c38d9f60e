// The NC program beside the preview: its lines with their numbers, read from the file for the rows in view
// only, so that a program of millions of lines scrolls as freely as a short one. One line is selected; the
// user selects by clicking, with the arrow and page keys, or with Ctrl+G, which asks for a line number
// ("120") or a sequence number ("N120", the first block that carries it).
//
// A file that has changed on disk since it was indexed is not shown under the old line numbers: the listing
// then says so instead.
#pragma once

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/NcFileIndex.h"

class QAction;
class QLineEdit;

inline constexpr char kFileChangedNotice[] = "ファイルが変更されました。再度開いてください。";

class NcListing : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit NcListing(QWidget* parent = nullptr);

    // Lists `path`, indexed afresh unless it is the file already listed, unchanged; nothing is listed when
    // it cannot be read.
    void open(const std::string& path);
    const NcFileIndex& index() const { return index_; }

    // Selects `line` (0: none) and brings it into view, as the program's own choice: lineChosen is not sent.
    void showLine(std::int64_t line);
    std::int64_t selectedLine() const { return selected_; }
    // The first line in view, counting from 1.
    std::int64_t firstShownLine() const;
    // Whether the file listed has changed on disk; looked at no more often than every few hundred
    // milliseconds.
    bool fileChanged();

    // The go-to input that Ctrl+G opens.
    QLineEdit* goToEdit;

signals:
    // The user selected `line`.
    void lineChosen(std::int64_t line);
    // A go-to text that names no line of the file.
    void notFound(const QString& message);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void choose(std::int64_t line);
    void openGoTo();
    void goTo();
    void closeGoTo();
    void updateScrollRange();
    int rowHeight() const;
    int visibleRows() const;
    int gutterWidth() const;
    // The lines first .. first + count - 1 as shown, read from the file unless held from the last paint.
    const std::vector<QString>& shownLines(std::int64_t first, std::int64_t count);

    NcFileIndex index_;
    std::int64_t selected_ = 0;
    bool changed_ = false;
    QElapsedTimer lastCheck_;
    std::int64_t heldFirst_ = 0;
    std::vector<QString> held_;
    int widestText_ = 0;
};
