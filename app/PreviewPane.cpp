#include "app/PreviewPane.h"

#include <QAction>
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
    fitAction->setShortcut(Qt::Key_Home);
    fitAction->setShortcutContext(Qt::WindowShortcut);
    fitAction->setToolTip(QStringLiteral("全体表示 (Home)"));
    connect(fitAction, &QAction::triggered, canvas, &PreviewCanvas::fitToExtents);
    addAction(fitAction);
    fitButton = new QToolButton;
    fitButton->setDefaultAction(fitAction);
    layers->addWidget(fitButton);

    status = new QLabel;
    status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    status->setMinimumWidth(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(layers);
    layout->addWidget(canvas, 1);
    layout->addWidget(status);
    connect(canvas, &PreviewCanvas::entityClicked, this, &PreviewPane::showLineOf);
    colourLayerBoxes();
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
