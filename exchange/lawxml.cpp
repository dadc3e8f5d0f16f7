#include "exchange/lawxml.h"
#include "exchange/lawparts.h"

#include "platform/vb.h"
#include "store/codes.h"
#include "store/lawdb.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QXmlStreamReader>

#include <expat.h>

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace exchange {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QChar kSpace(0x3000);
const QString kDeleted = QStringLiteral("削除");
const QString kNoCaption = QStringLiteral("（）");

// An element of the kept part of the document, or a run of text (empty tag).
struct Node {
    QString tag;
    QString num;   // the Num attribute
    QString text;  // a text node's characters
    Node* parent = nullptr;
    std::vector<Node*> kids;
    bool isText() const { return tag.isEmpty(); }
};

class Report {
  public:
    void add(const QString& kind, const QString& example = {}) {
        auto it = index_.find(kind);
        if (it == index_.end()) {
            it = index_.insert(kind, int(items_.size()));
            items_.append({kind, 0, {}});
        }
        XmlRepair& r = items_[*it];
        ++r.count;
        if (!example.isEmpty() && r.examples.size() < 5) r.examples << example;
    }
    QList<XmlRepair> items() const { return items_; }

  private:
    QHash<QString, int> index_;
    QList<XmlRepair> items_;
};

// ---- reading ----

struct Document {
    std::deque<Node> nodes;
    Node* title = nullptr;
    Node* main = nullptr;
    Node* make(const QString& tag, Node* parent) {
        nodes.push_back({});
        Node* n = &nodes.back();
        n->tag = tag;
        n->parent = parent;
        if (parent) parent->kids.push_back(n);
        return n;
    }
};

// One shared copy of each tag name: a document has a few dozen of them in many elements.
class Tags {
  public:
    const QString& operator()(std::string_view name) {
        // A law uses a few dozen tags: they are found by their bytes without a copy; past
        // that (input that is no law), a hash keeps the lookup short.
        for (size_t i = 0; i < tags_.size() && i < kScanned; ++i)
            if (tags_[i].first == name) return tags_[i].second;
        if (tags_.size() >= kScanned) {
            const std::string key(name);
            if (const auto it = more_.find(key); it != more_.end()) return tags_[it->second].second;
            more_.emplace(key, tags_.size());
        }
        tags_.emplace_back(std::string(name),
                           QString::fromUtf8(name.data(), qsizetype(name.size())));
        return tags_.back().second;
    }

  private:
    static constexpr size_t kScanned = 64;
    std::deque<std::pair<std::string, QString>> tags_;
    std::unordered_map<std::string, size_t> more_;
};

// The elements whose Num the conversion reads.
bool numbered(const QString& tag) {
    static const QStringList tags{QStringLiteral("Article"),    QStringLiteral("Part"),
                                  QStringLiteral("Chapter"),    QStringLiteral("Section"),
                                  QStringLiteral("Subsection"), QStringLiteral("Division")};
    return tags.contains(tag);
}

// The document's elements as expat reports them (three times the pace of QXmlStreamReader
// on a law): only the title and the main provision are kept.
class Reader {
  public:
    Reader(Document& doc, Report& report) : doc_(doc), report_(report) {}

    void read(const QByteArray& xml) {
        // Checked here for a message of our own; expat reads the bytes as UTF-8 whatever
        // the declaration says, as the law XML is.
        if (!QByteArrayView(xml).isValidUtf8())
            throw LawXmlError(
                QStringLiteral("UTF-8 のファイルではありません。法令XMLは UTF-8 です。"));
        // Namespaces as QXmlStreamReader took them: a prefixed name is its local part.
        std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> parser(
            XML_ParserCreateNS("UTF-8", kNsSeparator), &XML_ParserFree);
        if (!parser) throw LawXmlError(QStringLiteral("XMLを読む準備ができません。(メモリ不足)"));
        parser_ = parser.get();
        xml_ = &xml;
        XML_SetUserData(parser_, this);
        XML_SetElementHandler(parser_, &Reader::onStart, &Reader::onEnd);
        XML_SetCharacterDataHandler(parser_, &Reader::onText);
        XML_SetStartDoctypeDeclHandler(parser_, &Reader::onDoctype);
        const char* at = xml.constData();
        qsizetype left = xml.size();
        do {  // whole documents of any size, in pieces an int can count
            const int piece = int(std::min<qsizetype>(left, 1 << 30));
            left -= piece;
            if (XML_Parse(parser_, at, piece, left == 0) != XML_STATUS_OK) break;
            at += piece;
        } while (left > 0);
        if (!error_.isEmpty()) throw LawXmlError(error_);
        if (XML_GetErrorCode(parser_) != XML_ERROR_NONE)
            throw LawXmlError(
                QStringLiteral("XMLとして読めません。%1 %2")
                    .arg(where(), QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(parser_)))));
        if (!sawLaw_)
            throw LawXmlError(QStringLiteral("法令XMLではありません。(要素がありません)"));
        if (!sawBody_ || !doc_.main)
            throw LawXmlError(
                QStringLiteral("法令XMLではありません。(LawBody の MainProvision がありません)"));
    }

    // The parts of the law body besides its title and main provision, in document order.
    const QList<QPair<QString, int>>& others() const { return others_; }
    // The kept parts' elements as their bytes, in document order.
    const QList<QPair<QString, QByteArray>>& parts() const { return parts_; }

  private:
    static constexpr char kNsSeparator = '\x01';

    QString where() const {
        return QStringLiteral("%1 行 %2 桁:")
            .arg(XML_GetCurrentLineNumber(parser_))
            .arg(XML_GetCurrentColumnNumber(parser_) + 1);
    }

    // Refused from inside a handler: expat is C, so nothing may be thrown through it.
    void refuse(const QString& why) {
        if (error_.isEmpty()) error_ = why;
        XML_StopParser(parser_, XML_FALSE);
    }

    static std::string_view localName(const char* name) {
        const std::string_view n(name);
        const size_t sep = n.rfind(kNsSeparator);
        return sep == std::string_view::npos ? n : n.substr(sep + 1);
    }

    static void onStart(void* self, const char* name, const char** attributes) {
        static_cast<Reader*>(self)->start(localName(name), attributes);
    }
    static void onEnd(void* self, const char*) { static_cast<Reader*>(self)->end(); }
    static void onText(void* self, const char* s, int len) {
        static_cast<Reader*>(self)->text(s, len);
    }
    static void onDoctype(void* self, const char*, const char*, const char*, int) {
        // A law has none; a declared entity would only be a way to blow the text up.
        Reader* r = static_cast<Reader*>(self);
        r->refuse(QStringLiteral("法令XMLではありません。(DOCTYPE 宣言があります。%1)")
                      .arg(r->where().chopped(1)));
    }

    void start(std::string_view name, const char** attributes) {
        if (!error_.isEmpty()) return;
        flush();
        const QString& tag = tags_(name);
        if (path_.empty() && tag != QStringLiteral("Law"))
            return refuse(QStringLiteral("法令XMLではありません。(ルート要素が %1 です)").arg(tag));
        if (int(path_.size()) >= kMaxXmlDepth)
            return refuse(QStringLiteral("要素の入れ子が %1 段を超えています。(%2)")
                              .arg(kMaxXmlDepth)
                              .arg(where().chopped(1)));
        sawLaw_ = true;
        const bool inBody = path_.size() == 2 && *path_[1] == QStringLiteral("LawBody");
        if (path_.size() == 1 && tag == QStringLiteral("LawBody")) sawBody_ = true;
        if (current_) {
            current_ = doc_.make(tag, current_);
        } else if (inBody && tag == QStringLiteral("LawTitle") && !doc_.title) {
            current_ = doc_.title = doc_.make(tag, nullptr);
        } else if (inBody && tag == QStringLiteral("MainProvision") && !doc_.main) {
            current_ = doc_.main = doc_.make(tag, nullptr);
        } else if (inBody && tag != QStringLiteral("TOC")) {
            if (partKind(tag).isEmpty()) {
                report_.add(QStringLiteral("本則以外を除いた"), tag);
            } else {
                // Kept whole as its bytes: the element is read again by itself.
                partTag_ = &tag;
                partStart_ = XML_GetCurrentByteIndex(parser_);
                partStartEnd_ = partStart_ + XML_GetCurrentByteCount(parser_);
            }
            auto it = std::find_if(others_.begin(), others_.end(),
                                   [&tag](const auto& p) { return p.first == tag; });
            if (it == others_.end())
                others_.append({tag, 1});
            else
                ++it->second;
        }
        if (current_ && numbered(tag))
            for (const char** a = attributes; a[0]; a += 2)
                if (localName(a[0]) == "Num") current_->num = QString::fromUtf8(a[1]);
        path_.push_back(&tag);
    }

    void end() {
        if (!error_.isEmpty()) return;
        flush();
        path_.pop_back();
        if (partTag_ && path_.size() == 2) {
            // An empty element's end comes with no bytes of its own.
            const XML_Index at = XML_GetCurrentByteIndex(parser_);
            const int count = XML_GetCurrentByteCount(parser_);
            const XML_Index end = count > 0 ? at + count : partStartEnd_;
            parts_.append(
                {*partTag_, xml_->mid(qsizetype(partStart_), qsizetype(end - partStart_))});
            partTag_ = nullptr;
        }
        if (current_) current_ = current_->parent;
    }

    // Expat hands text over in pieces (a line, an entity): one node takes them all, decoded
    // once at the next tag.
    void text(const char* s, int len) {
        if (!error_.isEmpty() || !current_) return;
        if (!pendingNode_) pendingNode_ = doc_.make(QString(), current_);
        pending_.append(s, size_t(len));
    }

    void flush() {
        if (!pendingNode_) return;
        pendingNode_->text = QString::fromUtf8(pending_.data(), qsizetype(pending_.size()));
        pending_.clear();
        pendingNode_ = nullptr;
    }

    Document& doc_;
    Report& report_;
    XML_Parser parser_ = nullptr;
    Tags tags_;
    std::vector<const QString*> path_;  // tags of the open elements
    Node* current_ = nullptr;           // inside LawTitle or MainProvision
    Node* pendingNode_ = nullptr;       // the text node the pending bytes are for
    std::string pending_;
    bool sawLaw_ = false, sawBody_ = false;
    QString error_;
    QList<QPair<QString, int>> others_;
    const QByteArray* xml_ = nullptr;
    const QString* partTag_ = nullptr;  // the kept part open now
    XML_Index partStart_ = 0, partStartEnd_ = 0;
    QList<QPair<QString, QByteArray>> parts_;
};

// ---- texts ----

void rawText(const Node* n, QString& out, bool ruby) {
    if (n->isText()) {
        out += n->text;
        return;
    }
    if (!ruby && n->tag == QStringLiteral("Rt")) return;
    for (const Node* k : n->kids) rawText(k, out, ruby);
}

// Line breaks with the blanks around them go, then the tabs.
QString cleaned(const QString& s) {
    static const QRegularExpression breaks(QStringLiteral("[ \\t]*[\\r\\n]+[ \\t]*"));
    if (!s.contains(u'\n') && !s.contains(u'\r') && !s.contains(u'\t')) return s;
    QString t = s;
    t.replace(breaks, QString());
    t.remove(u'\t');
    return t;
}

QString inlineText(const Node* n) {
    if (!n) return {};
    QString s;
    rawText(n, s, false);
    return cleaned(s);
}

const Node* child(const Node* n, const QString& tag) {
    for (const Node* k : n->kids)
        if (k->tag == tag) return k;
    return nullptr;
}

const Node* childEndingWith(const Node* n, const QString& suffix) {
    for (const Node* k : n->kids)
        if (!k->isText() && k->tag.endsWith(suffix)) return k;
    return nullptr;
}

QString sentences(const Node* n) {
    if (!n) return {};
    QStringList columns;
    QString joined;
    bool anySentence = false;
    for (const Node* k : n->kids) {
        if (k->tag == QStringLiteral("Column")) columns << sentences(k);
        if (k->tag == QStringLiteral("Sentence")) {
            joined += inlineText(k);
            anySentence = true;
        }
    }
    if (!columns.isEmpty()) return columns.join(kSpace);
    if (anySentence) return joined;
    return inlineText(n);
}

QString joinNonEmpty(const QString& a, const QString& b) {
    if (a.isEmpty()) return b;
    if (b.isEmpty()) return a;
    return a + kSpace + b;
}

void blockLines(const Node* n, QStringList& lines);

void remarksLines(const Node* n, QStringList& lines) {
    QString body;
    for (const Node* k : n->kids)
        if (k->tag == QStringLiteral("Sentence")) body += inlineText(k);
    lines << joinNonEmpty(inlineText(child(n, QStringLiteral("RemarksLabel"))), body);
    for (const Node* k : n->kids)
        if (k->tag == QStringLiteral("Item"))
            lines << inlineText(childEndingWith(k, QStringLiteral("Title"))) + kSpace +
                         sentences(childEndingWith(k, QStringLiteral("Sentence")));
}

void tableRows(const Node* n, QStringList& lines) {
    for (const Node* k : n->kids) {
        if (k->tag == QStringLiteral("TableRow") || k->tag == QStringLiteral("TableHeaderRow")) {
            QStringList cells;
            for (const Node* cell : k->kids) {
                if (cell->isText()) continue;
                QString t;
                bool any = false;
                for (const Node* s : cell->kids)
                    if (s->tag == QStringLiteral("Sentence")) {
                        t += inlineText(s);
                        any = true;
                    }
                cells << (any ? t : inlineText(cell));
            }
            lines << cells.join(kSpace);
        } else if (!k->isText()) {
            tableRows(k, lines);
        }
    }
}

void tableLines(const Node* n, QStringList& lines) {
    const QString title = inlineText(child(n, QStringLiteral("TableStructTitle")));
    if (!title.isEmpty()) lines << title;
    for (const Node* k : n->kids)
        if (k->tag == QStringLiteral("Table")) tableRows(k, lines);
    for (const Node* k : n->kids)
        if (k->tag == QStringLiteral("Remarks")) remarksLines(k, lines);
}

void listLines(const Node* n, QStringList& lines) {
    for (const Node* k : n->kids) {
        if (k->isText()) continue;
        if (k->tag.endsWith(QStringLiteral("Sentence")))
            lines << sentences(k);
        else if (k->tag == QStringLiteral("List") || k->tag.startsWith(QStringLiteral("Sublist")))
            listLines(k, lines);
    }
}

void genericLines(const Node* n, QStringList& lines) {
    if (n->isText()) return;
    if (n->tag.endsWith(QStringLiteral("Title")) || n->tag.endsWith(QStringLiteral("Label"))) {
        const QString t = inlineText(n);
        if (!t.isEmpty()) lines << t;
    } else if (n->tag.endsWith(QStringLiteral("Sentence")) &&
               n->tag != QStringLiteral("Sentence")) {
        lines << sentences(n);
    }
    for (const Node* k : n->kids) genericLines(k, lines);
}

void blockLines(const Node* n, QStringList& lines) {
    const QString& tag = n->tag;
    if (tag == QStringLiteral("TableStruct")) {
        tableLines(n, lines);
    } else if (tag == QStringLiteral("Remarks")) {
        remarksLines(n, lines);
    } else if (tag == QStringLiteral("List")) {
        listLines(n, lines);
    } else if (tag == QStringLiteral("FigStruct")) {
        lines << QStringLiteral("［図］") + inlineText(child(n, QStringLiteral("FigStructTitle")));
        for (const Node* k : n->kids)
            if (k->tag == QStringLiteral("Remarks")) remarksLines(k, lines);
    } else if (tag == QStringLiteral("StyleStruct")) {
        lines << QStringLiteral("［様式］") +
                     inlineText(child(n, QStringLiteral("StyleStructTitle")));
    } else if (tag == QStringLiteral("FormatStruct")) {
        lines << QStringLiteral("［書式］") +
                     inlineText(child(n, QStringLiteral("FormatStructTitle")));
    } else if (tag == QStringLiteral("NoteStruct")) {
        lines << QStringLiteral("［記］") + inlineText(child(n, QStringLiteral("NoteStructTitle")));
    } else {
        const qsizetype before = lines.size();
        genericLines(n, lines);
        if (lines.size() == before) {
            QString all;
            rawText(n, all, true);
            all = cleaned(all);
            if (!all.isEmpty()) lines << all;
        }
    }
}

bool isItemTag(const QString& tag) {
    return tag == QStringLiteral("Item") ||
           (tag.startsWith(QStringLiteral("Subitem")) && !tag.endsWith(QStringLiteral("Title")) &&
            !tag.endsWith(QStringLiteral("Sentence")));
}

void itemLines(const Node* n, QStringList& lines) {
    const Node* title = nullptr;
    const Node* sentence = nullptr;
    for (const Node* k : n->kids) {
        if (k->isText()) continue;
        if (!title && k->tag == n->tag + QStringLiteral("Title")) title = k;
        if (!sentence && k->tag == n->tag + QStringLiteral("Sentence")) sentence = k;
    }
    const Node* table = sentence ? child(sentence, QStringLiteral("TableStruct")) : nullptr;
    const Node* bare = sentence ? child(sentence, QStringLiteral("Table")) : nullptr;
    if (table || bare) {
        const QString t = inlineText(title);
        if (!t.isEmpty()) lines << t;
        if (table)
            tableLines(table, lines);
        else
            tableRows(bare, lines);
    } else {
        lines << joinNonEmpty(inlineText(title), sentences(sentence));
    }
    for (const Node* k : n->kids) {
        if (k->isText() || k == title || k == sentence) continue;
        if (isItemTag(k->tag))
            itemLines(k, lines);
        else
            blockLines(k, lines);
    }
}

QStringList paragraphLines(const Node* p) {
    QStringList lines;
    lines << inlineText(child(p, QStringLiteral("ParagraphCaption"))) +
                 sentences(child(p, QStringLiteral("ParagraphSentence")));
    for (const Node* k : p->kids) {
        if (k->isText() || k->tag == QStringLiteral("ParagraphNum") ||
            k->tag == QStringLiteral("ParagraphCaption") ||
            k->tag == QStringLiteral("ParagraphSentence"))
            continue;
        if (k->tag == QStringLiteral("Item"))
            itemLines(k, lines);
        else
            blockLines(k, lines);
    }
    lines.removeAll(QString());
    return lines;
}

QString fullWidth(int n) {
    QString s = QString::number(n);
    for (QChar& c : s) c = QChar(c.unicode() - u'0' + 0xFF10);
    return s;
}

// "(12)" as typed in a text would read as a paragraph mark.
QString guardMarks(const QString& line) {
    static const QRegularExpression mark(QStringLiteral("\\(([0-9]+)\\)"));
    if (!line.contains(u'(')) return line;
    QString out;
    qsizetype at = 0;
    for (auto it = mark.globalMatch(line); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += line.mid(at, m.capturedStart() - at);
        QString digits = m.captured(1);
        for (QChar& c : digits) c = QChar(c.unicode() - u'0' + 0xFF10);
        out += u'（' + digits + u'）';
        at = m.capturedEnd();
    }
    return out + line.mid(at);
}

// Lines of an article's paragraphs: one paragraph as it is; several marked (1), (2), ….
QStringList textLines(const QList<const Node*>& paragraphs) {
    QStringList out;
    const bool marked = paragraphs.size() > 1;
    for (int k = 0; k < paragraphs.size(); ++k) {
        QStringList lines = paragraphLines(paragraphs[k]);
        for (QString& l : lines) l = guardMarks(l);
        if (marked) {
            const QString m = u'(' + QString::number(k + 1) + u')';
            if (lines.isEmpty())
                lines << m;
            else
                lines[0].prepend(m);
        }
        out << lines;
    }
    return out;
}

// ---- numbers ----

using Number = QList<int>;  // main number, then branches

std::optional<Number> digitsNumber(const QString& s) {
    static const QRegularExpression form(QStringLiteral("^[0-9]+(_[0-9]+)*$"));
    if (!form.match(s).hasMatch()) return std::nullopt;
    Number n;
    for (const QString& p : s.split(u'_')) {
        bool ok = false;
        const int v = p.size() > 6 ? 999999 : p.toInt(&ok);
        n << (ok ? v : 999999);
    }
    return n;
}

// 第三十六条の三 → 36, 3.
std::optional<Number> titleNumber(const QString& title, QChar kind) {
    static const QString digits = QStringLiteral("〇一二三四五六七八九十百千");
    const QRegularExpression form(QStringLiteral("^第([%1]+)%2((の[%1]+)*)").arg(digits, kind));
    const QRegularExpressionMatch m = form.match(title);
    if (!m.hasMatch()) return std::nullopt;
    try {
        Number n{store::KanjiNumberValue(m.captured(1))};
        for (const QString& b : m.captured(2).split(u'の', Qt::SkipEmptyParts))
            n << store::KanjiNumberValue(b);
        return n;
    } catch (const platform::ConversionError&) {
        return std::nullopt;
    }
}

// The most numbers one ranged article may stand for; a law's own limit is kMaxArticles.
constexpr int kMaxRange = 10000;
constexpr int kMaxArticles = 50000;

// Every number of a ranged Num; empty when the range runs backwards or is too long.
QList<Number> expandRange(const Number& a, const Number& b) {
    QList<Number> out;
    const bool sameStem = a.size() == b.size() && a.mid(0, a.size() - 1) == b.mid(0, b.size() - 1);
    if (sameStem ? b.last() < a.last() : b.first() < a.first()) return {};
    if ((sameStem ? b.last() - a.last() : b.first() - a.first()) >= kMaxRange) return {};
    if (sameStem) {
        for (int v = a.last(); v <= b.last(); ++v) {
            Number n = a;
            n.last() = v;
            out << n;
        }
        return out;
    }
    out << a;
    for (int v = a.first() + 1; v <= b.first(); ++v) out << Number{v};
    if (b.size() > 1 && b != out.last()) out << b;
    return out;
}

QString label(const Number& n) {
    QString s = u'第' + fullWidth(n.first()) + u'条';
    for (int i = 1; i < n.size(); ++i) s += u'の' + fullWidth(n[i]);
    return s;
}

QString two(int v) {
    return platform::padNumber(std::min(v, 99), 2);
}

QString articleCode(const Number& n) {
    return platform::padNumber(std::min(n.value(0), 9999), 4) + two(n.value(1)) + two(n.value(2));
}

// ---- the law ----

const QString kNoArticle = QStringLiteral("00000000");

const QStringList kHeadings{QStringLiteral("Part"), QStringLiteral("Chapter"),
                            QStringLiteral("Section"), QStringLiteral("Subsection"),
                            QStringLiteral("Division")};
const QString kHeadingKinds = QStringLiteral("編章節款目");

struct Article {
    const Node* node;
    QList<Number> numbers;
    QStringList lines;
    bool captioned = false;  // has an ArticleCaption
    QString caption;         // its text, wrapped
    int paragraphs = 1;      // records the import makes of its paragraphs
};

struct Heading {
    const Node* node;
    int level;  // index into kHeadings
};

class Converter {
  public:
    Converter(const Document& doc, const QString& code, Report& report)
        : doc_(doc), code_(code), report_(report) {}

    // A 法典名称 for a title too long to name a database file.
    QString shortName;

    // Text as the law's records keep it: characters without a CP932 code replaced, counted.
    QString shownText(const QString& text) { return replaceOutside(text); }

    void run(LawXml& law) {
        law.fullTitle = replaceOutside(inlineText(doc_.title));
        law.name = shortName.isEmpty() ? law.fullTitle : replaceOutside(shortName);
        collect(doc_.main);
        if (!sawArticle_) noArticles();
        resolveCaptions();
        for (int i = 0; i < articles_.size(); ++i) byNode_.insert(articles_[i].node, i);
        QString text = QStringLiteral("法典コード=") + code_ + kCrLf + QStringLiteral("法典名称=") +
                       law.name + kCrLf + kCrLf;
        QStringList blocks;
        for (const Article& a : articles_)
            for (const Number& n : a.numbers) {
                blocks << a.caption + kCrLf + label(n) + kCrLf + a.lines.join(kCrLf) + kCrLf;
                ++law.articles;
                if (a.lines == QStringList{kDeleted}) ++law.deleted;
                law.paragraphs += a.paragraphs;
            }
        law.text = replaceOutside(text + blocks.join(kCrLf));
        // Two headings of one code (第一款 and 第一款の二: the code has no room for a branch
        // of 編, 款 or 目) make one row, so that neither the heading nor its articles are lost.
        QList<QStringList> rows;
        QHash<QString, int> rowOf;
        for (const Heading& h : headings_) {
            QStringList row = tocRow(h).split(QStringLiteral("&&"));
            const auto it = rowOf.find(row[0]);
            if (it == rowOf.end()) {
                rowOf.insert(row[0], int(rows.size()));
                rows << row;
                continue;
            }
            QStringList& kept = rows[*it];
            for (const int first : {1, 3}) {
                if (row[first] == kNoArticle) continue;
                if (kept[first] == kNoArticle || row[first] < kept[first]) kept[first] = row[first];
                if (kept[first + 1] == kNoArticle || row[first + 1] > kept[first + 1])
                    kept[first + 1] = row[first + 1];
            }
            QString title = inlineText(childEndingWith(h.node, QStringLiteral("Title")));
            title.replace(QStringLiteral("&&"), QStringLiteral("＆＆"));
            kept[5] += QStringLiteral("／") + title;
        }
        for (const QStringList& row : rows)
            law.toc << replaceOutside(row.join(QStringLiteral("&&")));
    }

  private:
    void collect(const Node* n) {
        for (const Node* k : n->kids) {
            if (k->isText()) continue;
            if (k->tag == QStringLiteral("Article")) {
                sawArticle_ = true;
                article(k);
            } else if (k->tag == QStringLiteral("Paragraph") && n == doc_.main) {
                mainParagraphs_ << k;
            } else {
                const int level = int(kHeadings.indexOf(k->tag));
                if (level >= 0) headings_.append({k, level});
                collect(k);
            }
        }
    }

    void article(const Node* n) {
        const QString title = inlineText(child(n, QStringLiteral("ArticleTitle")));
        Article a{n, {}, {}, false, {}, 1};
        static const QRegularExpression range(
            QStringLiteral("^([0-9]+(?:_[0-9]+)*):([0-9]+(?:_[0-9]+)*)$"));
        const QRegularExpressionMatch m = range.match(n->num);
        if (m.hasMatch()) {
            a.numbers = expandRange(*digitsNumber(m.captured(1)), *digitsNumber(m.captured(2)));
            if (a.numbers.isEmpty()) {  // a range that runs backwards or too far
                report_.add(QStringLiteral("番号の範囲が読めない条を除いた"), n->num);
                return;
            }
        } else if (const std::optional<Number> d = digitsNumber(n->num)) {
            a.numbers << *d;
        } else if (const std::optional<Number> t = titleNumber(title, u'条')) {
            a.numbers << *t;
            report_.add(QStringLiteral("条番号を見出しから読んだ"), title);
        } else {
            report_.add(QStringLiteral("番号のない条を除いた"), title.isEmpty() ? n->num : title);
            return;
        }
        QList<const Node*> paragraphs;
        for (const Node* k : n->kids)
            if (k->tag == QStringLiteral("Paragraph")) paragraphs << k;
        a.lines = textLines(paragraphs);
        a.paragraphs = std::max(1, int(paragraphs.size()));
        if (const Node* note = child(n, QStringLiteral("SupplNote"))) {
            const QString t = inlineText(note);
            if (!t.isEmpty()) a.lines << guardMarks(t);
        }
        if (a.lines.isEmpty()) {
            report_.add(QStringLiteral("本文のない条を除いた"), title);
            return;
        }
        numbers_ += int(a.numbers.size());
        if (numbers_ > kMaxArticles)
            throw LawXmlError(QStringLiteral("条が %1 を超えています。法令XMLとして扱えません。")
                                  .arg(kMaxArticles));
        if (const Node* caption = child(n, QStringLiteral("ArticleCaption"))) {
            a.captioned = true;
            a.caption = inlineText(caption);
        }
        articles_ << a;
    }

    void noArticles() {
        if (mainParagraphs_.isEmpty()) return;
        Article a{nullptr, {Number{1}}, textLines(mainParagraphs_),
                  false,   {},          std::max(1, int(mainParagraphs_.size()))};
        report_.add(QStringLiteral("条のない本則を第1条とした"), code_);
        mainParagraphs_.clear();
        if (!a.lines.isEmpty()) articles_ << a;
    }

    static QString wrapped(QString t) {
        if (t.startsWith(u'（') && t.endsWith(u'）')) return t;
        while (t.startsWith(u'（') || t.startsWith(u'(')) t.remove(0, 1);
        while (t.endsWith(u'）') || t.endsWith(u')')) t.chop(1);
        return u'（' + t + u'）';
    }

    void resolveCaptions() {
        if (!mainParagraphs_.isEmpty())
            report_.add(QStringLiteral("本則直下の項を除いた"),
                        QString::number(mainParagraphs_.size()));
        int counted = 0, captioned = 0;
        for (const Article& a : articles_) {
            if (a.lines == QStringList{kDeleted}) continue;
            ++counted;
            captioned += a.captioned;
        }
        const bool usesCaptions = captioned * 10 >= counted * 6;
        QHash<const Node*, QString> last;
        for (Article& a : articles_) {
            const Node* parent = a.node ? a.node->parent : nullptr;
            if (a.captioned && !a.caption.isEmpty()) {
                a.caption = wrapped(a.caption);
                last.insert(parent, a.caption);
            } else if (a.lines == QStringList{kDeleted}) {
                a.caption = kNoCaption;
            } else if (usesCaptions && last.contains(parent)) {
                a.caption = last.value(parent);
                report_.add(QStringLiteral("共通見出しを繰り返した"), label(a.numbers.first()));
            } else {
                a.caption = kNoCaption;
            }
        }
    }

    // Number and branch of a heading: its Num, else its title, else 0 (reported for the
    // heading's own row, not again for each row below it).
    Number headingNumber(const Heading& h, bool report) {
        if (const std::optional<Number> d = digitsNumber(h.node->num)) return *d;
        const QString title = inlineText(childEndingWith(h.node, QStringLiteral("Title")));
        if (const std::optional<Number> t = titleNumber(title, kHeadingKinds[h.level])) return *t;
        if (report) report_.add(QStringLiteral("番号の読めない見出しを0とした"), title);
        return {0};
    }

    // The numbers of the articles written for `n` and below.
    void numbersBelow(const Node* n, QList<Number>& out) const {
        for (const Node* k : n->kids) {
            if (k->tag == QStringLiteral("Article")) {
                if (const auto it = byNode_.find(k); it != byNode_.end())
                    out << articles_[*it].numbers;
            } else if (!k->isText()) {
                numbersBelow(k, out);
            }
        }
    }

    QString tocRow(const Heading& h) {
        // 編, 章, 章 branch, 節, 節 branch, 款, 目.
        int slots[7] = {0, 0, 0, 0, 0, 0, 0};
        const int first[5] = {0, 1, 3, 5, 6};
        for (const Node* n = h.node; n; n = n->parent) {
            const int level = int(kHeadings.indexOf(n->tag));
            if (level < 0) continue;
            const Number num = headingNumber({n, level}, n == h.node);
            slots[first[level]] = std::min(num.value(0), 99);
            const int branch = num.value(1);
            if (level == 1 || level == 2)
                slots[first[level] + 1] = std::min(branch, 99);
            else if (branch > 0 && n == h.node)
                report_.add(QStringLiteral("編・款・目の枝番号を除いた"),
                            inlineText(childEndingWith(n, QStringLiteral("Title"))));
        }
        QString code = code_;
        for (int v : slots) code += two(v);
        if (!codes_.insert(code).second)
            report_.add(QStringLiteral("目次コードが重なった見出しを前の見出しにまとめた"), code);

        // Articles directly under the heading, and whether they stand in one run at its start
        // or end.
        QList<Number> direct;
        int firstSub = -1, lastSub = -1, firstArticle = -1, lastArticle = -1;
        for (int i = 0; i < int(h.node->kids.size()); ++i) {
            const Node* k = h.node->kids[i];
            if (k->tag == QStringLiteral("Article")) {
                if (const auto it = byNode_.find(k); it != byNode_.end())
                    direct << articles_[*it].numbers;
                if (firstArticle < 0) firstArticle = i;
                lastArticle = i;
            } else if (kHeadings.contains(k->tag)) {
                if (firstSub < 0) firstSub = i;
                lastSub = i;
            }
        }
        const bool oneRun = firstSub < 0 || lastArticle < firstSub || firstArticle > lastSub;
        QString soj = QStringLiteral("00000000"), eoj = soj;
        if (!direct.isEmpty() && oneRun) {
            soj = articleCode(direct.first());
            eoj = articleCode(direct.last());
        }
        QList<Number> all;
        numbersBelow(h.node, all);
        QString soj2 = QStringLiteral("00000000"), eoj2 = soj2;
        if (!all.isEmpty()) {
            soj2 = articleCode(all.first());
            eoj2 = articleCode(all.last());
        }
        static const QRegularExpression lead(
            QStringLiteral("^第[〇一二三四五六七八九十百千0-9０-９]+[編章節款目](の["
                           "〇一二三四五六七八九十百千0-9０-９]+)*[ 　]*"));
        QString title = inlineText(childEndingWith(h.node, QStringLiteral("Title")));
        title.remove(lead);
        title.replace(QStringLiteral("&&"), QStringLiteral("＆＆"));
        return QStringList{code, soj, eoj, soj2, eoj2, title}.join(QStringLiteral("&&"));
    }

    // Characters without a CP932 code: the usual stand-ins, else 〓; each counted.
    QString replaceOutside(const QString& text) {
        QStringEncoder whole("windows-31j");
        const QByteArray bytes = whole.encode(text);  // encodes only when converted
        (void)bytes;
        if (!whole.hasError()) return text;
        static const std::map<char32_t, char16_t> standIns{
            {U'塡', u'填'}, {U'剝', u'剥'}, {U'𠮟', u'叱'}, {U'頰', u'頬'},
            {U'〜', u'～'}, {U'−', u'－'},  {U'‖', u'∥'},   {U'—', u'―'},
            {U'¢', u'￠'},  {U'£', u'￡'},  {U'¬', u'￢'}};
        QString out;
        out.reserve(text.size());
        const QChar* at = text.constData();
        for (qsizetype i = 0; i < text.size(); ++i) {
            qsizetype len = 1;
            char32_t code = at[i].unicode();
            if (at[i].isHighSurrogate() && i + 1 < text.size() && at[i + 1].isLowSurrogate()) {
                code = QChar::surrogateToUcs4(at[i], at[i + 1]);
                len = 2;
            }
            if (encodable(code, QStringView(at + i, len))) {
                out.append(at + i, len);
            } else {
                const auto standIn = standIns.find(code);
                const QChar with =
                    standIn != standIns.end() ? QChar(standIn->second) : QChar(0x3013);
                report_.add(QStringLiteral("シフトJISにない文字を置き換えた"),
                            QString(at + i, len) + u'→' + with);
                out += with;
            }
            i += len - 1;
        }
        return out;
    }

    // Whether a character has a CP932 code; each one is asked of the encoder once.
    bool encodable(char32_t code, QStringView ch) {
        if (code < 0x10000 && bmp_[code] != 0) return bmp_[code] == 1;
        if (code >= 0x10000)
            if (const auto it = encodable_.find(code); it != encodable_.end()) return *it;
        QStringEncoder one("windows-31j");
        const QByteArray bytes = one.encode(ch);
        (void)bytes;
        const bool ok = !one.hasError();
        if (code < 0x10000)
            bmp_[code] = ok ? 1 : 2;
        else
            encodable_.insert(code, ok);
        return ok;
    }

    const Document& doc_;
    QString code_;
    Report& report_;
    QList<Article> articles_;
    QList<const Node*> mainParagraphs_;
    QList<Heading> headings_;
    bool sawArticle_ = false;         // an Article element, converted or not
    int numbers_ = 0;                 // article numbers written so far
    QHash<const Node*, int> byNode_;  // an article element's entry in articles_
    std::set<QString> codes_;
    std::vector<quint8> bmp_ = std::vector<quint8>(0x10000, 0);  // 0 not asked, 1 yes, 2 no
    QHash<char32_t, bool> encodable_;                            // outside the BMP
};

}  // namespace

QString LawXml::summary() const {
    return QStringLiteral("%1 %2: articles=%3 (削除 %4) paragraphs=%5 toc_rows=%6")
        .arg(code, name)
        .arg(articles)
        .arg(deleted)
        .arg(paragraphs)
        .arg(toc.size());
}

LawXml convertLawXml(const QByteArray& xml, const QString& typedCode) {
    const QString code = typedCode.toUpper();
    if (!store::isValidLawCode(code))
        throw LawXmlError(QStringLiteral("法典コード「%1」は使えません。英字1字と1字の2文字です。")
                              .arg(typedCode));
    Report report;
    Document doc;
    Reader reader(doc, report);
    reader.read(xml);
    LawXml law;
    law.code = code;
    law.otherParts = reader.others();
    Converter converter(doc, code, report);
    const LawXmlHead head = lawXmlHead(xml);
    if (const QString name = lawNameFor(head); name != head.title) {
        converter.shortName = name;
        report.add(QStringLiteral("題名が長いため法典名称を短くした"), head.title.left(40));
    }
    converter.run(law);
    QHash<QString, int> counted;
    for (const auto& [tag, bytes] : reader.parts()) {
        store::LawPart part = readLawPart(tag, bytes, ++counted[tag]);
        part.text = converter.shownText(part.text);
        part.label = converter.shownText(part.label);
        law.parts << part;
    }
    law.kana = head.kana;
    law.abbrev = head.abbrev;
    law.lawNum = head.lawNum.trimmed();
    law.promulgated = head.promulgated;
    law.amendedBy = head.amendedBy;
    QString why;
    if (!store::isValidLawName(law.name, &why))
        throw LawXmlError(QStringLiteral("法典名称「%1」は使えません。%2").arg(law.name, why));
    law.report = report.items();
    return law;
}

QString shortLawName(const QString& title, const QString& abbrev, const QString& lawNum) {
    auto fits = [](const QString& name) {
        return !name.isEmpty() &&
               (name + store::kLawDbSuffix).toUtf8().size() <= store::kMaxFileNameBytes;
    };
    // Several abbreviations are separated by commas: the first is the usual one.
    const QString first = abbrev.section(u',', 0, 0).trimmed();
    if (fits(first) && store::isValidLawName(first)) return first;
    const QString ellipsis = QStringLiteral("…");
    QString name = lawNum + title;
    if (fits(name)) return name;
    // As much of the title as fits, never half a character outside the basic plane.
    qsizetype keep = title.size();
    while (keep > 0 && !fits(lawNum + title.left(keep) + ellipsis)) --keep;
    if (keep > 0 && title[keep - 1].isHighSurrogate()) --keep;
    return lawNum + title.left(keep) + ellipsis;
}

QString lawNameFor(const LawXmlHead& head) {
    if ((head.title + store::kLawDbSuffix).toUtf8().size() <= store::kMaxFileNameBytes)
        return head.title;
    return shortLawName(head.title, head.abbrev, head.lawNum);
}

namespace {
LawXmlHead readHead(const QByteArray& xml);
}

static LawXmlHead titleHead(const QByteArray& xml) {
    // The head is near the start: a reader over the first bytes does not take in the rest.
    constexpr qsizetype kHeadBytes = 16 * 1024;
    if (xml.size() > kHeadBytes) {
        const LawXmlHead head = readHead(xml.left(kHeadBytes));
        if (!head.title.isEmpty()) return head;
    }
    return readHead(xml);
}

LawXmlHead lawXmlHead(const QByteArray& xml) {
    LawXmlHead head = titleHead(xml);
    // Amendments are listed last, each supplementary provision naming its amending law.
    const QByteArray attr = "AmendLawNum=\"";
    const qsizetype at = xml.lastIndexOf(attr);
    if (at >= 0) {
        const qsizetype from = at + attr.size();
        const qsizetype end = xml.indexOf('"', from);
        if (end > from && end - from < 200)
            head.amendedBy = QString::fromUtf8(xml.mid(from, end - from)).trimmed();
    }
    return head;
}

namespace {
// The western date of an era's year, month and day; empty when any is missing.
QString promulgationDate(const QXmlStreamAttributes& a) {
    static const QHash<QString, int> eras{{QStringLiteral("Meiji"), 1868},
                                          {QStringLiteral("Taisho"), 1912},
                                          {QStringLiteral("Showa"), 1926},
                                          {QStringLiteral("Heisei"), 1989},
                                          {QStringLiteral("Reiwa"), 2019}};
    const int base = eras.value(a.value(QStringLiteral("Era")).toString());
    const int year = a.value(QStringLiteral("Year")).toInt();
    const int month = a.value(QStringLiteral("PromulgateMonth")).toInt();
    const int day = a.value(QStringLiteral("PromulgateDay")).toInt();
    const QDate date(base + year - 1, month, day);
    return base && year > 0 && date.isValid() ? date.toString(Qt::ISODate) : QString();
}

LawXmlHead readHead(const QByteArray& xml) {
    QXmlStreamReader r(xml);
    int inTitle = 0, inRt = 0, inNum = 0;
    LawXmlHead head;
    QString title;
    while (!r.atEnd()) {
        const QXmlStreamReader::TokenType t = r.readNext();
        if (t == QXmlStreamReader::StartElement) {
            if (r.name() == QStringLiteral("LawNum")) ++inNum;
            if (r.name() == QStringLiteral("Law"))
                head.promulgated = promulgationDate(r.attributes());
            if (r.name() == QStringLiteral("LawTitle")) {
                ++inTitle;
                head.kana = r.attributes().value(QStringLiteral("Kana")).toString();
                head.abbrev = r.attributes().value(QStringLiteral("Abbrev")).toString();
            }
            if (inTitle && r.name() == QStringLiteral("Rt")) ++inRt;
        } else if (t == QXmlStreamReader::EndElement) {
            if (r.name() == QStringLiteral("LawNum")) --inNum;
            if (inTitle && r.name() == QStringLiteral("Rt")) --inRt;
            if (r.name() == QStringLiteral("LawTitle")) {
                head.title = cleaned(title);
                return head;
            }
        } else if (t == QXmlStreamReader::Characters) {
            if (inTitle && !inRt) title += r.text();
            if (inNum) head.lawNum += r.text();
        }
    }
    return head;
}
}  // namespace

QString lawXmlName(const QByteArray& xml) {
    return lawXmlHead(xml).title;
}

LawXml convertLawXmlFile(const QString& path, const QString& code) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw LawXmlError(
            QStringLiteral("ファイル %1 を開けません。(%2)").arg(path, f.errorString()));
    return convertLawXml(f.readAll(), code);
}

QString htText(const QList<LawXml>& laws) {
    QStringList lines;
    for (int i = 0; i < laws.size(); ++i)
        lines << QStringLiteral("%1 %2 %3").arg(i + 1).arg(laws[i].code, laws[i].name);
    return lines.join(kCrLf);
}

QString idxText(const QList<LawXml>& laws) {
    QString codes = QStringLiteral("CODES");
    QStringList lines;
    for (const LawXml& law : laws) {
        codes += u' ' + law.code;
        lines << law.toc;
    }
    lines.prepend(codes);
    return lines.join(kCrLf);
}

QStringList reportLines(const LawXml& law) {
    QStringList out;
    for (const XmlRepair& r : law.report)
        out << QStringLiteral("%1 %2: %3件").arg(law.code, r.kind).arg(r.count) +
                   (r.examples.isEmpty()
                        ? QString()
                        : QStringLiteral(" (") + r.examples.join(QStringLiteral("、")) + u')');
    return out;
}

}  // namespace exchange
