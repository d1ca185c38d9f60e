// The preview beside the report: one check box per layer (its Japanese name in its colour), the
// "全体表示" (fit) button, the buttons of the four views, the depth colours and the measure tool, the
// cursor's coordinates, the drawing, and a status line that names the NC line of the clicked entity.
// The NC listing, which the window places, is linked with the drawing both ways: a clicked entity selects
// its line, a line chosen in the listing highlights every entity drawn for it.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <string>

#include "app/PreviewModel.h"
#include "app/ViewProjection.h"
#include "dxf/LayerStyles.h"

class NcListing;
class PreviewCanvas;
class QAction;
class QCheckBox;
class QLabel;
class QLayout;
class QToolButton;

inline constexpr char kFitCaption[] = "全体表示";

class PreviewPane : public QWidget {
    Q_OBJECT

public:
    explicit PreviewPane(QWidget* parent = nullptr);

    // What the run draws into.
    PreviewModel& model() { return model_; }

    // A new run: the drawing is cleared, and the NC file is where clicked lines are read back from.
    void startRun(const std::string& ncFile, const LayerStyles& styles);
    // The listing shows `ncFile`, whose lines the drawing names from now on.
    void showProgram(const std::string& ncFile);
    // A line of the report's list of codes not drawn: `line` of the NC file, or of file `fileName`.
    void showReportedLine(const std::string& fileName, std::int64_t line);
    // An aborted or failed run leaves nothing behind.
    void clear();
    // At the pace the window repaints its counter: what the run has drawn since appears.
    void showProgress();

    PreviewCanvas* canvas;
    std::array<QCheckBox*, kDrawingLayerCount> layerBoxes;
    QToolButton* fitButton;
    QAction* fitAction;
    // In the order of PreviewView.
    std::array<QToolButton*, kPreviewViewCount> viewButtons;
    QCheckBox* depthBox;
    QAction* measureAction;
    QToolButton* measureButton;
    QLabel* coordinates;
    QLabel* status;
    NcListing* listing;

private:
    void showLineOf(std::size_t index);
    void showPassesOf(std::int64_t line);
    void forgetShownLine();
    // "<line>行目 (N<number>): <text>", the file named first when it is not the NC file.
    QString lineCaption(const std::string& fileName, const std::string& path, std::int64_t line);
    void colourLayerBoxes();
    QLayout* makeViewRow();

    PreviewModel model_;
    LayerStyles styles_;
    std::string ncFile_;
};
