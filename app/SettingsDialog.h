// The settings dialog of the 設定 menu: one box per kind of setting, OK and Cancel. OK is refused while a
// box holds an entry it cannot take; the box says why.
#pragma once

#include <QDialog>

#include "app/WindowSettings.h"

class QDialogButtonBox;
class MacroSettingsBox;
class UnitSettingsBox;

class SettingsDialog : public QDialog {
    Q_OBJECT

public:
    SettingsDialog(QWidget* owner, const WindowSettings& settings);

    // What the user set, once the dialog has been accepted.
    const WindowSettings& settings() const { return settings_; }

    void accept() override;

    MacroSettingsBox* Macro;
    UnitSettingsBox* Units;
    QDialogButtonBox* Buttons;

private:
    WindowSettings settings_;
};
