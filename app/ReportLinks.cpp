#include "app/ReportLinks.h"

#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>

#include "app/LocalText.h"

namespace {

class ReportClicks : public QObject {
public:
    ReportClicks(QPlainTextEdit& report, std::function<void(const FirstMet&)> go)
        : QObject(&report), report_(report), viewport_(report.viewport()), go_(std::move(go)) {
        viewport_->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A drag that selects text is not a click. The report is asked nothing before a release on its own
        // viewport: while it is being destroyed, its viewport still sends events.
        if (event->type() == QEvent::MouseButtonRelease && watched == viewport_ &&
            !report_.textCursor().hasSelection()) {
            const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
            if (const std::optional<FirstMet> reported =
                    FirstMetIn(ToLocal(report_.cursorForPosition(at).block().text()))) {
                go_(*reported);
            }
        }
        return false;
    }

private:
    QPlainTextEdit& report_;
    QObject* viewport_;
    std::function<void(const FirstMet&)> go_;
};

}  // namespace

void LinkReportedLines(QPlainTextEdit& report, std::function<void(const FirstMet&)> go) {
    new ReportClicks(report, std::move(go));
}
