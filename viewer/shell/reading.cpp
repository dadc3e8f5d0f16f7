#include "viewer/shell/reading.h"

#include "exchange/lawapi.h"
#include "platform/settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QUrl>

namespace viewer {

namespace {
const QString kApp = QStringLiteral("LXA");
const QString kView = QStringLiteral("VIEW");
const QString kFontKey = QStringLiteral("ReadingFont");
const QString kSizeKey = QStringLiteral("ReadingFontSize");
const QString kSpacingKey = QStringLiteral("LineSpacing");
const QString kKanjiKey = QStringLiteral("KANJINUMBERS");
const QString kButtonsKey = QStringLiteral("LawButtons");
const QString kRecentKey = QStringLiteral("RecentLaws");
const QString kLooseKey = QStringLiteral("LOOSEFOLD");
const QString kMincho = QStringLiteral("ＭＳ Ｐ明朝");

QString boolText(bool v) {
    return v ? QStringLiteral("True") : QStringLiteral("False");
}
}  // namespace

store::Fold searchFold() {
    const ReadingSettings s = loadReadingSettings();
    if (!s.searchFold) return store::Fold::None;
    return s.looseFold ? store::Fold::Loose : store::Fold::Variants;
}

ReadingSettings loadReadingSettings() {
    const platform::Settings inst;
    const platform::Settings view(kApp, kView);
    ReadingSettings s;
    // As the law API client reads it.
    s.apiAddress = inst.get(QStringLiteral("API"), QString::fromLatin1(exchange::kDefaultLawApi));
    s.dataRoot = inst.get(QStringLiteral("ROOT"));
    s.fontFamily = view.get(kFontKey, kMincho);
    // A value out of bounds (edited by hand) gives way to the first one.
    bool ok = false;
    const double size = view.get(kSizeKey).toDouble(&ok);
    if (ok && size >= kSmallestReadingSize && size <= kLargestReadingSize) s.fontSize = size;
    const int spacing = view.get(kSpacingKey).toInt(&ok);
    if (ok && spacing >= kLeastSpacing && spacing <= kMostSpacing) s.lineSpacing = spacing;
    s.wholeArticles = platform::settingToBool(view.get(kWholeArticleKey), true);
    s.kanjiNumbers = platform::settingToBool(view.get(kKanjiKey), false);
    s.searchParts = platform::settingToBool(view.get(kPartSearchKey), false);
    s.searchFold = platform::settingToBool(view.get(kFoldSearchKey), false);
    s.looseFold = platform::settingToBool(view.get(kLooseKey), false);
    s.lawButtons = view.getList(kButtonsKey);
    return s;
}

void saveReadingSettings(const ReadingSettings& s) {
    platform::Settings inst;
    platform::Settings view(kApp, kView);
    inst.save(QStringLiteral("API"), s.apiAddress.trimmed());
    inst.save(QStringLiteral("ROOT"), s.dataRoot.trimmed());
    view.save(kFontKey, s.fontFamily);
    view.save(kSizeKey, QString::number(s.fontSize));
    view.save(kSpacingKey, QString::number(s.lineSpacing));
    view.save(kWholeArticleKey, boolText(s.wholeArticles));
    view.save(kKanjiKey, boolText(s.kanjiNumbers));
    view.save(kPartSearchKey, boolText(s.searchParts));
    view.save(kFoldSearchKey, boolText(s.searchFold));
    view.save(kLooseKey, boolText(s.looseFold));
    view.saveList(kButtonsKey, s.lawButtons);
}

QString readingSettingsProblem(const ReadingSettings& s, const QList<store::LawEntry>& laws) {
    const QUrl api(s.apiAddress.trimmed(), QUrl::StrictMode);
    if (!api.isValid() ||
        (api.scheme() != QStringLiteral("http") && api.scheme() != QStringLiteral("https")) ||
        api.host().isEmpty())
        return QStringLiteral("API のアドレスは http:// か https:// で始まるアドレスです: %1")
            .arg(s.apiAddress);
    const QString root = s.dataRoot.trimmed();
    if (!root.isEmpty()) {
        if (!QDir::isAbsolutePath(root))
            return QStringLiteral("データの場所はフォルダの完全なパスです: %1").arg(root);
        const QFileInfo folder(root);
        if (folder.exists() && !folder.isDir())
            return QStringLiteral("データの場所はフォルダではありません: %1").arg(root);
    }
    if (s.fontFamily.trimmed().isEmpty()) return QStringLiteral("フォントを選んでください");
    if (s.fontSize < kSmallestReadingSize || s.fontSize > kLargestReadingSize)
        return QStringLiteral("文字の大きさは %1 から %2 ポイントです")
            .arg(kSmallestReadingSize)
            .arg(kLargestReadingSize);
    if (s.lineSpacing < kLeastSpacing || s.lineSpacing > kMostSpacing)
        return QStringLiteral("行間は %1 から %2 % です").arg(kLeastSpacing).arg(kMostSpacing);
    if (s.lawButtons.size() > kLawButtons)
        return QStringLiteral("法典ボタンは %1 個までです").arg(kLawButtons);
    QSet<QString> listed, seen;
    for (const store::LawEntry& law : laws) listed << law.code.toUpper();
    for (const QString& code : s.lawButtons) {
        if (!listed.contains(code.toUpper()))
            return QStringLiteral("法典コード %1 は一覧にありません").arg(code);
        if (seen.contains(code.toUpper()))
            return QStringLiteral("法典コード %1 が二つのボタンにあります").arg(code);
        seen << code.toUpper();
    }
    return {};
}

QList<store::LawEntry> buttonLaws(const QStringList& chosen, const QList<store::LawEntry>& laws,
                                  int count) {
    QList<store::LawEntry> out;
    for (const QString& code : chosen) {
        if (out.size() == count) break;
        for (const store::LawEntry& law : laws)
            if (law.code.compare(code, Qt::CaseInsensitive) == 0) {
                out << law;
                break;
            }
    }
    if (!out.isEmpty()) return out;
    return laws.mid(0, count);  // the master list is read in 番号 order
}

QStringList recentLaws() {
    return platform::Settings(kApp, kView).getList(kRecentKey).mid(0, kRecentLaws);
}

void noteLawOpened(const QString& code) {
    if (code.isEmpty()) return;
    QStringList recent = recentLaws();
    recent.removeAll(code.toUpper());
    recent.prepend(code.toUpper());
    platform::Settings(kApp, kView).saveList(kRecentKey, recent.mid(0, kRecentLaws));
}

}  // namespace viewer
