// The part of the settings dialog for how a program's numbers are read when it does not say: in inch until
// its first G20 or G21, and calculator-type decimal point input.
#pragma once

#include <QGroupBox>

#include "nc/NcBlock.h"

class QCheckBox;

class UnitSettingsBox : public QGroupBox {
    Q_OBJECT

public:
    explicit UnitSettingsBox(const UnitOptions& units);

    UnitOptions edited() const;

    QCheckBox* Inch;
    QCheckBox* CalculatorDecimals;
};
