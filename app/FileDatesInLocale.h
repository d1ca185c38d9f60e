// Qt's file list writes its dates in the system's locale whatever the dialog's own is; this model in front of
// it writes them in the locale it is given.
#pragma once

#include <QIdentityProxyModel>
#include <QLocale>

class FileDatesInLocale : public QIdentityProxyModel {
    Q_OBJECT

public:
    FileDatesInLocale(const QLocale& locale, QObject* parent);

    QVariant data(const QModelIndex& index, int role) const override;

private:
    QLocale locale_;
};
