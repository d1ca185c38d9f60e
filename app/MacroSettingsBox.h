// The part of the settings dialog for called programs: the library folders in their search order and the
// block limit of a run.
#pragma once

#include <QGroupBox>
#include <QString>
#include <functional>
#include <optional>

#include "app/WindowSettings.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class MacroSettingsBox : public QGroupBox {
    Q_OBJECT

public:
    explicit MacroSettingsBox(const MacroSettings& macro);

    // The settings as the box shows them; nothing, with the reason shown in the box, while the limit is not a
    // whole number of at least 1.
    std::optional<MacroSettings> edited();

    // The folder chooser, replaceable so that tests can answer in the user's place; empty is Cancel.
    std::function<QString(const QString& startFolder)> chooseFolder;

    QListWidget* Folders;
    QPushButton* AddFolder;
    QPushButton* RemoveFolder;
    QPushButton* MoveUp;
    QPushButton* MoveDown;
    QLineEdit* MaxBlocksEdit;
    // Why the last entry was refused; hidden while there is nothing to say.
    QLabel* Problem;

private:
    void addFolder();
    void removeFolder();
    void moveFolder(int step);
    void enableButtons();
    void showProblem(const QString& text);
};
