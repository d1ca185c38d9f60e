#include "app/SettingsDialog.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>
#include <optional>

#include "app/Look.h"
#include "app/MacroSettingsBox.h"
#include "app/UnitSettingsBox.h"

SettingsDialog::SettingsDialog(QWidget* owner, const WindowSettings& settings)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      Macro(new MacroSettingsBox(settings.macro)),
      Units(new UnitSettingsBox(settings.units)),
      Buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel)),
      settings_(settings) {
    setWindowTitle(QStringLiteral("オプション"));
    setFont(WindowFont());
    connect(Buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Macro);
    layout->addWidget(Units);
    layout->addWidget(Buttons);
}

void SettingsDialog::accept() {
    const std::optional<MacroSettings> macro = Macro->edited();
    if (!macro) {
        return;
    }
    settings_.macro = *macro;
    settings_.units = Units->edited();
    QDialog::accept();
}
