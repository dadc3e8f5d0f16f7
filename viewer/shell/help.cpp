#include "viewer/shell/help.h"

#include <QStringList>

namespace viewer {

QString usageHelpText(const QString& dataRoot, const QString& settingsFile) {
    const QStringList lines{
        QStringLiteral("■ 条番号で開く（メイン画面のコード欄、ツリー画面の F1）"),
        QStringLiteral("　法典コードか法典名に続けて条番号を入力し、Enter。"),
        QStringLiteral("　　MP415　　　民法第415条"),
        QStringLiteral("　　MP415:2　　民法第415条第2項"),
        QStringLiteral("　　MP398-2:3　民法第398条の2第3項（枝番号は - で）"),
        QStringLiteral("　　KP3-2-1　　枝番号が二つの条"),
        QStringLiteral("　　民法415、民法第415条第2項、会社法 2、ＭＰ４１５、MP四百十五 "
                       "も同じように読みます。"),
        QStringLiteral("　附則・別表などは種類の名前で開きます（ツリーでは本則の後にあります）。"),
        QStringLiteral("　　MP附則(H29-44)　　　　民法附則（平成二九年六月二日法律第四四号）"),
        QStringLiteral("　　MP附則(平成29年法律第44号)3　その附則の第3条（条のない附則は第3項）"),
        QStringLiteral("　　MP附則　　　　　　　　制定時の附則　　MP附則2　その第2条"),
        QStringLiteral("　　TZ別表1、TZ別表第一　別表第一（様式・別記・別図・書式・付録も同じ）"),
        QStringLiteral("　　KP前文　　　　　　　　日本国憲法の前文"),
        QStringLiteral(
            "　ツリー画面の F1 では条番号だけ（415:2、附則(H29-44)2）で、その法典の条を開きます。"),
        QStringLiteral(
            "　見つからないときは、開いている画面はそのままで、下の状態欄に理由が出ます。"),
        QString(),
        QStringLiteral("■ 検索"),
        QStringLiteral(
            "　メイン画面のテキスト欄: 空白で区切ったすべての語を含む項を全法典から探します。"),
        QStringLiteral("　ツリー画面の F2: その法典だけを探します。"),
        QStringLiteral(
            "　検索中の一覧や検索結果の項で Enter かダブルクリックすると、その項を開きます。"),
        QString(),
        QStringLiteral("■ ツリー画面のキー"),
        QStringLiteral("　F1 条番号で開く　　F2 この法典を検索　　F3 項を編集画面へコピー"),
        QStringLiteral("　F5 目次のツリー　　F6 条だけのツリー　　F7 条文修正"),
        QStringLiteral("　F8 すべて展開　　Shift+F8・Ctrl+M 法典テキスト作成　　F9 すべてたたむ"),
        QStringLiteral("　F11・F12 下の文章欄を狭く・広く　　Shift+F4・Ctrl+N 画面を複製"),
        QStringLiteral(
            "　Ctrl+H 履歴　　Ctrl+T タイマー　　Ctrl+D・E・R HTML ページ（Pagesmith がある場合）"),
        QStringLiteral("　表示 → 条文全体を表示: 条を選ぶと、すべての項を続けて表示します。"),
        QStringLiteral("　Ctrl+F 文章欄の中を検索（Enter 次、Shift+Enter 前、Esc 閉じる）"),
        QStringLiteral("　1～6 選んだ文字にマーカー、0 下線、Delete マーカーを消す、Ctrl+L 一覧"),
        QStringLiteral(
            "　ファイル → 印刷…・PDF に保存…: 表示中の条文、選択部分、見出しの下、法令全体"),
        QStringLiteral("　ファイル → 設定…: フォント・行間・条の番号（漢数字）・法典ボタンなど"),
        QStringLiteral(
            "　条文 → 改正比較…（新旧対照表）・改正履歴…（法令APIの版）・沿革…（条の変遷）"),
        QStringLiteral("　条文 → 版を読む: 残っている版をその日時点の法令として読む（読むだけ）"),
        QStringLiteral("　条文 → 参照元…（この条項を引く条項）・用語一覧…（定義語）"),
        QString(),
        QStringLiteral("■ データの場所"),
        QStringLiteral("　データフォルダ: %1").arg(dataRoot),
        QStringLiteral("　　DB フォルダに法典一覧（法典コード.mdb）と法典ごとのデータベース、"),
        QStringLiteral("　　DB/backup にデータチェックの修復前のデータベースがあります。"),
        QStringLiteral("　設定ファイル: %1").arg(settingsFile),
    };
    return lines.join(QStringLiteral("\r\n"));
}

}  // namespace viewer
