#include "store/textfold.h"

#include <sqlite3.h>

#include <array>
#include <mutex>

namespace store {

namespace {

// Old forms and their new forms, in the same order: the 常用漢字 whose old form a statute
// of before 1946 may print.
const char16_t kOldForms[] =
    u"乘亂亙亞佛來假傳僞價儉兒兩册剩劍劑勞勳勵勸區卷卻卽參單嚴圈國圍圓圖團增墮壓壘壞壯"
    u"壹壽奧奬姬孃學寢實寫寶將專對屆屬峽嶽巖巢帶廢廣廳彈彌徑從徵德恆惠惡惱愼慘應懷戀戰"
    u"戲拂拔拜挾插搖搜擇擊擔據擧擴攝收效敍敕數斷晉晚晝曉會條棧榮樂樓樞樣檢櫻權歐歡步歸"
    u"殘殼毆每氣沒淚淨淸淺渴溪滯滿潛澁澤濕濟濱瀧灣燈燒營爐爭爲犧狀狹獨獵獸獻瓣甁畫當疊"
    u"瘦癡發盜盡眞碎祕祿禪禮稱稻穗竊竝粹絲經綠緖縣縱總繩繪繼續纖缺罐聰聲聽肅腦膽臟臺與"
    u"舊舍舖莊莖萬藏藝藥處號螢蟲蠶蠻衞裝覺覽觀觸謠證譯譽讀變讓豐豫貳賣賴贊踐輕轉辨辭辯"
    u"遞遲邊郞醉醫釀釋錄錢鎭鐵鑄鑛關陷隨險隱隸雙雜霸靈靑靜顏顯飜飮餘騷驅驒驗驛髓體髮鬪"
    u"鷄鹽麥黑默點黨齊齋齒齡龍龜";
const char16_t kNewForms[] =
    u"乗乱亘亜仏来仮伝偽価倹児両冊剰剣剤労勲励勧区巻却即参単厳圏国囲円図団増堕圧塁壊壮"
    u"壱寿奥奨姫嬢学寝実写宝将専対届属峡岳巌巣帯廃広庁弾弥径従徴徳恒恵悪悩慎惨応懐恋戦"
    u"戯払抜拝挟挿揺捜択撃担拠挙拡摂収効叙勅数断晋晩昼暁会条桟栄楽楼枢様検桜権欧歓歩帰"
    u"残殻殴毎気没涙浄清浅渇渓滞満潜渋沢湿済浜滝湾灯焼営炉争為犠状狭独猟獣献弁瓶画当畳"
    u"痩痴発盗尽真砕秘禄禅礼称稲穂窃並粋糸経緑緒県縦総縄絵継続繊欠缶聡声聴粛脳胆臓台与"
    u"旧舎舗荘茎万蔵芸薬処号蛍虫蚕蛮衛装覚覧観触謡証訳誉読変譲豊予弐売頼賛践軽転弁辞弁"
    u"逓遅辺郎酔医醸釈録銭鎮鉄鋳鉱関陥随険隠隷双雑覇霊青静顔顕翻飲余騒駆騨験駅髄体髪闘"
    u"鶏塩麦黒黙点党斉斎歯齢竜亀";
static_assert(sizeof kOldForms == sizeof kNewForms);

struct Tables {
    std::array<char16_t, 0x10000> variants;
    std::array<char16_t, 0x10000> loose;
};

const Tables& tables() {
    static Tables t;
    static std::once_flag once;
    std::call_once(once, [] {
        for (int c = 0; c < 0x10000; ++c) t.variants[c] = char16_t(c);
        for (char16_t c = 0xFF01; c <= 0xFF5E; ++c) t.variants[c] = char16_t(c - 0xFF01 + 0x21);
        t.variants[0x301C] = u'~';  // 〜 wave dash
        t.variants[0x2212] = u'-';  // − minus sign
        t.variants[0x2010] = u'-';  // ‐ hyphen
        t.variants[0x2011] = u'-';  // non-breaking hyphen
        t.variants[0x3000] = u' ';
        for (size_t i = 0; kOldForms[i]; ++i) t.variants[kOldForms[i]] = kNewForms[i];
        t.loose = t.variants;
        const char16_t small[] = u"ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ";
        const char16_t large[] = u"あいうえおつやゆよわアイウエオツヤユヨワカケ";
        for (size_t i = 0; small[i]; ++i) t.loose[small[i]] = large[i];
    });
    return t;
}

void foldFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
    const int level = sqlite3_value_int(argv[1]);
    const auto* p = static_cast<const char16_t*>(sqlite3_value_text16(argv[0]));
    const int bytes = sqlite3_value_bytes16(argv[0]);
    if (!p) return;
    QString s = QString::fromUtf16(p, bytes / 2);
    s = foldText(s, level <= 0 ? Fold::None : level == 1 ? Fold::Variants : Fold::Loose);
    sqlite3_result_text16(ctx, s.utf16(), int(s.size() * 2), SQLITE_TRANSIENT);
}

}  // namespace

char16_t foldChar(char16_t c, Fold level) {
    switch (level) {
        case Fold::None:
            return c;
        case Fold::Variants:
            return tables().variants[c];
        case Fold::Loose:
            return tables().loose[c];
    }
    return c;
}

QString foldText(const QString& text, Fold level) {
    if (level == Fold::None) return text;
    QString out = text;
    for (QChar& c : out) c = QChar(foldChar(c.unicode(), level));
    return out;
}

void registerFoldFunction(sqlite3* db) {
    sqlite3_create_function_v2(db, "foldtext", 2, SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr,
                               foldFunction, nullptr, nullptr, nullptr);
}

}  // namespace store
