#pragma once
// Defined terms (定義語): the words a law defines and where they hold, found in its text —
// 「X」とは、…をいう; …（以下「X」という。）and its kin (以下この章において, 以下単に, と総称する);
// …を「X」という; and the items of a 定義 article's list (一　X　…をいう。).
#include <QList>
#include <QString>

namespace store {
class Database;
}

namespace viewer {

struct DefinedTerm {
    QString term;
    QString code;  // the defining paragraph's 条項コード
    // The scope as the statute writes it, without 以下 before it and において / に after it
    // (この章, この条, 同項, 次条から第五条まで, この号); empty when the whole law.
    QString scope;
    int start = 0;  // where the term is written in the paragraph's text (UTF-16)
    int form = 0;   // 1 とは, 2 以下…という, 3 という, 4 a 定義 article's item
};

// A law's terms and the headings their scopes name: which terms hold in which paragraph.
class LawTerms {
  public:
    LawTerms() = default;
    // Every definition of the law's main provision and its table of contents.
    explicit LawTerms(store::Database& db);
    const QList<DefinedTerm>& terms() const { return terms_; }
    // Whether `term` holds in the paragraph `code`: the whole law; この条, この項; the 編, 章,
    // 節, 款 or 目 of its definition (この章 …); any other scope the defining article only.
    bool holds(const DefinedTerm& term, const QString& code) const;
    // The uses of the terms holding in paragraph `code` of its record's `text` (UTF-16
    // places), a longer term first where two overlap; the definition's own words are no use,
    // nor a term within a longer word (kanji before or after it).
    struct Use {
        int start = 0, length = 0;
        int term = 0;  // in terms()
    };
    QList<Use> uses(const QString& code, const QString& text) const;

  private:
    QList<DefinedTerm> terms_;
    struct Heading {
        int level = 0;        // 0 編, 1 章, 2 節, 3 款, 4 目
        QString first, last;  // the articles it spans (NNNNBBCC)
    };
    QList<Heading> headings_;
};

// The definitions in one paragraph's text (the record's, items on their lines).
QList<DefinedTerm> findDefinitions(const QString& code, const QString& text);
// Every definition of a law's main provision, in the order of its records.
QList<DefinedTerm> lawDefinitions(store::Database& db);

}  // namespace viewer
