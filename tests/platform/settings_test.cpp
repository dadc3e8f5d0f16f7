#include "platform/settings.h"
#include "tests/support/testsupport.h"

using namespace platform;

namespace {
class SettingsTest : public testsupport::TempRootTest {};

// The INI lines of the store that hold `key`, spelled any way.
QStringList linesForKey(const QString& file, const QString& key) {
    QStringList out;
    const QStringList lines = QString::fromUtf8(testsupport::readFile(file)).split(u'\n');
    for (const QString& l : lines)
        if (l.trimmed().startsWith(key + u'=', Qt::CaseInsensitive)) out.append(l.trimmed());
    return out;
}
}  // namespace

TEST_F(SettingsTest, SaveAndGetIgnoreCaseOfKeys) {
    Settings s;
    EXPECT_EQ(s.get(QStringLiteral("Path"), QStringLiteral("fb")), QStringLiteral("fb"));
    EXPECT_TRUE(s.get(QStringLiteral("Path")).isEmpty());

    const QString dir = QStringLiteral("C:\\Program Files\\法令, 2");
    s.save(QStringLiteral("PATH"), dir);
    EXPECT_EQ(s.get(QStringLiteral("Path")), dir);
    EXPECT_EQ(Settings().get(QStringLiteral("path"), QStringLiteral("fb")), dir);

    // Saving under another spelling replaces the value and keeps the first spelling.
    s.save(QStringLiteral("Path"), QStringLiteral("D:\\x"));
    EXPECT_EQ(s.get(QStringLiteral("PATH")), QStringLiteral("D:\\x"));
    const QStringList lines = linesForKey(s.fileName(), QStringLiteral("path"));
    ASSERT_EQ(lines.size(), 1) << lines.join(u'|').toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("PATH="))) << lines[0].toStdString();

    // Another section of the same store is separate.
    Settings other(QStringLiteral("LXA"), QStringLiteral("OTHER"));
    EXPECT_EQ(other.get(QStringLiteral("Path"), QStringLiteral("fb")), QStringLiteral("fb"));
}

TEST(SettingToBoolTest, ReadsVbBooleans) {
    EXPECT_TRUE(settingToBool(QStringLiteral("True")));
    EXPECT_TRUE(settingToBool(QStringLiteral("TRUE")));
    EXPECT_TRUE(settingToBool(QStringLiteral("-1")));
    EXPECT_TRUE(settingToBool(QStringLiteral("1")));
    EXPECT_FALSE(settingToBool(QStringLiteral("False"), true));
    EXPECT_FALSE(settingToBool(QStringLiteral("0"), true));
    // Nothing readable gives the fallback either way.
    for (bool fb : {false, true}) {
        EXPECT_EQ(settingToBool(QString(), fb), fb);
        EXPECT_EQ(settingToBool(QStringLiteral("garbage"), fb), fb);
    }
}
