#pragma once
// What a reader adds to the laws — markers (a run of a paragraph's characters in a colour),
// notes on them, bookmarks — kept per user in one SQLite file of the XDG data home, never in
// a law's database: imports rewrite those, and they may be shared and read-only.
#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

namespace store {
class Database;
}

namespace viewer {

// $XDG_DATA_HOME/lexora/reader.sqlite (~/.local/share/lexora/reader.sqlite).
QString userDataPath();

// A run of characters of a paragraph: the law's code, the paragraph's place (its 16-character
// 条項コード, or a part's article as it is typed: MP附則(H29-44)2), where the run starts and how
// long it is in code points of the stored text, the run itself and a little of the text on
// each side, so that it is found again after an amendment moves it.
struct Marker {
    qint64 id = 0;
    QString uuid;  // the same marker on every computer it is exported to
    QString law;   // MP
    QString place;
    int start = 0, length = 0;
    QString text, before, after;
    int colour = 1;  // 1-6, 0 an underline
    QString note;
    QString state = QStringLiteral("ok");  // ok, moved (found again elsewhere), lost
    QString created;                       // ISO 8601
};

struct Bookmark {
    qint64 id = 0;
    QString uuid;
    QString law, place;  // place: an article code, a paragraph's, a part's key as typed
    QString title;
    QString created;
};

struct ImportCount {
    int markers = 0, bookmarks = 0;  // added
    int present = 0;                 // already there, left alone
};

class UserData {
  public:
    // Opens the file (made with its tables on first use); Error when it cannot be.
    explicit UserData(const QString& path = userDataPath());
    ~UserData();
    UserData(UserData&&) noexcept;

    qint64 addMarker(Marker m);
    // Every marker, or those of one law, in the order they were made.
    QList<Marker> markers(const QString& law = {});
    // Saves where a marker is now (place, start, context), its state, colour and note.
    void updateMarker(const Marker& m);
    bool removeMarker(qint64 id);
    // Its note alone (where it is may have been saved meanwhile by another window).
    void updateNote(qint64 id, const QString& note);

    qint64 addBookmark(Bookmark b);
    QList<Bookmark> bookmarks(const QString& law = {});
    bool removeBookmark(qint64 id);

    // Everything as one JSON document, and back: what is there already (by uuid) is left.
    QByteArray exportJson();
    // Error for a file that is not such a document; nothing is added then.
    ImportCount importJson(const QByteArray& json);

  private:
    std::unique_ptr<store::Database> db_;
};

}  // namespace viewer
