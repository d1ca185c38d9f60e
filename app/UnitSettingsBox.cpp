#include "app/UnitSettingsBox.h"

#include <QCheckBox>
#include <QVBoxLayout>

UnitSettingsBox::UnitSettingsBox(const UnitOptions& units)
    : QGroupBox(QStringLiteral("単位")),
      Inch(new QCheckBox(QStringLiteral("単位の既定: インチ"))),
      CalculatorDecimals(new QCheckBox(QStringLiteral("電卓型小数点入力"))) {
    Inch->setChecked(units.inchByDefault);
    CalculatorDecimals->setChecked(units.calculatorDecimals);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Inch);
    layout->addWidget(CalculatorDecimals);
}

UnitOptions UnitSettingsBox::edited() const {
    return UnitOptions{Inch->isChecked(), CalculatorDecimals->isChecked()};
}
