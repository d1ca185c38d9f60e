#include "app/PlotraApplication.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QWidget>
#include <stdexcept>
#include <string>

#include "app/tests/WindowFixture.h"

namespace {

class Thrower : public QObject {
protected:
    bool event(QEvent*) override { throw std::runtime_error("ディスクがいっぱいです。"); }
};

TEST(PlotraApplication, IsTitledWithTheProgramsName) {
    EXPECT_EQ(QCoreApplication::applicationName().toStdString(), "ＮＣ→ＤＸＦ変換");
}

TEST(PlotraApplication, ExceptionFromAHandlerIsShownInAnErrorBoxAndClosesTheWindows) {
    QWidget window;
    window.show();
    std::string title;
    std::string text;
    AnswerModal(window, [&](QWidget& dialog) {
        auto* box = qobject_cast<QMessageBox*>(&dialog);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle().toStdString();
        text = box->text().toStdString();
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        box->button(QMessageBox::Ok)->click();
    });
    Thrower thrower;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&thrower, &event));
    EXPECT_EQ(title, "ＮＣ→ＤＸＦ変換");
    EXPECT_EQ(text, "ディスクがいっぱいです。");
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
