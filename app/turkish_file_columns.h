#pragma once

#include <QIdentityProxyModel>

namespace kanat {

// The file dialog's detail columns in Turkish, whatever the user's locale: the file's kind
// ("Klasör", "JPG dosyası") and its date as Turkish writes them. Qt words these by the system
// locale, which leaves English month names and "Folder" under C.UTF-8.
class TurkishFileColumns final : public QIdentityProxyModel {
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override;
};

} // namespace kanat
