#include "ui/qt_settings_store.h"

namespace almx {

namespace {
QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("Korvanta"),
                                            QStringLiteral("Almanix"))) {}

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

QString QtSettingsStore::GroupName(std::string_view section) {
    QString name = ToQString(section);
    return name == QLatin1String("General") ? QStringLiteral("General_") : name;
}

QString QtSettingsStore::Key(std::string_view section, std::string_view key) const {
    return GroupName(section) + QLatin1Char('/') + ToQString(key);
}

int QtSettingsStore::GetInt(std::string_view section, std::string_view key,
                            int defaultValue) const {
    QVariant value = settings_->value(Key(section, key));
    if (!value.isValid()) return defaultValue;
    bool ok = false;
    int number = value.toString().trimmed().toInt(&ok);
    return ok ? number : defaultValue;
}

std::string QtSettingsStore::GetString(std::string_view section, std::string_view key,
                                       std::string_view defaultValue) const {
    QVariant value = settings_->value(Key(section, key));
    if (!value.isValid()) return std::string(defaultValue);
    return value.toString().toStdString();
}

void QtSettingsStore::SetInt(std::string_view section, std::string_view key, int value) {
    settings_->setValue(Key(section, key), value);
}

void QtSettingsStore::SetString(std::string_view section, std::string_view key,
                                std::string_view value) {
    settings_->setValue(Key(section, key), ToQString(value));
}

}  // namespace almx
