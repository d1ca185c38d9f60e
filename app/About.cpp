#include "app/About.h"

#include <QDesktopServices>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include "app/LocalText.h"
#include "app/Look.h"

namespace {

const char* const kHistory[] = {
    "Ver1.00 2003.01.31",
    "　　初期公開",
    "Ver.1.01 2003.02.04",
    "    レイヤー名変更(要素別→加工モード別)",
    "    ヘッダーファイル(Hedder.dat)変更",
    "    ３Ｄ表示に対応(Ｚ情報追加)",
    "Ver1.02  2003.02.06",
    "    メインメニュー追加",
    "    バージョン情報追加",
    "    情報を文字で出力(最大、最小、加工時間)",
    "Ver1.03  2003.02.07",
    "    情報文字、倍率計算方法修正",
    "Ver1.04  2003.02.07",
    "    情報文字高さ、０になる不具合修正",
    "Ver1.05  2003.02.17",
    "    真円時Rに改行抜け、不具合修正",
    "    径補正時、最小内Rを出力",
    "　　処理行数表示",
    "Ver1.06  2004.01.06",
    "    ファイルをフォームへドラッグ可能に",
    "Ver1.07  2004.01.08",
    "    ドラッグファイルを複数個に対応",
    "Ver1.08  ",
    "Ver1.09  ",
    "    2006.02.02",
    "    初期位置で異常値を出力",
    "　　X0Y0Z100.をデフォルトに設定",
};

QString HistoryText() {
    QStringList lines;
    for (const char* line : kHistory) {
        lines << QString::fromUtf8(line);
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

TAboutBox::TAboutBox(QWidget* owner, const std::string& settingsPath)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      Panel1(new QFrame),
      ProgramIcon(new QLabel),
      ProductName(new QLabel(QStringLiteral("Plotra3D"))),
      Version(new QLabel),
      NoticeLabel(new QLabel),
      BitBtn1(
          new QPushButton(style()->standardIcon(QStyle::SP_DialogHelpButton), QStringLiteral("サポート"))),
      Memo1(new QPlainTextEdit(HistoryText())),
      OKButton(new QPushButton(QStringLiteral("OK"))),
      support_(LoadSupportLink(settingsPath)) {
    setWindowTitle(QStringLiteral("バージョン情報"));
    setFont(WindowFont());
    Version->setText(QStringLiteral("Version 1.09  2006.02"));
    NoticeLabel->setText(QStringLiteral("ＮＣデータの工具経路をDXF図面に変換します。"));

    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);
    ProgramIcon->setPixmap(::ProgramIcon(64));
    ProgramIcon->setFixedSize(64, 64);
    ProgramIcon->setScaledContents(true);
    ProductName->setFont(BoldFont(16));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setMinimumSize(360, 200);

    BitBtn1->setAutoDefault(false);
    BitBtn1->setEnabled(support_.enabled);
    connect(BitBtn1, &QPushButton::clicked, this, &TAboutBox::BitBtn1Click);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* names = new QVBoxLayout;
    names->addWidget(ProductName);
    names->addWidget(Version);
    names->addStretch();
    auto* panel = new QGridLayout(Panel1);
    panel->addWidget(ProgramIcon, 0, 0);
    panel->addLayout(names, 0, 1);
    panel->addWidget(BitBtn1, 0, 2, Qt::AlignTop);
    panel->addWidget(NoticeLabel, 1, 0, 1, 3);
    panel->addWidget(Memo1, 2, 0, 1, 3);
    panel->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(Panel1);
    layout->addLayout(buttons);
}

// The link is whatever the settings file holds; what the desktop makes of it is its own business.
void TAboutBox::BitBtn1Click() {
    QDesktopServices::openUrl(QUrl(ToQString(support_.link)));
}

void TAboutBox::showEvent(QShowEvent* event) {
    CentreOnScreen(*this);
    QDialog::showEvent(event);
}
