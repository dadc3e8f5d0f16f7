// The law list as a reader searches it: what a typed filter matches, the kind a law number
// says, the orders; read from the laws' databases once and again when a file changes.
#include "exchange/lawlist.h"
#include "exchange/lawcode.h"
#include "store/lawdb.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

namespace exchange {
namespace {

LawListEntry entry(const char* title, const char* kana, const char* abbrev, const char* lawNum,
                   const char* code, int number = 1) {
    LawListEntry l;
    l.number = number;
    l.code = QString::fromUtf8(code);
    l.name = l.title = QString::fromUtf8(title);
    l.kana = QString::fromUtf8(kana);
    l.abbrev = QString::fromUtf8(abbrev);
    l.lawNum = QString::fromUtf8(lawNum);
    l.kind = lawKind(l.lawNum, l.title);
    l.roman = romanize(l.kana);
    return l;
}

TEST(LawListTest, AFilterMatchesTitleReadingAbbreviationNumberOrCode) {
    const LawListEntry kb =
        entry("国家賠償法", "こっかばいしょうほう", "国賠法", "昭和二十二年法律第百二十五号", "KO");
    const LawListEntry dk =
        entry("私的独占の禁止及び公正取引の確保に関する法律",
              "してきどくせんのきんしおよびこうせいとりひきのかくほにかんするほうりつ", "",
              "昭和二十二年法律第五十四号", "国賠");
    const std::tuple<const LawListEntry*, const char*, bool> cases[] = {
        {&kb, "賠償", true},         {&kb, "コッカ", true},     {&kb, "kokka", true},
        {&kb, "KOKKABAI", true},     {&kb, "国賠法", true},     {&kb, "国賠", true},
        {&kb, "第百二十五号", true}, {&kb, "ko", true},         {&kb, "ZZ", false},
        {&kb, "賠償 こっか", true},  {&kb, "賠償 民法", false}, {&kb, "", true},
        {&kb, "　", true},           {&dk, "独禁法", true},     {&dk, "国賠", true},
        {&dk, "国賠法", false},      {&dk, "独占", true},       {&dk, "どくせん", true}};
    for (const auto& [law, typed, matches] : cases)
        EXPECT_EQ(lawListMatches(*law, QString::fromUtf8(typed)), matches)
            << law->code.toStdString() << " " << typed;
}

TEST(LawListTest, KindsAndOrders) {
    const std::tuple<const char*, const char*, const char*> kinds[] = {
        {"", "日本国憲法", "憲法"},
        {"昭和二十二年法律第百二十五号", "国家賠償法", "法律"},
        {"昭和三十七年政令第十一号", "某法施行令", "政令"},
        {"平成十二年総理府令第一号", "某規則", "府省令"},
        {"昭和二十三年法務省令第一号", "某規則", "府省令"},
        {"平成二十九年最高裁判所規則第一号", "某規則", "規則"},
        {"", "某告示", "その他"},
        {"", "某法", "法律"}};
    for (const auto& [lawNum, title, kind] : kinds)
        EXPECT_EQ(lawKind(QString::fromUtf8(lawNum), QString::fromUtf8(title)),
                  QString::fromUtf8(kind))
            << title;
    QList<LawListEntry> laws{entry("乙法", "おつほう", "", "令和元年法律第二号", "OT", 1),
                             entry("甲法", "こうほう", "", "明治二十九年法律第八十九号", "KO", 2),
                             entry("丙法", "", "", "", "HE", 3),
                             entry("丁令", "テイレイ", "", "昭和二十二年政令第百号", "TE", 4),
                             entry("戊法", "ぼほう", "", "昭和二十二年法律第二十号", "BO", 5)};
    auto codes = [&](LawListOrder order) {
        sortLawList(laws, order);
        QStringList out;
        for (const LawListEntry& l : laws) out << l.code;
        return out.join(u' ');
    };
    // 五十音: hiragana and katakana alike, a law without a reading last.
    EXPECT_EQ(codes(LawListOrder::Reading), QStringLiteral("OT KO TE BO HE"));
    // Era, then year (元 is one), then number (百 after 二十); none last.
    EXPECT_EQ(codes(LawListOrder::LawNumber), QStringLiteral("KO BO TE OT HE"));
    EXPECT_EQ(codes(LawListOrder::Kind), QStringLiteral("KO BO OT HE TE"));  // 丙法: a 法律
    EXPECT_EQ(codes(LawListOrder::Number), QStringLiteral("OT KO HE TE BO"));
}

}  // namespace
}  // namespace exchange
