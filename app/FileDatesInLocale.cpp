#include "app/FileDatesInLocale.h"

#include <QFileSystemModel>

namespace {

// The column of QFileSystemModel that holds the time of the last change.
constexpr int kDateColumn = 3;

}  // namespace

FileDatesInLocale::FileDatesInLocale(const QLocale& locale, QObject* parent)
    : QIdentityProxyModel(parent), locale_(locale) {}

QVariant FileDatesInLocale::data(const QModelIndex& index, int role) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || index.column() != kDateColumn || files == nullptr) {
        return QIdentityProxyModel::data(index, role);
    }
    return locale_.toString(files->lastModified(mapToSource(index)), QLocale::ShortFormat);
}
