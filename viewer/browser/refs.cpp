#include "viewer/browser/refs.h"

#include "exchange/lawparts.h"
#include "store/codes.h"
#include "store/engine.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "store/versions.h"
#include "viewer/browser/lawtree.h"
#include "viewer/shell/lookup.h"

#include <QFile>
#include <QMutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <optional>

namespace viewer {

namespace {

bool isNumChar(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'０' && u <= u'９') || u == u'〇' ||
           store::KanjiDigitValue(c) > 0;
}

bool isIdeograph(QChar c) {
    return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF;
}

// A number at `pos`: its value and where it ends; nothing when there is none or it is too big.
std::optional<std::pair<int, int>> number(const QString& t, int pos) {
    int end = pos;
    while (end < t.size() && isNumChar(t[end])) ++end;
    if (end == pos) return std::nullopt;
    QString digits;
    bool kanji = false;
    for (int i = pos; i < end; ++i) {
        const char16_t u = t[i].unicode();
        if (u >= u'０' && u <= u'９')
            digits += QChar(u'0' + (u - u'０'));
        else if (u >= u'0' && u <= u'9')
            digits += t[i];
        else
            kanji = true;
    }
    if (!kanji) {
        bool ok = false;
        const int v = digits.toInt(&ok);
        return ok && v > 0 && v <= 9999 ? std::optional(std::pair(v, end)) : std::nullopt;
    }
    if (!digits.isEmpty()) return std::nullopt;
    try {
        const int v = store::KanjiNumberValue(t.mid(pos, end - pos));
        return v > 0 ? std::optional(std::pair(v, end)) : std::nullopt;
    } catch (...) {
        return std::nullopt;
    }
}

bool at(const QString& t, int pos, const QString& word) {
    return pos >= 0 && pos + word.size() <= t.size() &&
           QStringView(t).mid(pos, word.size()) == word;
}

QString articleKey(int n, int b1, int b2) {
    // Written digit by digit: an index reads a key for every reference it stores.
    if (n >= 0 && n <= 9999 && b1 >= 0 && b1 <= 99 && b2 >= 0 && b2 <= 99) {
        const char16_t key[8] = {char16_t(u'0' + n / 1000),    char16_t(u'0' + n / 100 % 10),
                                 char16_t(u'0' + n / 10 % 10), char16_t(u'0' + n % 10),
                                 char16_t(u'0' + b1 / 10),     char16_t(u'0' + b1 % 10),
                                 char16_t(u'0' + b2 / 10),     char16_t(u'0' + b2 % 10)};
        return QString(reinterpret_cast<const QChar*>(key), 8);
    }
    return QStringLiteral("%1%2%3")
        .arg(n, 4, 10, QChar(u'0'))
        .arg(b1, 2, 10, QChar(u'0'))
        .arg(b2, 2, 10, QChar(u'0'));
}

// The article key of an XML Num (3, 3_2, 3_2_1).
QString numKey(const QString& num) {
    const QStringList n = num.split(u'_');
    return articleKey(n.value(0).toInt(), n.value(1).toInt(), n.value(2).toInt());
}

// 前条 and 次条 look up the current article's place: once per reference in a long law.
void placeArticles(LawIndex& index) {
    for (int i = int(index.articles.size()) - 1; i >= 0; --i) index.places[index.articles[i]] = i;
}

// The bare paragraphs of a part stand as the paragraphs of one article of this key.
const QString kBareArticle = QStringLiteral("00000000");

// A place a reference names: law (code, or "?" for one not listed), article, paragraph
// (0: the article as a whole).
struct Place {
    QString law;
    QString article;
    int paragraph = 0;
    bool missing = false;  // the law lacks it
    QString target;        // a part's target (MP別表1), which no article code tells
};

// What one reference said and resolved to, for the references after it.
struct Member {
    int start = 0, end = 0;
    Place first, last;  // last differs from first for a range
    bool range = false;
    bool namedArticle = false, namedParagraph = false, namedItem = false;
    bool lawNamed =
        false;  // its law was said (民法第…, 同法第…, 附則第…), not taken from where it is
};

class Scanner {
  public:
    Scanner(const QString& text, const RefContext& c)
        : t_(text),
          c_(c),
          names_(c.names ? c.names : std::make_shared<const LawNames>(c.listedNames)) {
        markQuotes();
    }

    QList<Reference> run() {
        for (int i = 0; i < t_.size();) {
            if (quoted_.value(i)) {
                i = quote(i);
                continue;
            }
            if (t_[i] == u'。') base_.reset();
            std::optional<Member> m = member(i);
            if (!m) {
                ++i;
                continue;
            }
            // A range: AからBまで, A乃至B.
            int after = skipParen(m->end);
            for (const QString& joiner :
                 {QStringLiteral("から"), QStringLiteral("乃至"), QStringLiteral("ないし")}) {
                if (!at(t_, after, joiner)) continue;
                previous_ = m;
                std::optional<Member> end = member(after + int(joiner.size()), true);
                if (!end) break;
                const bool untilNeeded = joiner == QStringLiteral("から");
                if (untilNeeded && !at(t_, end->end, QStringLiteral("まで"))) break;
                Member r = *m;
                r.end = end->end;
                r.last = end->first;
                r.range = true;
                r.namedArticle = r.namedArticle || end->namedArticle;
                r.namedParagraph = r.namedParagraph || end->namedParagraph;
                r.namedItem = r.namedItem || end->namedItem;
                m = r;
                break;
            }
            emit(*m);
            remember(*m);
            previous_ = m;
            lastEmitted_ = m;
            i = m->end;
        }
        return out_;
    }

    // A quote at `pos` in a wording replacement: 同法第六十三条第二項中「第五十三条第一項」と
    // あるのは「前二項」と. Its words are the named provision's (中 right after it): what they
    // name is read as if there, the replacement's too. Any other quote is passed over.
    // Returns the place after the quote.
    int quote(int pos) {
        int end = pos;
        while (end < t_.size() && quoted_[end]) ++end;
        // A quote within a quote stays words: no reading nested without end.
        if (inQuote_ || t_[pos] != u'「' || (pos > 0 && quoted_[pos - 1])) return end;
        if (pos > 0 && t_[pos - 1] == u'中' && lastEmitted_ && lastEmitted_->end == pos - 1 &&
            !lastEmitted_->range && lastEmitted_->last.target.isEmpty())
            base_ = lastEmitted_->last;
        if (!base_ || base_->law == QStringLiteral("?") || base_->missing || !replacing_)
            return end;
        const LawIndex* law = indexOf(base_->law);
        if (!law || !law->paragraphs.contains(base_->article)) return end;
        RefContext there = c_;
        there.law = law;
        there.main = nullptr;
        there.bareArticles.clear();
        there.article = base_->article;
        there.paragraph = std::max(1, base_->paragraph);
        there.names = names_;
        const int inner = pos + 1, length = std::max(0, end - 1 - inner);
        const QString words = t_.mid(inner, t_[end - 1] == u'」' ? length : end - inner);
        // What cannot be told there is left out: the quote stays plain words.
        Scanner within(words, there);
        within.inQuote_ = true;
        for (Reference r : within.run()) {
            if (!r.linked()) continue;
            r.start += inner;
            out_ << r;
        }
        return end;
    }

  private:
    // 「…」 in a wording replacement is quoted text, never a reference.
    void markQuotes() {
        // Most paragraphs quote nothing: then nothing is marked, and the text is not searched
        // for the wording-replacement words.
        if (!t_.contains(u'「')) return;
        quoted_.fill(false, t_.size());
        replacing_ = t_.contains(QStringLiteral("とあるのは"));
        if (!replacing_ && !t_.contains(QStringLiteral("読み替え")) &&
            !t_.contains(QStringLiteral("改める")))
            return;
        int depth = 0;
        for (int i = 0; i < t_.size(); ++i) {
            if (t_[i] == u'「') ++depth;
            quoted_[i] = depth > 0;
            if (t_[i] == u'」' && depth > 0) --depth;
        }
    }

    // Past a parenthesis right at `pos` (nested ones too), or `pos`.
    int skipParen(int pos) const {
        if (pos >= t_.size() || t_[pos] != u'（') return pos;
        int depth = 0;
        for (int i = pos; i < t_.size(); ++i) {
            if (t_[i] == u'（') ++depth;
            if (t_[i] == u'）' && --depth == 0) return i + 1;
        }
        return pos;
    }

    // Joined to the member before it by a list word (and maybe a parenthesis after it).
    bool joinedToPrevious(int start) const {
        if (!previous_) return false;
        // The first words of a parenthesis after it: 第七百七十七条（第二号に係る部分に限る。）
        if (start == previous_->end + 1 && t_[previous_->end] == u'（') return true;
        int from = skipParen(previous_->end);
        // A part of the member before (第九十三条第一項ただし書及び…) does not break the list.
        for (const QString& part :
             {QStringLiteral("まで"), QStringLiteral("ただし書"), QStringLiteral("本文"),
              QStringLiteral("前段"), QStringLiteral("後段"), QStringLiteral("各号")})
            if (at(t_, from, part)) {
                from = skipParen(from + int(part.size()));
                break;
            }
        const QStringView between = QStringView(t_).mid(from, start - from);
        static const QStringList joiners{QStringLiteral("及び"),   QStringLiteral("又は"),
                                         QStringLiteral("並びに"), QStringLiteral("若しくは"),
                                         QStringLiteral("、"),     QStringLiteral("から"),
                                         QStringLiteral("乃至"),   QStringLiteral("ないし")};
        for (const QString& j : joiners)
            if (between == j) return true;
        return false;
    }

    // The law the text is in (not its part).
    const LawIndex* home() const { return c_.main ? c_.main : c_.law; }

    const LawIndex* indexOf(const QString& law) const {
        if (c_.law && law == c_.law->code) return c_.law;
        if (c_.main && law == c_.main->code) return c_.main;
        if (home() && home()->suppl && law == home()->suppl->code) return home()->suppl.get();
        if (law == QStringLiteral("?") || !c_.otherLaw) return nullptr;
        return c_.otherLaw(law);
    }

    int paragraphCount(const Place& p) const {
        const LawIndex* index = indexOf(p.law);
        return index ? index->paragraphs.value(p.article, 0) : 0;
    }

    Place current(int paragraph) const {
        return {c_.law ? c_.law->code : QString(), c_.article, paragraph, false, {}};
    }

    // The article `delta` places from the current one in the law's order.
    Place shifted(int delta) const {
        Place p = current(0);
        const int i = c_.law ? c_.law->indexOf(c_.article) : -1;
        if (i < 0 || i + delta < 0 || i + delta >= c_.law->articles.size()) {
            p.missing = true;
            return p;
        }
        p.article = c_.law->articles[i + delta];
        return p;
    }

    // The law a numbered reference at `pos` is in: a listed law's name (with its number in
    // parentheses) or 同法 right before it; "?" after another law's title or number; empty
    // for the current law.
    QString lawBefore(int pos, int* start) const {
        int j = pos;
        if (j > 0 && t_[j - 1] == u'）') {
            int depth = 0;
            for (int k = j - 1; k >= 0; --k) {
                if (t_[k] == u'）') ++depth;
                if (t_[k] == u'（' && --depth == 0) {
                    const QStringView inner = QStringView(t_).mid(k + 1, j - k - 2);
                    if (inner.contains(u'年') && inner.endsWith(u'号')) j = k;
                    // （以下「新法」という。）第三条: the article of what was just named.
                    if (inner.contains(QStringLiteral("という"))) {
                        *start = pos;
                        return QStringLiteral("?");
                    }
                    break;
                }
            }
        }
        if (at(t_, j - 2, QStringLiteral("同法"))) {
            *start = j - 2;
            return lastLaw_.isEmpty() ? QStringLiteral("?") : lastLaw_;
        }
        if (const auto [length, code] = names_->endingAt(t_, j); length > 0) {
            *start = j - length;
            // 旧刑法, 新民法: a longer title that only ends with a listed name is another law.
            if (*start > 0 && isIdeograph(t_[*start - 1])) return QStringLiteral("?");
            return code;
        }
        if (j > 0) {
            static const QString lawEnds = QStringLiteral("法令則告律約典例程定書");
            if (lawEnds.contains(t_[j - 1]) || j != pos) {
                *start = j;
                return QStringLiteral("?");
            }
        }
        return {};
    }

    std::optional<Member> member(int pos, bool rangeEnd = false) {
        if (pos >= t_.size()) return std::nullopt;
        const QChar c = t_[pos];
        if (c == u'第') return numbered(pos, rangeEnd);
        if (c == u'別' && at(t_, pos, QStringLiteral("別表"))) return table(pos);
        if (c == u'附' && at(t_, pos, QStringLiteral("附則第"))) return supplementary(pos);
        return relative(pos);
    }

    // 別表第二, or 別表 of a law that has one: the law's 別表. After another law's name
    // (改正法別表第一) it is that law's.
    std::optional<Member> table(int pos) {
        const LawIndex* law = home();
        int end = pos + 2;
        QString n;  // 1, 1-2: as the titles number the law's 別表
        if (at(t_, end, QStringLiteral("第"))) {
            const auto num = number(t_, end + 1);
            if (!num) return std::nullopt;
            n = QString::number(num->first);
            end = num->second;
            // 別表第一の二: a branch of it.
            while (at(t_, end, QStringLiteral("の")) && end + 1 < t_.size() &&
                   isNumChar(t_[end + 1])) {
                const auto branch = number(t_, end + 1);
                if (!branch) break;
                n += u'-' + QString::number(branch->first);
                end = branch->second;
            }
        } else if (!law || law->tables.size() != 1) {
            return std::nullopt;  // 別表 of a law of several: which one is unsaid
        } else {
            n = law->tables.first();
        }
        Member m;
        m.start = pos;
        m.end = end;
        Place p;
        if (pos > 0 && isIdeograph(t_[pos - 1]))
            p.target = QStringLiteral("?");
        else if (!law || !law->tables.contains(n))
            p.target = QStringLiteral("!");
        else
            p.target = law->code + QStringLiteral("別表") + n;
        m.first = m.last = p;
        return m;
    }

    // 附則第三条: the law's original 附則; in a 附則, that 附則 itself; after another law's
    // name (改正法附則第三条) that law's.
    std::optional<Member> supplementary(int pos) {
        // The 附則's index: this part's own in a 附則, else the law's original 附則.
        const LawIndex* suppl = c_.main ? c_.law : (home() ? home()->suppl.get() : nullptr);
        const QString law = pos > 0 && isIdeograph(t_[pos - 1]) ? QStringLiteral("?")
                            : suppl                             ? suppl->code
                                                                : QStringLiteral("!");
        const QString lastLaw = lastLaw_;
        std::optional<Member> m = numbered(pos + 2, false, law);
        lastLaw_ = lastLaw;  // 附則 names no law for a 同法 after it
        if (!m || (!m->namedArticle && !m->namedParagraph)) return std::nullopt;
        m->start = pos;
        Place& p = m->first;
        if (!m->namedArticle) p.article = kBareArticle;  // 附則第二項: one without articles
        if (law == QStringLiteral("!")) {                // the law keeps no 附則 of its own
            p.law = home() ? home()->code : QStringLiteral("?");
            p.missing = true;
        }
        m->last = m->first;
        return m;
    }

    // `lawGiven`: the law the caller has read before it (附則第…: the 附則).
    std::optional<Member> numbered(int pos, bool rangeEnd, const QString& lawGiven = {}) {
        int i = pos;
        int article = 0, b1 = 0, b2 = 0, paragraph = 0, item = 0;
        while (i < t_.size() && t_[i] == u'第') {
            const auto n = number(t_, i + 1);
            if (!n || n->second >= t_.size()) break;
            const QChar unit = t_[n->second];
            if (unit == u'条' && !article && !paragraph && !item) {
                article = n->first;
                i = n->second + 1;
                for (int b = 0; b < 2 && i < t_.size() && (t_[i] == u'の' || t_[i] == u'ノ'); ++b) {
                    const auto branch = number(t_, i + 1);
                    if (!branch) break;
                    (b == 0 ? b1 : b2) = branch->first;
                    i = branch->second;
                }
            } else if (unit == u'項' && !paragraph && !item) {
                paragraph = n->first;
                i = n->second + 1;
            } else if (unit == u'号' && !item) {
                item = n->first;
                i = n->second + 1;
                // An item's branch (第六号の五) belongs to it.
                while (i < t_.size() && (t_[i] == u'の' || t_[i] == u'ノ')) {
                    const auto branch = number(t_, i + 1);
                    if (!branch) break;
                    i = branch->second;
                }
            } else {
                break;
            }
        }
        if (!article && !paragraph && !item) return std::nullopt;
        // A law number (昭和二十二年法律第百二十五号) and terms (第一号被保険者) are no references.
        if (!article && !paragraph) {
            static const QStringList numberBefore{
                QStringLiteral("年"),   QStringLiteral("法律"), QStringLiteral("政令"),
                QStringLiteral("勅令"), QStringLiteral("省令"), QStringLiteral("府令"),
                QStringLiteral("規則"), QStringLiteral("告示"), QStringLiteral("布告"),
                QStringLiteral("条約"), QStringLiteral("訓令"), QStringLiteral("達")};
            for (const QString& w : numberBefore)
                if (at(t_, pos - int(w.size()), w)) return std::nullopt;
            if (at(t_, i, QStringLiteral("被保険者")) || at(t_, i, QStringLiteral("様式")))
                return std::nullopt;
        }
        Member m;
        m.start = pos;
        m.end = i;
        m.namedArticle = article > 0;
        m.namedParagraph = paragraph > 0;
        m.namedItem = item > 0;
        Place p = current(0);
        if (article) {
            int start = pos;
            QString law = lawGiven.isEmpty() ? lawBefore(pos, &start) : lawGiven;
            // 民法第九十三条及び第九十四条: the law left out comes from the member before, when
            // that one's is another than where it stands (前項及び第一条: not in a 附則).
            if (law.isEmpty() && previous_ && joinedToPrevious(pos) &&
                (previous_->lawNamed || previous_->first.law != current(0).law))
                law = previous_->first.law;
            m.lawNamed = !law.isEmpty();
            // In a part, an article alone is the main provision's (its own are 附則第…):
            // the law's, or in an amendment's 附則 the amending law's, which is not kept.
            if (law.isEmpty() && c_.main) law = c_.bareArticles;
            if (!law.isEmpty()) p.law = law;
            if (!law.isEmpty()) lastLaw_ = law;  // 同法 after it: that law ("?" as well)
            p.article = articleKey(article, b1, b2);
            p.paragraph = paragraph;
        } else {
            // A lower level alone: from the member it is listed with, else from where it is.
            const bool inherit = joinedToPrevious(pos) || rangeEnd;
            const Place base = inherit && previous_ ? previous_->first : current(c_.paragraph);
            p.law = base.law;
            p.article = base.article;
            if (paragraph)
                p.paragraph = paragraph;
            else  // an item: its paragraph; none (the article) after an article named whole
                p.paragraph = inherit && previous_ ? previous_->last.paragraph : c_.paragraph;
            if (!paragraph && inherit && previous_ && previous_->range)
                p.paragraph = previous_->first.paragraph;
        }
        m.first = m.last = p;
        return m;
    }

    std::optional<Member> relative(int pos) {
        const QChar c = t_[pos];
        if (c != u'前' && c != u'次' && c != u'同' && c != u'本' && c != u'こ') return std::nullopt;
        if (c != u'こ' && pos > 0 && isIdeograph(t_[pos - 1])) return std::nullopt;
        Member m;
        m.start = pos;
        int i = pos;
        Place p;
        auto level = [&](QChar unit) { return i < t_.size() && t_[i] == unit; };
        if (c == u'こ') {
            if (!at(t_, pos, QStringLiteral("この")) || pos + 2 >= t_.size()) return std::nullopt;
            i = pos + 2;
            if (level(u'条')) {
                p = current(0);
                m.namedArticle = true;
            } else if (level(u'項')) {
                p = current(c_.paragraph);
                m.namedParagraph = true;
            } else {
                return std::nullopt;
            }
            ++i;
        } else {
            i = pos + 1;
            // 次ノ数項 (次の数項): the paragraphs after this one, to the article's last.
            if (c == u'次' &&
                (at(t_, i, QStringLiteral("ノ数項")) || at(t_, i, QStringLiteral("の数項")))) {
                const int last = c_.law ? c_.law->paragraphs.value(c_.article) : 0;
                Place a = current(c_.paragraph + 1), b = current(last);
                if (last <= c_.paragraph) a.missing = b.missing = true;
                m.namedParagraph = true;
                m.first = a;
                m.last = b;
                m.range = a.paragraph != b.paragraph;
                m.end = i + 3;
                return m;
            }
            // 前二条, 前各項: a count of places before.
            int count = 1;
            bool each = false;
            if (c == u'前' && i < t_.size() && t_[i] == u'各') {
                each = true;
                ++i;
            } else if (c == u'前') {
                if (const auto n = number(t_, i)) {
                    count = n->first;
                    i = n->second;
                }
            }
            if (i >= t_.size()) return std::nullopt;
            const QChar unit = t_[i];
            if (unit != u'条' && unit != u'項' && unit != u'号') return std::nullopt;
            if (c == u'本' && unit != u'条') return std::nullopt;
            if ((c == u'同' || c == u'次' || c == u'本') && (count != 1 || each))
                return std::nullopt;
            if (each && unit == u'条') return std::nullopt;
            ++i;
            if (unit == u'条') {
                m.namedArticle = true;
                if (c == u'前' && count > 1) {
                    m.first = shifted(-count);
                    m.last = shifted(-1);
                    m.range = true;
                    m.end = i;
                    return m;
                }
                p = c == u'前'   ? shifted(-1)
                    : c == u'次' ? shifted(1)
                    : c == u'本' ? current(0)
                                 : lastArticle_.value_or(Place{{}, {}, 0, true, {}});
            } else if (unit == u'項') {
                m.namedParagraph = true;
                if (c == u'同') {
                    p = lastParagraph_.value_or(Place{{}, {}, 0, true, {}});
                } else {
                    const int first = c == u'次' ? c_.paragraph + 1
                                      : each     ? 1
                                                 : c_.paragraph - count;
                    const int last = c == u'次' ? c_.paragraph + 1 : c_.paragraph - 1;
                    Place a = current(first), b = current(last);
                    if (first < 1 || last < first) a.missing = b.missing = true;
                    if (first != last) {
                        m.first = a;
                        m.last = b;
                        m.range = true;
                        m.end = i;
                        return m;
                    }
                    p = a;
                }
            } else {  // 号: the paragraph the items are in
                m.namedItem = true;
                p = c == u'同' ? lastItem_.value_or(Place{{}, {}, 0, true, {}})
                               : current(c_.paragraph);
            }
        }
        // 前条第二項, 同条第一項第三号, 前項第一号: deeper levels of the place named.
        if (m.namedArticle && at(t_, i, QStringLiteral("第"))) {
            const auto n = number(t_, i + 1);
            if (n && n->second < t_.size() && t_[n->second] == u'項') {
                p.paragraph = n->first;
                m.namedParagraph = true;
                i = n->second + 1;
            }
        }
        if ((m.namedArticle || m.namedParagraph) && at(t_, i, QStringLiteral("第"))) {
            const auto n = number(t_, i + 1);
            if (n && n->second < t_.size() && t_[n->second] == u'号') {
                m.namedItem = true;
                i = n->second + 1;
                while (i < t_.size() && (t_[i] == u'の' || t_[i] == u'ノ')) {
                    const auto branch = number(t_, i + 1);
                    if (!branch) break;
                    i = branch->second;
                }
            }
        }
        m.end = i;
        m.first = m.last = p;
        return m;
    }

    // The target of one end, checked against the law.
    QString targetOf(const Place& p) const {
        if (!p.target.isEmpty()) return p.target;
        if (p.law == QStringLiteral("?")) return QStringLiteral("?");
        const LawIndex* index = indexOf(p.law);
        if (p.missing || !index || !index->paragraphs.contains(p.article))
            return QStringLiteral("!");
        const int count = index->paragraphs.value(p.article);
        if (p.paragraph > count) return QStringLiteral("!");
        return shortTarget(*index, p.article, p.paragraph);
    }

    void emit(const Member& m) {
        QString target = targetOf(m.first);
        if (m.range) {
            const QString last = targetOf(m.last);
            if (target == QStringLiteral("?") || last == QStringLiteral("?"))
                target = QStringLiteral("?");
            else if (target == QStringLiteral("!") || last == QStringLiteral("!"))
                target = QStringLiteral("!");
            else if (last != target)
                target += u'~' + last;
        }
        out_ << Reference{m.start, m.end - m.start, target};
    }

    void remember(const Member& m) {
        const Place& p = m.last;
        if (m.namedArticle || m.namedParagraph || m.namedItem) {
            if (m.namedArticle) lastArticle_ = Place{p.law, p.article, 0, p.missing, {}};
            if (m.namedParagraph) lastParagraph_ = p;
            if (m.namedItem) lastItem_ = p;
        }
    }

    const QString& t_;
    const RefContext& c_;
    std::shared_ptr<const LawNames> names_;
    QList<bool> quoted_;
    QList<Reference> out_;
    std::optional<Member> previous_, lastEmitted_;
    std::optional<Place> base_;  // the provision a replacement's quotes are read in
    bool replacing_ = false;     // the text replaces wording (とあるのは)
    bool inQuote_ = false;       // the words of a quote, read where they stand
    std::optional<Place> lastArticle_, lastParagraph_, lastItem_;
    QString lastLaw_;
};

}  // namespace

LookupTarget partTarget(const QString& target) {
    const QString first = target.section(u'~', 0, 0);
    if (first.size() < 3 || first[2].unicode() < 128) return {};
    return resolveLookup(first);
}

QString partText(const LookupTarget& t) {
    if (!isPartKey(t.code)) return {};
    try {
        store::Database db = store::openLawDb(t.lawName);
        const QList<store::LawPart> parts = store::readLawParts(db);
        const int order = t.code.mid(3, 5).toInt();
        if (order < 1 || order > parts.size()) return {};
        const store::LawPart& part = parts[order - 1];
        if (t.code.size() == 8) return part.text;
        return exchange::partEntries(part).value(t.code.mid(9).toInt() - 1);
    } catch (const platform::Error&) {
        return {};
    }
}

LawIndex readLawIndex(const QString& code, store::Database& db) {
    QStringList codes;
    for (store::Rows rs =
             db.rows(QStringLiteral("select 条項コード from 条文 order by 条項コード"));
         rs.next();)
        codes << rs.text(0);
    QList<store::LawPart> parts = store::readLawParts(db, false);
    // Only the original 附則's element is read: its articles are the index's.
    for (int i = 0; i < parts.size(); ++i)
        if (parts[i].kind == QStringLiteral("附則") && parts[i].amendLawNum.isEmpty()) {
            parts[i].xml = store::readLawPartXml(db, i + 1);
            break;
        }
    return lawIndexOf(code, codes, parts);
}

LawIndex lawIndexOf(const QString& code, const QStringList& recordCodes,
                    const QList<store::LawPart>& parts) {
    LawIndex index;
    index.code = code.toUpper();
    for (const QString& c : recordCodes) {
        if (c.size() != 16 || c.endsWith(u'1')) continue;  // a heading record
        const QString article = c.mid(2, 8);
        if (index.articles.isEmpty() || index.articles.last() != article) index.articles << article;
        index.paragraphs[article] += 1;
    }
    for (const store::LawPart& part : parts) {
        if (part.kind == QStringLiteral("別表"))
            index.tables << partNotation(index.code, part).mid(index.code.size() + 2);
        if (part.kind != QStringLiteral("附則") || !part.amendLawNum.isEmpty() || index.suppl)
            continue;
        index.suppl = std::make_shared<const LawIndex>(partIndex(index.code, part));
    }
    placeArticles(index);
    return index;
}

namespace {
LawIndex partIndexOf(const QString& lawCode, const store::LawPart& part,
                     const QList<exchange::PartEntry>& entries) {
    LawIndex own;
    own.code = partNotation(lawCode, part);
    int bare = 0;
    for (const exchange::PartEntry& e : entries) {
        if (!e.article) {
            ++bare;
            continue;
        }
        const QString key = numKey(e.num);
        own.articles << key;
        own.paragraphs[key] = std::max<int>(1, int(e.paragraphLines.size()));
    }
    if (bare > 0) {
        own.articles.prepend(kBareArticle);
        own.paragraphs[kBareArticle] = bare;
    }
    placeArticles(own);
    return own;
}
}  // namespace

LawIndex partIndex(const QString& lawCode, const store::LawPart& part) {
    return partIndexOf(lawCode, part, exchange::partEntryInfo(part));
}

QList<Reference> findReferences(const QString& text, const RefContext& context) {
    return Scanner(text, context).run();
}

int codePointOffset(const QString& text, int utf16) {
    int n = 0;
    for (int i = 0; i < utf16 && i < text.size(); ++i)
        if (!text[i].isLowSurrogate()) ++n;
    return n;
}

QString shortTarget(const LawIndex& law, const QString& article, int paragraph) {
    // A paragraph of a 附則 without articles goes by its number alone: MP附則(H29-44)2.
    if (article == kBareArticle) return law.code + QString::number(std::max(1, paragraph));
    // Digits from the key itself: a finder makes one for every reference.
    const QStringView key(article);
    bool plain = key.size() == 8;
    for (const QChar ch : key) plain = plain && ch >= u'0' && ch <= u'9';
    if (!plain) {
        QString s = law.code + QString::number(article.left(4).toInt());
        const int b1 = article.mid(4, 2).toInt(), b2 = article.mid(6, 2).toInt();
        if (b1) s += u'-' + QString::number(b1);
        if (b2) s += u'-' + QString::number(b2);
        if (paragraph > 0 && law.paragraphs.value(article) > 1)
            s += u':' + QString::number(paragraph);
        return s;
    }
    QString s = law.code;
    s.reserve(law.code.size() + 16);
    auto digits = [&](QStringView d) {
        while (d.size() > 1 && d.front() == u'0') d = d.mid(1);
        s += d;
    };
    digits(key.mid(0, 4));
    for (const QStringView b : {key.mid(4, 2), key.mid(6, 2)})
        if (b != u"00") {
            s += u'-';
            digits(b);
        }
    if (paragraph > 0 && law.paragraphs.value(article) > 1) s += u':' + QString::number(paragraph);
    return s;
}

namespace {
// MP709, MP398-2:3 read as article numbers and a paragraph; nullopt for anything else.
std::optional<std::array<int, 4>> plainTarget(QStringView target) {
    std::array<int, 4> n{0, 0, 0, 0};  // article, branch, branch, paragraph
    int at = 0, digits = 0;
    for (const QChar ch : target.mid(2)) {
        const char16_t c = ch.unicode();
        if (c >= u'0' && c <= u'9' && digits < 6) {
            n[size_t(at)] = n[size_t(at)] * 10 + (c - u'0');
            ++digits;
        } else if (digits > 0 && ((c == u'-' && at < 2) || (c == u':' && at < 3))) {
            at = c == u':' ? 3 : at + 1;
            digits = 0;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0) return std::nullopt;
    return n;
}
}  // namespace

QString targetRecordCode(const QString& target, const LawIndex* law) {
    if (!law || target.contains(u'~') || target.size() < 3) return {};
    QString article;
    int paragraph = 0;
    if (const auto plain = plainTarget(target)) {
        article = articleKey((*plain)[0], (*plain)[1], (*plain)[2]);
        paragraph = (*plain)[3];
    } else {
        QString rest = target.mid(2);
        if (const qsizetype colon = rest.indexOf(u':'); colon >= 0) {
            paragraph = rest.mid(colon + 1).toInt();
            rest = rest.left(colon);
        }
        const QStringList parts = rest.split(u'-');
        article =
            articleKey(parts.value(0).toInt(), parts.value(1).toInt(), parts.value(2).toInt());
    }
    const int count = law->paragraphs.value(article);
    if (count == 0) return {};
    // One string made once: an index asks this for every reference it stores.
    QString code;
    code.reserve(law->code.size() + 14);
    code += law->code;
    code += article;
    const int p = count == 1 ? 1 : std::max(paragraph, 1);
    if (p > 99) {
        const QString n = QString::number(p);
        return code + n + n + QStringLiteral("00");
    }
    const char16_t digits[2] = {char16_t(u'0' + p / 10), char16_t(u'0' + p % 10)};
    const QStringView pp(digits, 2);
    code += pp;
    if (count == 1)
        code += u"00";
    else
        code += pp;
    code += u"00";
    return code;
}

RefLibrary::RefLibrary() {
    for (const store::LawEntry& law : store::readLawList()) {
        codes_.insert(law.name, law.code.toUpper());
        names_.insert(law.code.toUpper(), law.name);
    }
    lawNames_ = std::make_shared<const LawNames>(codes_);
}

LawNames::LawNames(const QHash<QString, QString>& names) : nodes_(1) {
    for (auto it = names.cbegin(); it != names.cend(); ++it) {
        if (it.key().isEmpty()) continue;
        int node = 0;
        for (qsizetype i = it.key().size() - 1; i >= 0; --i) {
            const char16_t ch = it.key()[i].unicode();
            int next = -1;
            for (const auto& [c, n] : nodes_[node].next)
                if (c == ch) next = n;
            if (next < 0) {
                next = int(nodes_.size());
                nodes_[node].next.append({ch, next});
                nodes_.emplace_back();
            }
            node = next;
        }
        nodes_[node].code = int(codes_.size());
        codes_ << it.value();
    }
}

std::pair<int, QString> LawNames::endingAt(QStringView text, qsizetype end) const {
    std::pair<int, QString> best{0, QString()};
    int node = 0;
    for (qsizetype i = end - 1; i >= 0 && i < text.size(); --i) {
        int next = -1;
        for (const auto& [c, n] : nodes_[node].next)
            if (c == text[i].unicode()) next = n;
        if (next < 0) break;
        node = next;
        if (nodes_[node].code >= 0) best = {int(end - i), codes_[nodes_[node].code]};
    }
    return best;
}

namespace {
// A law's index read once per program while its file is unchanged: each search result and
// whole-law text would read every record code of each law it links again. The file's size,
// modification time and SQLite's change counter (bytes 24-27 of the header, counted up by
// every commit) tell a change, also one within the file system's clock tick.
struct FileSignature {
    qint64 size = -1;
    qint64 modified = -1;
    quint32 changes = 0;
    bool operator==(const FileSignature&) const = default;
};

std::optional<FileSignature> signatureOf(const QString& file) {
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    unsigned char counter[4] = {0, 0, 0, 0};
    const bool ok = ::fstat(fd, &st) == 0 && ::pread(fd, counter, 4, 24) == 4;
    ::close(fd);
    if (!ok) return std::nullopt;
    return FileSignature{qint64(st.st_size),
                         qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                         quint32(counter[0]) << 24 | quint32(counter[1]) << 16 |
                             quint32(counter[2]) << 8 | quint32(counter[3])};
}

}  // namespace

QString lawFileSignature(const QString& file) {
    const std::optional<FileSignature> s = signatureOf(file);
    return s ? QStringLiteral("%1:%2:%3").arg(s->size).arg(s->modified).arg(s->changes) : QString();
}

namespace {
struct KeptIndex {
    FileSignature signature;
    std::shared_ptr<const LawIndex> index;
};
QMutex keptMutex;
QHash<QString, KeptIndex> kept;  // code and file → index

std::shared_ptr<const LawIndex> keptIndex(const QString& code, const QString& file) {
    const std::optional<FileSignature> signature = signatureOf(file);
    if (!signature) return nullptr;
    const QString key = code + u'\n' + file;
    {
        QMutexLocker lock(&keptMutex);
        const auto it = kept.constFind(key);
        if (it != kept.constEnd() && it->signature == *signature) return it->index;
    }
    store::Database db = store::Database::open(file);
    auto index = std::make_shared<const LawIndex>(readLawIndex(code, db));
    QMutexLocker lock(&keptMutex);
    kept.insert(key, {*signature, index});
    return index;
}
}  // namespace

const LawIndex* RefLibrary::index(const QString& code) {
    // The law asked for last (each paragraph of a law being read asks for it again).
    if (!lastCode_.isEmpty() && code == lastCode_) return last_;
    const QString upper = code.toUpper();
    if (const auto it = indexes_.find(upper); it != indexes_.end()) {
        lastCode_ = code;
        last_ = it->get();
        return last_;
    }
    std::shared_ptr<const LawIndex> index;
    if (names_.contains(upper)) {
        try {
            const QString name = names_.value(upper);
            QString why;
            if (!store::isValidLawName(name, &why)) throw store::Error(why);
            const QString version = versions_.value(upper);
            index = keptIndex(upper, version.isEmpty() ? store::lawDbPath(name)
                                                       : store::versionFile(name, version));
        } catch (const platform::Error&) {
            // An unreadable law: its references stay unlinked.
        }
    }
    indexes_.insert(upper, index);
    return index.get();
}

const LawIndex* RefLibrary::useIndex(const QString& code, LawIndex index) {
    auto kept = std::make_shared<const LawIndex>(std::move(index));
    indexes_.insert(code.toUpper(), kept);
    lastCode_.clear();
    return kept.get();
}

void RefLibrary::readVersion(const QString& code, const QString& version) {
    const QString upper = code.toUpper();
    if (versions_.value(upper) == version) return;
    if (version.isEmpty())
        versions_.remove(upper);
    else
        versions_.insert(upper, version);
    indexes_.remove(upper);  // read again from where the law is now read
    lastCode_.clear();
}

store::Database RefLibrary::openLaw(const QString& code) const {
    const QString upper = code.toUpper();
    const QString version = versions_.value(upper);
    return version.isEmpty() ? store::openLawDb(names_.value(upper))
                             : store::openVersion(names_.value(upper), version);
}

QList<Reference> RefLibrary::references(const QString& recordCode, const QString& text) {
    RefContext c;
    c.law = index(recordCode.left(2));
    if (!c.law || recordCode.size() != 16) return {};
    c.article = recordCode.mid(2, 8);
    c.paragraph = std::max(1, recordCode.mid(10, 2).toInt());
    c.listedNames = codes_;
    c.names = lawNames_;
    c.otherLaw = [this](const QString& code) { return index(code); };
    return findReferences(text, c);
}

namespace {

// The references of one entry of a part, its entries and the part's own index read already.
QList<Reference> entryReferences(RefContext c, const QList<exchange::PartEntry>& entries, int entry,
                                 const QString& text) {
    int bareHere = 0;  // the entry's place among the bare paragraphs
    for (int i = 0; i <= entry; ++i) bareHere += entries[i].article ? 0 : 1;
    const exchange::PartEntry& e = entries[entry];
    c.article = e.article ? numKey(e.num) : kBareArticle;
    // Each paragraph is read where it stands: its 前項 is the one before it.
    const QStringList lines = text.split(u'\n');
    QList<int> starts = e.article ? e.paragraphLines : QList<int>{0};
    if (starts.isEmpty() || starts[0] > 0) starts.prepend(0);  // a caption before the first
    QList<Reference> out;
    int offset = 0, line = 0;
    for (int i = 0; i < starts.size(); ++i) {
        const int end = i + 1 < starts.size() ? starts[i + 1] : int(lines.size());
        const QString piece = lines.mid(line, end - line).join(u'\n');
        c.paragraph =
            e.article ? std::max(1, i + (e.paragraphLines.value(0) > 0 ? 0 : 1)) : bareHere;
        for (Reference r : findReferences(piece, c)) {
            // The article's own title (第二条　…) names no other place.
            if (e.article && i == (e.paragraphLines.value(0) > 0 ? 1 : 0) && r.start == 0) continue;
            r.start += offset;
            out << r;
        }
        offset += int(piece.size()) + 1;
        line = end;
    }
    return out;
}

}  // namespace

RefContext RefLibrary::partContext(const LawIndex* main, const store::LawPart& part,
                                   const LawIndex* own) {
    RefContext c;
    c.law = own;
    c.main = main;
    c.bareArticles = part.kind == QStringLiteral("附則") && !part.amendLawNum.isEmpty()
                         ? QStringLiteral("?")
                         : main->code;
    c.listedNames = codes_;
    c.names = lawNames_;
    c.otherLaw = [this](const QString& code) { return index(code); };
    return c;
}

QList<Reference> RefLibrary::partReferences(const QString& lawCode, const store::LawPart& part,
                                            int entry, const QString& text) {
    const LawIndex* main = index(lawCode);
    if (!main) return {};
    const QList<exchange::PartEntry> entries = exchange::partEntryInfo(part);
    if (entry < 0 || entry >= entries.size()) return {};
    const LawIndex own = partIndex(main->code, part);
    return entryReferences(partContext(main, part, &own), entries, entry, text);
}

QList<std::pair<QString, QList<Reference>>> RefLibrary::partReferences(const QString& lawCode,
                                                                       const store::LawPart& part) {
    const LawIndex* main = index(lawCode);
    if (!main) return {};
    const QList<std::pair<exchange::PartEntry, QString>> drawn =
        exchange::partEntriesWithInfo(part);
    QList<exchange::PartEntry> entries;
    for (const auto& [info, _] : drawn) entries << info;
    const LawIndex own = partIndexOf(main->code, part, entries);
    const RefContext c = partContext(main, part, &own);
    QList<std::pair<QString, QList<Reference>>> out;
    for (int e = 0; e < entries.size(); ++e) {
        const QString text =
            QString(drawn[e].second).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        out.append({text, entryReferences(c, entries, e, text)});
    }
    return out;
}

QString RefLibrary::preview(const QString& target, int maxChars) {
    if (const LookupTarget part = partTarget(target); !part.lawCode.isEmpty()) {
        QString text = part.error.isEmpty() ? partText(part) : QString();
        if (text.size() > maxChars) text = text.left(maxChars) + QStringLiteral("…");
        return text;
    }
    const QString code = targetRecordCode(target, index(target.left(2)));
    if (code.isEmpty()) return {};
    try {
        store::Database db = openLaw(target.left(2));
        store::Recordset rs =
            db.openRecordset(QStringLiteral("select 条文 from 条文 where 条項コード=?"),
                             store::RecordsetType::Snapshot, {code});
        if (rs.eof()) return {};
        QString text = rs.text(QStringLiteral("条文"));
        if (text.size() > maxChars) text = text.left(maxChars) + QStringLiteral("…");
        return text;
    } catch (const platform::Error&) {
        return {};
    }
}

QList<Reference> referencesShown(RefLibrary& library, const QString& lawCode,
                                 const QStringList& codes, const QString& shown, qsizetype start) {
    QList<Reference> out;
    const QString name = library.lawName(lawCode);
    if (name.isEmpty()) return out;
    store::Database db = library.openLaw(lawCode);
    auto add = [&](const QString& code, QString text, qsizetype* from) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        const qsizetype at = shown.indexOf(text, *from);
        if (at < 0) return;
        for (Reference r : library.references(code, text)) {
            if (!r.linked()) continue;
            r.start += int(at);
            out << r;
        }
        *from = at + text.size();
    };
    qsizetype from = start;
    if (codes.isEmpty()) {
        for (store::Recordset rs = db.openRecordset(
                 QStringLiteral("select 条項コード, 条文 from 条文 order by 条項コード"));
             !rs.eof(); rs.moveNext()) {
            const QString code = rs.text(QStringLiteral("条項コード"));
            if (code.size() == 16 && !code.endsWith(u'1'))
                add(code, rs.text(QStringLiteral("条文")), &from);
        }
        return out;
    }
    for (const QString& code : codes) {
        store::Recordset rs =
            db.openRecordset(QStringLiteral("select 条文 from 条文 where 条項コード=?"),
                             store::RecordsetType::Snapshot, {code});
        if (!rs.eof()) add(code, rs.text(QStringLiteral("条文")), &from);
    }
    return out;
}

TargetPlace targetPlace(RefLibrary& library, const QString& target) {
    const QString first = target.section(u'~', 0, 0);
    TargetPlace p;
    p.law = first.left(2).toUpper();
    p.lawName = library.lawName(p.law);
    if (const LookupTarget part = partTarget(first); !part.lawCode.isEmpty()) {
        p.key = part.error.isEmpty() ? part.code : QString();
        p.error = part.error;
        return p;
    }
    const QString code = targetRecordCode(first, library.index(p.law));
    // An article's number opens the article; a paragraph's, the paragraph.
    if (!code.isEmpty()) p.key = first.contains(u':') ? code : code.left(10);
    if (p.key.isEmpty()) p.error = QStringLiteral("%1 は開けません").arg(target);
    return p;
}

QString referenceTip(RefLibrary& library, const QString& target) {
    const QString first = target.section(u'~', 0, 0);
    const QString head = library.lawName(first.left(2)) + u' ' + target;
    return QStringLiteral("<p><b>%1</b><br>%2</p>")
        .arg(head.toHtmlEscaped(),
             library.preview(first).toHtmlEscaped().replace(u'\n', QStringLiteral("<br>")));
}

}  // namespace viewer
