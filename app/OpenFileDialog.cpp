#include "app/OpenFileDialog.h"

#include <QAbstractItemView>
#include <QComboBox>

#include "app/FileDatesInLocale.h"
#include "app/NameFilters.h"

OpenFileDialog::OpenFileDialog(QWidget* owner, const QString& barFilter, const QString& startFolder)
    : QFileDialog(owner) {
    setOption(QFileDialog::DontUseNativeDialog);
    setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    setProxyModel(new FileDatesInLocale(locale(), this));
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::AnyFile);
    setNameFilters(QtNameFilters(barFilter));
    if (!startFolder.isEmpty()) {
        setDirectory(startFolder);
    }
    // The filter box is sized for short filters; the NC filter lists sixteen patterns.
    for (QComboBox* filters : findChildren<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
        filters->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        filters->setMinimumWidth(filters->sizeHint().width());
    }
}
