#include "app/OpenFileDialog.h"

#include <QAbstractItemView>
#include <QComboBox>

#include "app/NameFilters.h"

OpenFileDialog::OpenFileDialog(QWidget* owner, const QString& barFilter) : QFileDialog(owner) {
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::AnyFile);
    setNameFilters(QtNameFilters(barFilter));
    // The filter box is sized for short filters; the NC filter lists thirteen patterns.
    for (QComboBox* filters : findChildren<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
        filters->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        filters->setMinimumWidth(filters->sizeHint().width());
    }
}
