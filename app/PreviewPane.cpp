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

#include "app/LocalText.h"
#include "app/NcLineText.h"
#include "app/PreviewCanvas.h"

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
        row->addWidget(ButtonFor(action));
        viewActions[view] = action;
    }
    depthBox = new QCheckBox(QStringLiteral("深さで色分け"));
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
    row->addWidget(ButtonFor(measureAction));
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
    ncFile_ = ncFile;
    styles_ = styles;
    colourLayerBoxes();
    canvas->setStyles(styles);
    clear();
}

void PreviewPane::clear() {
    model_.clear();
    status->clear();
    canvas->forgetDrawing();
}

void PreviewPane::showProgress() {
    canvas->drawingGrew();
}

// "123行目: G01 X10. Y20.", the text read back from the NC file.
void PreviewPane::showLineOf(std::size_t index) {
    const std::uint32_t line = model_[index].fileLine;
    const std::optional<std::string> text = NcLineText(ncFile_, line);
    status->setText(QStringLiteral("%1行目: %2").arg(line).arg(text ? ToQString(*text) : QString()));
}
