#include "viewer/shell/session.h"

#include "platform/settings.h"

namespace viewer {

namespace {
const QString kSection = QStringLiteral("VIEW");
const QString kSeparator = QStringLiteral("SEPARATOR");

double sizeOf(const QString& text) {
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok && v >= 1 && v <= 400 ? v : 0;  // a size no pane can take is ignored
}
}  // namespace

ViewSession loadViewSession() {
    const platform::Settings s(QStringLiteral("LXA"), kSection);
    ViewSession v;
    v.frameGeometry = QByteArray::fromBase64(s.get(QStringLiteral("Frame")).toLatin1());
    const QStringList laws = s.getList(QStringLiteral("BrowserLaws"));
    const QStringList nodes = s.getList(QStringLiteral("BrowserNodes"));
    const QStringList ratios = s.getList(QStringLiteral("BrowserRatios"));
    const QStringList versions = s.getList(QStringLiteral("BrowserVersions"));
    for (int i = 0; i < laws.size(); ++i) {
        BrowserSession b;
        b.law = laws[i];
        b.node = nodes.value(i);
        b.version = versions.value(i);
        bool ok = false;
        const double r = ratios.value(i).toDouble(&ok);
        if (ok && r >= 0.1 && r <= 0.9) b.ratio = r;
        if (!b.law.isEmpty()) v.browsers << b;
    }
    v.copyFontSize = sizeOf(s.get(QStringLiteral("CopyFontSize")));
    v.foundFontSize = sizeOf(s.get(QStringLiteral("FoundFontSize")));
    v.history = s.getList(QStringLiteral("ComboHis"));
    v.historyHeaders = s.getList(QStringLiteral("ComboHis2"));
    // Lists of another length than their pair were not written by us: the pair goes.
    if (v.history.size() != v.historyHeaders.size()) v.history = v.historyHeaders = {};
    v.copyLog = s.get(QStringLiteral("CopyLog"));
    return v;
}

void saveViewSession(const ViewSession& session) {
    ViewSession v = session;
    trimHistory(v);
    platform::Settings s(QStringLiteral("LXA"), kSection);
    s.save(QStringLiteral("Frame"), QString::fromLatin1(v.frameGeometry.toBase64()));
    QStringList laws, nodes, ratios, versions;
    for (const BrowserSession& b : v.browsers) {
        laws << b.law;
        nodes << b.node;
        ratios << QString::number(b.ratio, 'g', 3);
        versions << b.version;
    }
    s.saveList(QStringLiteral("BrowserLaws"), laws);
    s.saveList(QStringLiteral("BrowserVersions"), versions);
    s.saveList(QStringLiteral("BrowserNodes"), nodes);
    s.saveList(QStringLiteral("BrowserRatios"), ratios);
    if (v.copyFontSize > 0) s.save(QStringLiteral("CopyFontSize"), QString::number(v.copyFontSize));
    if (v.foundFontSize > 0)
        s.save(QStringLiteral("FoundFontSize"), QString::number(v.foundFontSize));
    s.saveList(QStringLiteral("ComboHis"), v.history);
    s.saveList(QStringLiteral("ComboHis2"), v.historyHeaders);
    s.save(QStringLiteral("CopyLog"), v.copyLog);
}

void trimHistory(ViewSession& v, int limit) {
    if (v.history.size() > limit) v.history = v.history.mid(0, limit);
    if (v.historyHeaders.size() > limit) v.historyHeaders = v.historyHeaders.mid(0, limit);
    // The log starts with a separator: piece 0 is what stood before the first copy.
    QStringList pieces = v.copyLog.split(kSeparator);
    if (pieces.size() - 1 > limit) {
        pieces = pieces.mid(pieces.size() - limit);
        v.copyLog = kSeparator + pieces.join(kSeparator);
    }
}

}  // namespace viewer
