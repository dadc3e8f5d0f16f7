#include "exchange/lawsource.h"

#include "store/codes.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <zip.h>
#include <algorithm>

namespace exchange {

struct LawXmlSource::Zip {
    zip_t* archive = nullptr;
    QList<zip_uint64_t> entries;  // the index of each name
    ~Zip() {
        if (archive) zip_discard(archive);
    }
};

LawXmlSource::LawXmlSource(const QString& path) : path_(path) {
    const QFileInfo info(path);
    if (info.isDir()) {
        QDirIterator it(path, {QStringLiteral("*.xml"), QStringLiteral("*.XML")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) names_ << it.next();
        names_.sort();
        return;
    }
    if (!info.isFile() || info.suffix().compare(QStringLiteral("zip"), Qt::CaseInsensitive) != 0)
        throw LawSourceError(
            QStringLiteral("%1 は法令XMLのフォルダでも zip ファイルでもありません。").arg(path));
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!archive) {
        zip_error_t e;
        zip_error_init_with_code(&e, error);
        const QString why = QString::fromUtf8(zip_error_strerror(&e));
        zip_error_fini(&e);
        throw LawSourceError(QStringLiteral("zip ファイル %1 を開けません。(%2)").arg(path, why));
    }
    zip_ = std::make_unique<Zip>();
    zip_->archive = archive;
    QList<std::pair<QString, zip_uint64_t>> found;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(archive, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        const QString n = name ? QString::fromUtf8(name) : QString();
        if (n.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive))
            found.append({n, zip_uint64_t(i)});
    }
    std::sort(found.begin(), found.end());
    for (const auto& [n, i] : found) {
        names_ << n;
        zip_->entries << i;
    }
}

LawXmlSource::~LawXmlSource() = default;

QByteArray LawXmlSource::read(int index) const {
    const QString name = names_.value(index);
    if (!zip_) {
        QFile f(name);
        if (!f.open(QIODevice::ReadOnly))
            throw LawSourceError(
                QStringLiteral("ファイル %1 を開けません。(%2)").arg(name, f.errorString()));
        return f.readAll();
    }
    return readEntry(zip_->entries.value(index), name);
}

QString besidePath(const QString& file, const QString& relative) {
    const QString folder = QDir::cleanPath(QFileInfo(file).path());
    const QString path = QDir::cleanPath(folder + u'/' + relative);
    // Only what lies in the file's folder or below it: a name in the XML never leads out.
    const bool inside =
        folder == QStringLiteral(".")
            ? !path.startsWith(QStringLiteral("../")) && path != QStringLiteral("..")
            : path.startsWith(folder == u'/' ? folder : folder + u'/');
    if (relative.isEmpty() || QDir::isAbsolutePath(relative) || !inside || path == folder)
        return {};
    return path;
}

QByteArray readFileBeside(const QString& file, const QString& relative) {
    const QString path = besidePath(file, relative);
    QFile f(path);
    return !path.isEmpty() && f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray LawXmlSource::readBeside(int index, const QString& relative) const {
    const QString name = names_.value(index);
    if (!zip_) return readFileBeside(name, relative);
    const QString path = besidePath(name, relative);
    if (path.isEmpty()) return {};
    const zip_int64_t entry =
        zip_name_locate(zip_->archive, path.toUtf8().constData(), ZIP_FL_ENC_GUESS);
    if (entry < 0) return {};
    try {
        return readEntry(zip_uint64_t(entry), path);
    } catch (const LawSourceError&) {
        return {};
    }
}

QByteArray LawXmlSource::readEntry(zip_uint64_t entry, const QString& name) const {
    zip_stat_t st;
    zip_stat_init(&st);
    // A law XML is far below this; an entry claiming more is not read into memory.
    constexpr zip_uint64_t kLargest = 512ull * 1024 * 1024;
    if (zip_stat_index(zip_->archive, entry, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE) ||
        st.size > kLargest)
        throw LawSourceError(QStringLiteral("%1 の %2 を読めません。").arg(path_, name));
    zip_file_t* file = zip_fopen_index(zip_->archive, entry, 0);
    if (!file) throw LawSourceError(QStringLiteral("%1 の %2 を読めません。").arg(path_, name));
    QByteArray bytes(qsizetype(st.size), Qt::Uninitialized);
    const zip_int64_t got = zip_fread(file, bytes.data(), st.size);
    // libzip compares the checksum only on a read that reaches the end.
    char past = 0;
    const zip_int64_t after = got < 0 ? -1 : zip_fread(file, &past, 1);
    zip_fclose(file);
    if (got < 0 || zip_uint64_t(got) != st.size || after != 0)
        throw LawSourceError(
            QStringLiteral("%1 の %2 を読めません（壊れています）。").arg(path_, name));
    return bytes;
}

QString LawXmlSource::lawIdOf(const QString& name) {
    const QString base = QFileInfo(name).completeBaseName();
    return base.section(u'_', 0, 0);
}

bool isLawId(const QString& text) {
    static const QRegularExpression id(QStringLiteral("^[0-9]{3}[0-9A-Z_]{6,40}$"));
    return id.match(text).hasMatch() && text.contains(QRegularExpression(QStringLiteral("[A-Z]")));
}

QString lawNumOfId(const QString& lawId) {
    // Era digit, two of year, kind, ten of number: 505AC0000000028.
    static const QRegularExpression id(QStringLiteral("^([1-5])([0-9]{2})(AC|CO|IO)([0-9]{10})$"));
    const QRegularExpressionMatch m = id.match(lawId);
    if (!m.hasMatch()) return {};
    static const char16_t* const eras[] = {u"明治", u"大正", u"昭和", u"平成", u"令和"};
    const int year = m.captured(2).toInt();
    const int number = int(m.captured(4).toLongLong());
    if (year == 0 || number == 0 || number > store::kMaxKanjiNumber) return {};
    const QString kind = m.captured(3) == QStringLiteral("AC")   ? QStringLiteral("法律")
                         : m.captured(3) == QStringLiteral("CO") ? QStringLiteral("政令")
                                                                 : QStringLiteral("勅令");
    return QString::fromUtf16(eras[m.captured(1).toInt() - 1]) +
           (year == 1 ? QStringLiteral("元") : store::kanjiNumeral(year)) + u'年' + kind + u'第' +
           store::kanjiNumeral(number) + u'号';
}

}  // namespace exchange
