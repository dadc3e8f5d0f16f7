#include "platform/settings.h"

#include <QSettings>

namespace platform {

namespace {
QSettings store(const QString& application) {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, application, application);
}
}  // namespace

Settings::Settings(const QString& application, const QString& section)
    : application_(application), section_(section) {}

QString Settings::findKey(const QString& key) const {
    QSettings s = store(application_);
    s.beginGroup(section_);
    const QStringList keys = s.childKeys();
    for (const QString& k : keys)
        if (k.compare(key, Qt::CaseInsensitive) == 0) return k;
    return {};
}

QVariant Settings::read(const QString& key) const {
    const QString k = findKey(key);
    if (k.isEmpty()) return {};
    QSettings s = store(application_);
    s.beginGroup(section_);
    return s.value(k);
}

void Settings::write(const QString& key, const QVariant& value) {
    QString k = findKey(key);
    if (k.isEmpty()) k = key;
    QSettings s = store(application_);
    s.beginGroup(section_);
    s.setValue(k, value);
    s.endGroup();
    s.sync();
}

QString Settings::get(const QString& key, const QString& fallback) const {
    const QVariant v = read(key);
    return v.isValid() ? v.toString() : fallback;
}

void Settings::save(const QString& key, const QString& value) {
    write(key, value);
}

QStringList Settings::getList(const QString& key) const {
    return read(key).toStringList();
}

void Settings::saveList(const QString& key, const QStringList& values) {
    write(key, values);
}

QString Settings::fileName() const {
    return store(application_).fileName();
}

bool settingToBool(const QString& value, bool fallback) {
    const QString v = value.trimmed();
    if (v.isEmpty()) return fallback;
    if (v.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0 ||
        v.compare(QStringLiteral("yes"), Qt::CaseInsensitive) == 0)
        return true;
    if (v.compare(QStringLiteral("false"), Qt::CaseInsensitive) == 0 ||
        v.compare(QStringLiteral("no"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? n != 0 : fallback;
}

}  // namespace platform
