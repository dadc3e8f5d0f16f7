// A file of markers and bookmarks to import, from any bytes: it is refused whole with one
// message, or what it adds is there once — imported again it adds nothing, and what the file
// then exports imports into a fresh file as the same number of markers and bookmarks.
#include "fuzz/fuzzsupport.h"
#include "platform/error.h"
#include "viewer/marks/userdata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Environment& env = fuzz::environment();
    const QString file = env.dir.path() + QStringLiteral("/reader.sqlite");
    const QString other = env.dir.path() + QStringLiteral("/other.sqlite");
    QFile::remove(file);
    QFile::remove(other);
    const QByteArray json(reinterpret_cast<const char*>(data), qsizetype(size));
    viewer::UserData mine(file);
    viewer::ImportCount first;
    try {
        first = mine.importJson(json);
    } catch (const platform::Error&) {
        fuzz::check(mine.markers().isEmpty() && mine.bookmarks().isEmpty(),
                    "a refused file adds nothing");
        return 0;
    }
    fuzz::check(mine.markers().size() == first.markers, "each marker added once");
    fuzz::check(mine.bookmarks().size() == first.bookmarks, "each bookmark added once");
    const viewer::ImportCount again = mine.importJson(json);
    fuzz::check(again.markers == 0 && again.bookmarks == 0, "imported again: nothing twice");
    viewer::UserData fresh(other);
    const viewer::ImportCount moved = fresh.importJson(mine.exportJson());
    fuzz::check(
        moved.markers == mine.markers().size() && moved.bookmarks == mine.bookmarks().size(),
        "what is exported imports whole");
    return 0;
}
