#pragma once
// What the viewer keeps between starts (settings section VIEW): the frame's place, each
// browser's law, node, split and version read, the text size of the edit and result panes, and the
// copy history, trimmed to its newest copies.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace viewer {

inline constexpr int kHistoryLimit = 500;

struct BrowserSession {
    QString law;   // 法典コード
    QString node;  // the selected node's key; empty for none
    double ratio = 0.4;
    QString version;  // the kept version read; empty for the current records
};

struct ViewSession {
    QByteArray frameGeometry;        // as QWidget::saveGeometry gives it; empty for none
    QList<BrowserSession> browsers;  // the default browser first
    double copyFontSize = 0;         // 0: the size the window starts with
    double foundFontSize = 0;
    QStringList history;         // ComboHis, newest first
    QStringList historyHeaders;  // ComboHis2, the same order
    QString copyLog;             // CopyLog: "SEPARATOR" before each copy, oldest first
};

ViewSession loadViewSession();
void saveViewSession(const ViewSession& session);
// Keeps the newest `limit` copies: the first entries of the lists, the last pieces of the log.
void trimHistory(ViewSession& session, int limit = kHistoryLimit);

}  // namespace viewer
