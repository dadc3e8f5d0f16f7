#pragma once
// A collection of law XML files: a folder (searched with its subfolders) or the government's
// bulk download zip, read one file at a time (a zip is read with libzip).
#include "platform/error.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

namespace exchange {

class LawSourceError : public platform::Error {
  public:
    using platform::Error::Error;
};

class LawXmlSource {
  public:
    // Opens a folder or a .zip; LawSourceError when it is neither or cannot be read.
    explicit LawXmlSource(const QString& path);
    ~LawXmlSource();
    LawXmlSource(const LawXmlSource&) = delete;
    LawXmlSource& operator=(const LawXmlSource&) = delete;

    // The .xml files in it, in name order: paths in the folder, or entry names in the zip.
    const QStringList& names() const { return names_; }
    // The bytes of one of them; LawSourceError when it cannot be read.
    QByteArray read(int index) const;
    // A file beside one of them (a figure's picture: ./pict/xxx.jpg), by its path relative
    // to that file's folder; empty when there is none or the path leads out of the folder.
    QByteArray readBeside(int index, const QString& relative) const;
    // The law id a file's name begins with (322AC0000000125 of 322AC0000000125_…_.xml).
    static QString lawIdOf(const QString& name);

  private:
    struct Zip;
    QByteArray readEntry(std::uint64_t entry, const QString& name) const;
    QString path_;
    std::unique_ptr<Zip> zip_;
    QStringList names_;
};

// The path of `relative` (./pict/xxx.jpg) in the folder of `file`, or empty when it would lead
// out of that folder; and that file's bytes (empty when none).
QString besidePath(const QString& file, const QString& relative);
QByteArray readFileBeside(const QString& file, const QString& relative);

// True for a law id (3 digits, then capitals and digits: 129AC0000000089, 321CONSTITUTION).
bool isLawId(const QString& text);
// The number of the law of id `lawId` (505AC0000000028 → 令和五年法律第二十八号), for 法律, 政令
// and 勅令; empty for any other id.
QString lawNumOfId(const QString& lawId);

}  // namespace exchange
