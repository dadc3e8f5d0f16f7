#pragma once
// Viewer-wide values shared by the main window and the law windows.
#include <QString>
#include <QStringList>

namespace viewer {

struct ViewerState {
    QString CurHCode;         // the current law; empty until a law is first opened
    int TreeBuildMode = 1;    // 1 table-of-contents tree, 0 flat tree
    QStringList HoutenNames;  // position 0 stays empty; laws from 1 in 番号 order
    QString CopyLog;          // "SEPARATOR" + block for every copy, oldest first
};

ViewerState& state();

}  // namespace viewer
