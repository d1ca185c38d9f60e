#include "app/MacroSettingsBox.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdint>
#include <limits>
#include <string>

#include "app/LocalText.h"
#include "app/Look.h"
#include "conversion/BlockLimit.h"

namespace {

// An item shows the folder's name and keeps its bytes, so a name that is not valid in the local encoding
// is stored as it was read.
QListWidgetItem* FolderItem(const std::string& folder) {
    auto* item = new QListWidgetItem(ToQString(folder));
    item->setData(Qt::UserRole, QByteArray::fromStdString(folder));
    return item;
}

std::string FolderOf(const QListWidgetItem& item) {
    return item.data(Qt::UserRole).toByteArray().toStdString();
}

}  // namespace

MacroSettingsBox::MacroSettingsBox(const MacroSettings& macro)
    : QGroupBox(QStringLiteral("マクロプログラム")),
      Folders(new QListWidget),
      AddFolder(new QPushButton(QStringLiteral("追加..."))),
      RemoveFolder(new QPushButton(QStringLiteral("削除"))),
      MoveUp(new QPushButton(QStringLiteral("上へ"))),
      MoveDown(new QPushButton(QStringLiteral("下へ"))),
      MaxBlocksEdit(new QLineEdit(QString::number(macro.maxBlocks))),
      Problem(new QLabel) {
    chooseFolder = [this](const QString& startFolder) {
        return QFileDialog::getExistingDirectory(
            this, QStringLiteral("ライブラリフォルダを選ぶ"), startFolder,
            QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    };
    for (const std::string& folder : macro.libraryFolders) {
        Folders->addItem(FolderItem(folder));
    }
    QPalette red = Problem->palette();
    red.setColor(QPalette::WindowText, ReadableOn(Qt::red, red.color(QPalette::Window)));
    Problem->setPalette(red);
    Problem->setWordWrap(true);
    Problem->hide();

    auto* folderButtons = new QVBoxLayout;
    for (QPushButton* button : {AddFolder, RemoveFolder, MoveUp, MoveDown}) {
        button->setAutoDefault(false);
        folderButtons->addWidget(button);
    }
    folderButtons->addStretch();
    auto* grid = new QGridLayout(this);
    grid->addWidget(
        new QLabel(QStringLiteral("ライブラリフォルダ（NCファイルのフォルダの次に、上から順に探します）")), 0,
        0, 1, 2);
    grid->addWidget(Folders, 1, 0);
    grid->addLayout(folderButtons, 1, 1);
    auto* limit = new QHBoxLayout;
    limit->addWidget(new QLabel(QStringLiteral("実行ブロック数の上限")));
    limit->addWidget(MaxBlocksEdit, 1);
    grid->addLayout(limit, 2, 0, 1, 2);
    grid->addWidget(Problem, 3, 0, 1, 2);

    connect(AddFolder, &QPushButton::clicked, this, &MacroSettingsBox::addFolder);
    connect(RemoveFolder, &QPushButton::clicked, this, &MacroSettingsBox::removeFolder);
    connect(MoveUp, &QPushButton::clicked, this, [this] { moveFolder(-1); });
    connect(MoveDown, &QPushButton::clicked, this, [this] { moveFolder(1); });
    connect(Folders, &QListWidget::currentRowChanged, this, &MacroSettingsBox::enableButtons);
    enableButtons();
}

std::optional<MacroSettings> MacroSettingsBox::edited() {
    // Digits typed through a Japanese input method arrive in full width.
    const QString limitText = MaxBlocksEdit->text().normalized(QString::NormalizationForm_KC).trimmed();
    const std::optional<std::int64_t> limit = ParseBlockLimit(limitText.toStdString());
    if (!limit) {
        showProblem(QStringLiteral("実行ブロック数の上限には 1 から %1 までの整数を入力してください。")
                        .arg(std::numeric_limits<std::int64_t>::max()));
        MaxBlocksEdit->setFocus();
        MaxBlocksEdit->selectAll();
        return std::nullopt;
    }
    MacroSettings macro;
    for (int row = 0; row < Folders->count(); ++row) {
        macro.libraryFolders.push_back(FolderOf(*Folders->item(row)));
    }
    macro.maxBlocks = *limit;
    return macro;
}

void MacroSettingsBox::addFolder() {
    const QListWidgetItem* current = Folders->currentItem();
    const QString chosen = chooseFolder(current != nullptr ? current->text() : QString());
    if (chosen.isEmpty()) {
        return;
    }
    const std::string folder = ToLocal(chosen);
    if (!StorableFolder(folder)) {
        showProblem(QStringLiteral("このフォルダの名前は設定ファイルに保存できません。"));
        return;
    }
    showProblem({});
    Folders->addItem(FolderItem(folder));
    Folders->setCurrentRow(Folders->count() - 1);
}

void MacroSettingsBox::removeFolder() {
    delete Folders->takeItem(Folders->currentRow());
    enableButtons();
}

void MacroSettingsBox::moveFolder(int step) {
    const int row = Folders->currentRow();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= Folders->count()) {
        return;
    }
    Folders->insertItem(target, Folders->takeItem(row));
    Folders->setCurrentRow(target);
}

void MacroSettingsBox::enableButtons() {
    const int row = Folders->currentRow();
    RemoveFolder->setEnabled(row >= 0);
    MoveUp->setEnabled(row > 0);
    MoveDown->setEnabled(row >= 0 && row + 1 < Folders->count());
}

void MacroSettingsBox::showProblem(const QString& text) {
    Problem->setText(text);
    Problem->setVisible(!text.isEmpty());
}
