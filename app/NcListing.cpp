#include "app/NcListing.h"

#include <QAction>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <limits>

#include "app/LocalText.h"

namespace {

// A line is shown up to this many bytes; a longer one ends in an ellipsis.
constexpr std::size_t kShownBytes = 500;
// How seldom the file's state is looked at while painting and selecting.
constexpr int kCheckIntervalMs = 300;
constexpr int kTextMargin = 6;

// The bytes as the window shows file text, with tabs as blanks and every other control character as its
// visible picture, so that no byte can break a row.
QString ShownText(const std::string& bytes) {
    const bool cut = bytes.size() > kShownBytes;
    QString text = ToQString(std::string_view(bytes).substr(0, kShownBytes));
    for (QChar& c : text) {
        if (c == u'\t') {
            c = u' ';
        } else if (c.unicode() < 0x20) {
            c = QChar(0x2400 + c.unicode());
        } else if (c.unicode() == 0x7F) {
            c = QChar(0x2421);
        }
    }
    if (cut) {
        text += QChar(0x2026);
    }
    return text;
}

std::optional<std::int64_t> WholeNumber(const QString& text) {
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok);
    return ok && number >= 0 ? std::optional<std::int64_t>(number) : std::nullopt;
}

}  // namespace

NcListing::NcListing(QWidget* parent) : QAbstractScrollArea(parent) {
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setFocusPolicy(Qt::StrongFocus);
    setToolTip(
        QStringLiteral("行を選ぶとその経路を強調表示します (↑↓: 前後の行、Ctrl+G: 行番号・N番号へ移動)"));
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth());

    goToEdit = new QLineEdit(this);
    goToEdit->setPlaceholderText(QStringLiteral("行番号 または N番号 (例: 120, N120)"));
    goToEdit->hide();
    goToEdit->installEventFilter(this);
    connect(goToEdit, &QLineEdit::returnPressed, this, &NcListing::goTo);
    auto* goToAction = new QAction(QStringLiteral("指定行へ移動"), this);
    goToAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    goToAction->setShortcutContext(Qt::WindowShortcut);
    connect(goToAction, &QAction::triggered, this, &NcListing::openGoTo);
    addAction(goToAction);
}

void NcListing::open(const std::string& path) {
    if (path != index_.path() || index_.changedOnDisk()) {
        index_.build(path);
        changed_ = false;
        lastCheck_.start();
    }
    selected_ = 0;
    held_.clear();
    widestText_ = 0;
    updateScrollRange();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

bool NcListing::fileChanged() {
    if (!changed_ && (!lastCheck_.isValid() || lastCheck_.elapsed() >= kCheckIntervalMs)) {
        changed_ = index_.changedOnDisk();
        lastCheck_.start();
    }
    return changed_;
}

int NcListing::rowHeight() const {
    return fontMetrics().lineSpacing();
}

int NcListing::visibleRows() const {
    return std::max(1, viewport()->height() / rowHeight());
}

int NcListing::gutterWidth() const {
    const int digits =
        static_cast<int>(QString::number(std::max<std::int64_t>(index_.lineCount(), 9)).size());
    return fontMetrics().horizontalAdvance(QLatin1Char('0')) * digits + 2 * kTextMargin;
}

std::int64_t NcListing::firstShownLine() const {
    return std::int64_t{verticalScrollBar()->value()} + 1;
}

void NcListing::updateScrollRange() {
    const std::int64_t maxFirst = std::max<std::int64_t>(0, index_.lineCount() - visibleRows());
    verticalScrollBar()->setRange(
        0, static_cast<int>(std::min<std::int64_t>(maxFirst, std::numeric_limits<int>::max())));
    verticalScrollBar()->setPageStep(visibleRows());
    horizontalScrollBar()->setRange(
        0, std::max(0, gutterWidth() + widestText_ + kTextMargin - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
}

// A step past the edge of the view scrolls by that step; a jump puts the line in the middle.
void NcListing::showLine(std::int64_t line) {
    selected_ = std::clamp<std::int64_t>(line, 0, index_.lineCount());
    const std::int64_t first = firstShownLine();
    const std::int64_t rows = visibleRows();
    if (selected_ != 0 && (selected_ < first || selected_ >= first + rows)) {
        const bool step = selected_ == first - 1 || selected_ == first + rows;
        const std::int64_t top =
            step ? (selected_ < first ? selected_ : selected_ - rows + 1) : selected_ - rows / 2;
        verticalScrollBar()->setValue(
            static_cast<int>(std::clamp<std::int64_t>(top - 1, 0, verticalScrollBar()->maximum())));
    }
    viewport()->update();
}

void NcListing::choose(std::int64_t line) {
    if (index_.lineCount() == 0) {
        return;
    }
    showLine(std::clamp<std::int64_t>(line, 1, index_.lineCount()));
    emit lineChosen(selected_);
}

const std::vector<QString>& NcListing::shownLines(std::int64_t first, std::int64_t count) {
    const auto heldCount = static_cast<std::int64_t>(held_.size());
    const bool inHeld = first >= heldFirst_ && first + count <= heldFirst_ + heldCount;
    if (!inHeld || held_.empty()) {
        // A page either side is read with the page in view, so that scrolling by lines reads nothing.
        heldFirst_ = std::max<std::int64_t>(1, first - count);
        held_.clear();
        for (const std::string& bytes : index_.read(heldFirst_, 3 * count, kShownBytes + 1)) {
            held_.push_back(ShownText(bytes));
            widestText_ = std::max(widestText_, fontMetrics().horizontalAdvance(held_.back()));
        }
        updateScrollRange();
    }
    return held_;
}

void NcListing::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().base());
    const int height = rowHeight();
    const int ascent = fontMetrics().ascent();
    if (fileChanged()) {
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(viewport()->rect().adjusted(kTextMargin, kTextMargin, -kTextMargin, 0),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                         QString::fromUtf8(kFileChangedNotice));
        return;
    }
    const std::int64_t first = firstShownLine();
    const std::int64_t rows = std::min<std::int64_t>(visibleRows() + 1, index_.lineCount() - first + 1);
    if (rows <= 0) {
        return;
    }
    const std::vector<QString>& lines = shownLines(first, rows);
    const int gutter = gutterWidth();
    const int textX = gutter + kTextMargin - horizontalScrollBar()->value();
    for (std::int64_t row = 0; row < rows; ++row) {
        const std::int64_t line = first + row;
        const int y = static_cast<int>(row) * height;
        const bool selected = line == selected_;
        if (selected) {
            painter.fillRect(0, y, viewport()->width(), height, palette().highlight());
        }
        const auto held = static_cast<std::size_t>(line - heldFirst_);
        if (held < lines.size()) {
            painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
            painter.setClipRect(gutter, y, viewport()->width() - gutter, height);
            painter.drawText(textX, y + ascent, lines[held]);
            painter.setClipping(false);
        }
        painter.fillRect(0, y, gutter, height, palette().alternateBase());
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(QRect(0, y, gutter - kTextMargin, height), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(line));
    }
}

void NcListing::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    const QRect area = contentsRect();
    goToEdit->setGeometry(area.left(), area.top(), area.width(), goToEdit->sizeHint().height());
    updateScrollRange();
}

void NcListing::scrollContentsBy(int, int) {
    viewport()->update();
}

void NcListing::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const std::int64_t line =
        firstShownLine() + static_cast<std::int64_t>(event->position().y()) / rowHeight();
    if (line <= index_.lineCount()) {
        choose(line);
    }
}

void NcListing::keyPressEvent(QKeyEvent* event) {
    const std::int64_t from = selected_ != 0 ? selected_ : firstShownLine();
    switch (event->key()) {
        case Qt::Key_Up:
            choose(selected_ != 0 ? from - 1 : from);
            return;
        case Qt::Key_Down:
            choose(selected_ != 0 ? from + 1 : from);
            return;
        case Qt::Key_PageUp:
            choose(from - visibleRows());
            return;
        case Qt::Key_PageDown:
            choose(from + visibleRows());
            return;
        // Enter goes no further than the listing, where it would start a conversion by accident.
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return;
        case Qt::Key_Escape:
            if (goToEdit->isVisible()) {
                closeGoTo();
                return;
            }
            break;
        default:
            break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

// Escape closes the go-to input before any shortcut of the window sees it.
bool NcListing::eventFilter(QObject* watched, QEvent* event) {
    if (watched == goToEdit && event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        event->accept();
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void NcListing::openGoTo() {
    setViewportMargins(0, goToEdit->sizeHint().height(), 0, 0);
    goToEdit->show();
    goToEdit->setFocus();
    goToEdit->selectAll();
}

void NcListing::closeGoTo() {
    goToEdit->hide();
    setViewportMargins(0, 0, 0, 0);
    setFocus();
}

// "120" is line 120; "N120" the first block numbered N120, as a machinist names a block.
void NcListing::goTo() {
    const QString text = goToEdit->text().trimmed();
    const bool sequence = text.startsWith(u'N', Qt::CaseInsensitive);
    const std::optional<std::int64_t> number = WholeNumber(sequence ? text.mid(1).trimmed() : text);
    std::optional<std::int64_t> line;
    if (number && sequence) {
        line = index_.findSequence(*number);
    } else if (number && *number >= 1 && *number <= index_.lineCount()) {
        line = number;
    }
    if (!line) {
        emit notFound(QStringLiteral("「%1」の行はありません。").arg(text));
        goToEdit->selectAll();
        return;
    }
    closeGoTo();
    choose(*line);
}
