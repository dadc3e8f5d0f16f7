#include "tests/support/samplelaws.h"

#include "store/folders.h"

#include <QDir>
#include <QFile>

namespace testsupport {

QString sampleLawsRoot() {
    return QStringLiteral(LEXORA_SAMPLE_LAWS);
}

void SampleLawsTest::SetUp() {
    TempRootTest::SetUp();
    const QString from = sampleLawsRoot() + QStringLiteral("/DB");
    const QString to = store::folders().db;
    QDir().mkpath(to);
    const QStringList files = QDir(from).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 8) << "the sample laws were not imported: " << from.toStdString();
    for (const QString& f : files) ASSERT_TRUE(QFile::copy(from + u'/' + f, to + u'/' + f));
    copySampleExchangeFiles();
}

}  // namespace testsupport
