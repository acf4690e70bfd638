#include "app/settings_store.h"

#include <QSettings>
#include <QVariant>

#include "shell/product.h"

namespace trellisane {

QString GetSetting(const QString& key, const QString& defaultValue) {
    QSettings settings(QSettings::UserScope, QString::fromLatin1(kSettingsOrganisation),
                       QString::fromLatin1(kSettingsApplication));
    // Without this, QSettings would also answer from the organisation-wide and system-wide
    // files, so a value meant for another product could become our start folder.
    settings.setFallbacksEnabled(false);
    const QVariant value = settings.value(key);
    if (!value.isValid() || value.typeId() != QMetaType::QString) return defaultValue;
    return value.toString();
}

}  // namespace trellisane
