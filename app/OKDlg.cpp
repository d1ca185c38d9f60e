#include "app/OKDlg.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/Look.h"
#include "app/PathLabel.h"

namespace {

// Wide enough for most paths on one line, narrow enough for the smallest screens.
constexpr int kPathWrapWidth = 560;

}  // namespace

TOKBottomDlg::TOKBottomDlg(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      Label1(new QLabel(QStringLiteral("下記のファイルを変換しますか？"))),
      Bevel1(new QFrame),
      StaticText1(new PathLabel(QStringLiteral("NoFIle"), kPathWrapWidth)),
      Start(new QPushButton(style()->standardIcon(QStyle::SP_MediaPlay), QStringLiteral("変換開始"))),
      CancelBtn(new QPushButton(QStringLiteral("キャンセル"))) {
    setWindowTitle(QStringLiteral("複数ファイル変換？"));
    setFont(WindowFont());

    Label1->setFont(BoldFont(16));
    Label1->setAutoFillBackground(true);
    // The yellow band keeps its black text whatever the palette, which could make the text light.
    QPalette yellow = Label1->palette();
    yellow.setColor(QPalette::Window, Qt::yellow);
    yellow.setColor(QPalette::WindowText, Qt::black);
    Label1->setPalette(yellow);
    Label1->setMargin(4);

    StaticText1->setFont(BoldFont(13));
    StaticText1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StaticText1->setMinimumWidth(360);
    StaticText1->setMargin(4);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto* bevelLayout = new QVBoxLayout(Bevel1);
    bevelLayout->addWidget(StaticText1);

    Start->setDefault(true);
    connect(Start, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Start);
    buttons->addWidget(CancelBtn);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(Label1);
    layout->addWidget(Bevel1);
    layout->addLayout(buttons);
}

void TOKBottomDlg::showEvent(QShowEvent* event) {
    CentreOnScreen(*this);
    QDialog::showEvent(event);
}
