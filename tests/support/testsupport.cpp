#include "tests/support/testsupport.h"

#include "platform/textfile.h"
#include "store/folders.h"
#include "store/lawdb.h"

#include <QDir>
#include <QFile>
#include <QProcess>
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

void addLaw(int number, const QString& code, const QString& name, bool withDb) {
    store::Database db = store::openMasterDb();
    db.execute(QStringLiteral("insert into 法典コード values (?, ?, ?)"), {number, code, name});
    if (withDb) store::MakeHoutenDB(store::folders().db, name + QStringLiteral(".mdb"));
}

void addRecord(const QString& lawName, const QString& code, const QString& text) {
    store::Database db = store::openLawDb(lawName);
    db.execute(QStringLiteral("insert into 条文 values (?, ?)"), {code, text});
}

std::optional<QString> recordText(const QString& lawName, const QString& code) {
    store::Database db = store::openLawDb(lawName);
    store::Recordset rs =
        db.openRecordset(QStringLiteral("select 条文 from 条文 where 条項コード=?"),
                         store::RecordsetType::Snapshot, {code});
    if (rs.eof()) return std::nullopt;
    return rs.text(QStringLiteral("条文"));
}

void addToc(const QString& lawName, const QStringList& f) {
    store::Database db = store::openLawDb(lawName);
    db.execute(QStringLiteral("insert into 目次 (コード, SOJ, EOJ, SOJ2, EOJ2, 見出し) "
                              "values (?, ?, ?, ?, ?, ?)"),
               {f[0], f[1], f[2], f[3], f[4], f[5]});
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
    // The reader's own data of every test (and its lexctl) in a home of its own.
    qputenv("XDG_DATA_HOME", (tmp_.path() + QStringLiteral("/data-home")).toUtf8());
    store::setFolders(programDir_, QString());
    store::folders().admin = false;
}

void TempRootTest::copySampleExchangeFiles() {
    for (const char* name : {"ht.dat", "idx.dat"})
        QFile::copy(sampleDir() + u'/' + QString::fromLatin1(name),
                    programDir_ + u'/' + QString::fromLatin1(name));
}

ProcessResult TempRootTest::lexctl(const QStringList& args) const {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), tmp_.path() + QStringLiteral("/cli-config"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(LEXORA_LEXCTL), QStringList(args)
                                               << QStringLiteral("--root") << rootDir()
                                               << QStringLiteral("--program-dir") << programDir());
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace testsupport
