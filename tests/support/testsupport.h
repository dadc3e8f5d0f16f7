#pragma once
#include <optional>
// Shared test fixtures: a temporary data root and settings per test, the sample data, and
// readable QString output in failures.
#include <gtest/gtest.h>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <ostream>

void PrintTo(const QString& s, std::ostream* os);

namespace testsupport {

// The folder of the bundled sample laws (ht.dat, idx.dat, law texts).
QString sampleDir();
// Text of a UTF-8 literal as CP932 bytes (for writing fixture files).
QByteArray cp932(const QString& s);
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

// Law data written straight into the databases of store::folders(): a listed law (with an
// empty database unless `withDb` is false), a 条文 record, a 目次 row (コード, SOJ, EOJ,
// SOJ2, EOJ2, 見出し). The master database must exist.
void addLaw(int number, const QString& code, const QString& name, bool withDb = true);
void addRecord(const QString& lawName, const QString& code, const QString& text);
// The text of a law's record; nothing when it has no such record.
std::optional<QString> recordText(const QString& lawName, const QString& code);
void addToc(const QString& lawName, const QStringList& fields);

struct ProcessResult {
    int exitCode = -1;
    QString out, err;
};

// Each test gets a fresh program folder, data root and settings store, and store::folders()
// pointing there.
class TempRootTest : public ::testing::Test {
  protected:
    void SetUp() override;
    QString programDir() const { return programDir_; }
    QString rootDir() const { return rootDir_; }
    QString path(const QString& rel) const { return tmp_.path() + u'/' + rel; }
    // Copies ht.dat and idx.dat of the sample into the program folder.
    void copySampleExchangeFiles();
    // Runs lexctl on this test's data root and program folder, with settings of its own.
    ProcessResult lexctl(const QStringList& args) const;

  private:
    QTemporaryDir tmp_;
    QString programDir_, rootDir_;
};

}  // namespace testsupport
