#include "app/PreviewPane.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>
#include <QVBoxLayout>

#include <filesystem>

#include "app/LocalText.h"
#include "app/NcLineText.h"
#include "app/NcListing.h"
#include "app/PreviewCanvas.h"
#include "conversion/ControlWords.h"

namespace {

constexpr const char* kLayerNames[kDrawingLayerCount] = {"早送り",       "補正あり", "補正無し",
                                                         "固定サイクル", "中心線",   "情報"};

struct ViewButton {
    const char* caption;
    Qt::Key digit;
    Qt::Key letter;
};
// The keys CNC viewers use: the digits in the order of the buttons, and the views' initials.
constexpr ViewButton kViewButtons[kPreviewViewCount] = {{"上面", Qt::Key_1, Qt::Key_T},
                                                        {"正面", Qt::Key_2, Qt::Key_F},
                                                        {"側面", Qt::Key_3, Qt::Key_S},
                                                        {"等角", Qt::Key_4, Qt::Key_I}};

QToolButton* ButtonFor(QAction* action) {
    auto* button = new QToolButton;
    button->setDefaultAction(action);
    return button;
}

QIcon Swatch(std::uint32_t rgb) {
    QPixmap swatch(12, 12);
    swatch.fill(QColor(static_cast<int>(rgb >> 16 & 0xFF), static_cast<int>(rgb >> 8 & 0xFF),
                       static_cast<int>(rgb & 0xFF)));
    QPainter painter(&swatch);
    painter.setPen(Qt::darkGray);
    painter.drawRect(0, 0, 11, 11);
    return QIcon(swatch);
}

}  // namespace

PreviewPane::PreviewPane(QWidget* parent) : QWidget(parent), styles_(DefaultLayerStyles()) {
    canvas = new PreviewCanvas(model_);
    auto* layers = new QHBoxLayout;
    layers->setSpacing(6);
    for (int layer = 0; layer < kDrawingLayerCount; ++layer) {
        QCheckBox* box = new QCheckBox(QString::fromUtf8(kLayerNames[layer]));
        box->setChecked(true);
        connect(box, &QCheckBox::toggled, this,
                [this, layer](bool on) { canvas->setLayerVisible(static_cast<DrawingLayer>(layer), on); });
        layers->addWidget(box);
        layerBoxes[layer] = box;
    }
    layers->addStretch(1);
    fitAction = new QAction(QString::fromUtf8(kFitCaption), this);
    // Not Home, which text fields keep for themselves.
    fitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    fitAction->setShortcutContext(Qt::WindowShortcut);
    fitAction->setToolTip(QStringLiteral("全体表示 (Ctrl+0)"));
    connect(fitAction, &QAction::triggered, canvas, &PreviewCanvas::fitToExtents);
    addAction(fitAction);
    fitButton = ButtonFor(fitAction);
    layers->addWidget(fitButton);

    status = new QLabel;
    status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    status->setMinimumWidth(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(layers);
    layout->addLayout(makeViewRow());
    layout->addWidget(canvas, 1);
    layout->addWidget(status);
    connect(canvas, &PreviewCanvas::entityClicked, this, &PreviewPane::showLineOf);
    connect(canvas, &PreviewCanvas::emptyClicked, this, &PreviewPane::forgetShownLine);
    listing = new NcListing(this);
    connect(listing, &NcListing::lineChosen, this, &PreviewPane::showPassesOf);
    connect(listing, &NcListing::notFound, status, &QLabel::setText);
    colourLayerBoxes();
}

// The views, the depth colours, the measure tool and the cursor's coordinates. The keys are window
// shortcuts, which the name fields take for themselves while they have the focus, so typing there is not
// disturbed.
QLayout* PreviewPane::makeViewRow() {
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    auto* views = new QActionGroup(this);
    for (int view = 0; view < kPreviewViewCount; ++view) {
        const ViewButton& b = kViewButtons[view];
        QAction* action = new QAction(QString::fromUtf8(b.caption), views);
        action->setCheckable(true);
        action->setChecked(view == static_cast<int>(PreviewView::Top));
        action->setShortcuts({QKeySequence(b.digit), QKeySequence(b.letter)});
        action->setShortcutContext(Qt::WindowShortcut);
        action->setToolTip(
            QStringLiteral("%1 (%2 / %3)")
                .arg(action->text(), QKeySequence(b.digit).toString(), QKeySequence(b.letter).toString()));
        connect(action, &QAction::triggered, canvas,
                [this, view] { canvas->setView(static_cast<PreviewView>(view)); });
        addAction(action);
        viewButtons[view] = ButtonFor(action);
        row->addWidget(viewButtons[view]);
    }
    depthBox = new QCheckBox(QStringLiteral("深さで色分け(&D)"));
    connect(depthBox, &QCheckBox::toggled, canvas, &PreviewCanvas::setDepthColours);
    row->addWidget(depthBox);
    measureAction = new QAction(QStringLiteral("測定"), this);
    measureAction->setCheckable(true);
    measureAction->setShortcut(Qt::Key_M);
    measureAction->setShortcutContext(Qt::WindowShortcut);
    measureAction->setToolTip(QStringLiteral("測定 (M): 端点か円弧の中心を2点クリック、Escで終了"));
    connect(measureAction, &QAction::toggled, canvas, &PreviewCanvas::setMeasuring);
    connect(canvas, &PreviewCanvas::measuringChanged, measureAction, &QAction::setChecked);
    addAction(measureAction);
    measureButton = ButtonFor(measureAction);
    row->addWidget(measureButton);
    row->addStretch(1);
    coordinates = new QLabel;
    coordinates->setMinimumWidth(1);
    connect(canvas, &PreviewCanvas::cursorMoved, coordinates, &QLabel::setText);
    row->addWidget(coordinates);
    return row;
}

void PreviewPane::colourLayerBoxes() {
    for (int layer = 0; layer < kDrawingLayerCount; ++layer) {
        layerBoxes[layer]->setIcon(Swatch(styles_[layer].rgb));
    }
}

void PreviewPane::startRun(const std::string& ncFile, const LayerStyles& styles) {
    showProgram(ncFile);
    styles_ = styles;
    colourLayerBoxes();
    canvas->setStyles(styles);
    clear();
}

void PreviewPane::showProgram(const std::string& ncFile) {
    ncFile_ = ncFile;
    listing->open(ncFile);
}

void PreviewPane::clear() {
    model_.clear();
    status->clear();
    canvas->forgetDrawing();
    listing->showLine(0);
}

void PreviewPane::showProgress() {
    canvas->drawingGrew();
}

// The line of the clicked entity in the listing; the status names the line it was drawn by, in another file
// when a called program there drew it.
void PreviewPane::showLineOf(std::size_t index) {
    const std::uint32_t line = model_[index].fileLine;
    canvas->select(index);
    listing->showLine(line);
    if (const std::optional<EntitySource> source = model_.sourceOf(index)) {
        status->setText(
            lineCaption(std::filesystem::path(source->path).filename().string(), source->path, source->line));
    } else {
        status->setText(lineCaption("", ncFile_, line));
    }
}

// Every pass through the line: a subprogram's line run twice is drawn twice.
void PreviewPane::showPassesOf(std::int64_t line) {
    canvas->setHighlighted(model_.entitiesOfLine(line));
    status->setText(lineCaption("", ncFile_, line));
}

void PreviewPane::forgetShownLine() {
    status->clear();
    listing->showLine(0);
    canvas->setHighlighted({});
}

void PreviewPane::showReportedLine(const std::string& fileName, std::int64_t line) {
    if (fileName.empty()) {
        listing->showLine(line);
        listing->setFocus();
        showPassesOf(line);
        return;
    }
    forgetShownLine();
    const std::string* path = model_.sourcePathNamed(fileName);
    status->setText(lineCaption(fileName, path != nullptr ? *path : std::string(), line));
}

// The NC file's lines come through the listing's index, which finds a line near the end of a big file at
// once, or not at all once the file has changed.
QString PreviewPane::lineCaption(const std::string& fileName, const std::string& path, std::int64_t line) {
    QString caption = fileName.empty() ? QString() : ToQString(fileName) + u' ';
    caption += QStringLiteral("%1行目").arg(line);
    const bool listed = fileName.empty() && path == listing->index().path();
    if (listed && listing->fileChanged()) {
        return caption + QStringLiteral(": ") + QString::fromUtf8(kFileChangedNotice);
    }
    std::optional<std::string> text;
    if (listed) {
        text = listing->index().line(line);
    } else if (!path.empty()) {
        text = NcLineText(path, line);
    }
    if (!text) {
        return caption;
    }
    while (!text->empty() && static_cast<unsigned char>(text->back()) <= 32) {
        text->pop_back();
    }
    if (const std::int64_t sequence = SequenceNumberOf(text->data(), text->size(), false);
        sequence != kNoNumber) {
        caption += QStringLiteral(" (N%1)").arg(sequence);
    }
    return caption + QStringLiteral(": ") + ToQString(*text);
}
