#include "tests/support/testsupport.h"

#include "platform/guard.h"
#include "platform/textfile.h"
#include "store/folders.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>

void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace testsupport {

QString sampleDir() {
    return QStringLiteral(LEXORA_SAMPLE_DIR);
}

QByteArray cp932(const QString& s) {
    return platform::encodeCp932(s, QStringLiteral("test"));
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot write fixture");
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void TempRootTest::SetUp() {
    ASSERT_TRUE(tmp_.isValid());
    programDir_ = tmp_.path() + QStringLiteral("/prog");
    rootDir_ = tmp_.path() + QStringLiteral("/prog");
    QDir().mkpath(programDir_);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       tmp_.path() + QStringLiteral("/settings"));
    store::setFolders(programDir_, QString());
    store::folders().admin = false;
}

void TempRootTest::copySampleExchangeFiles() {
    for (const char* name : {"ht.dat", "idx.dat"})
        QFile::copy(sampleDir() + u'/' + QString::fromLatin1(name),
                    programDir_ + u'/' + QString::fromLatin1(name));
}

}  // namespace testsupport

// One QApplication for every test program, on the offscreen platform.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray dir = QDir::tempPath().toUtf8() + "/lexora-runtime";
        QDir().mkpath(QString::fromUtf8(dir));
        QFile::setPermissions(QString::fromUtf8(dir),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", dir);
    }
    platform::GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexora"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
