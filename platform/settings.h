#pragma once
// The per-user settings store: application "LXA", section "INST", keys compared without
// regard to case, so that "PATH" written by one program is "Path" to the other.
#include <QString>
#include <QStringList>
#include <QVariant>

namespace platform {

class Settings {
  public:
    // Application and section are fixed by the data both programs share.
    explicit Settings(const QString& application = QStringLiteral("LXA"),
                      const QString& section = QStringLiteral("INST"));

    // The value stored under a key spelled any way, or `fallback` when there is none.
    QString get(const QString& key, const QString& fallback = {}) const;
    // Saves under the existing spelling of the key when there is one.
    void save(const QString& key, const QString& value);
    // A list of texts (line breaks and commas kept), or empty.
    QStringList getList(const QString& key) const;
    void saveList(const QString& key, const QStringList& values);
    // Where the store lives (for messages and tests).
    QString fileName() const;

  private:
    QString findKey(const QString& key) const;
    QVariant read(const QString& key) const;  // invalid when the key is not stored
    void write(const QString& key, const QVariant& value);
    QString application_;
    QString section_;
};

// VB-style reading of a Boolean stored as text ("True", "TRUE", "-1", "1").
bool settingToBool(const QString& value, bool fallback = false);

}  // namespace platform
