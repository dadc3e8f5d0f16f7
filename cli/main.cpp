// lexctl: the operations of the programs from a terminal, over the same functions.
#include "exchange/export.h"
#include "exchange/firststart.h"
#include "exchange/idximport.h"
#include "exchange/lawapi.h"
#include "exchange/lawcode.h"
#include "exchange/lawsource.h"
#include "exchange/lawxml.h"
#include "maint/bulkimport.h"
#include "maint/lawdiff.h"
#include "maint/lawfetch.h"
#include "maint/lawimport.h"
#include "platform/prompt.h"
#include "platform/settings.h"
#include "platform/textfile.h"
#include "platform/vb.h"
#include "store/codes.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "store/notation.h"
#include "store/versions.h"
#include "viewer/browser/citedby.h"
#include "viewer/browser/display.h"
#include "viewer/browser/lawtree.h"
#include "viewer/browser/refs.h"
#include "viewer/browser/terms.h"
#include "viewer/marks/anchor.h"
#include "viewer/marks/listing.h"
#include "viewer/marks/userdata.h"
#include "viewer/print/pdf.h"
#include "viewer/shell/lookup.h"
#include "viewer/shell/search.h"
#include "viewer/shell/searchindex.h"
#include "viewer/tools/checkdata.h"
#include "viewer/tools/expand.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QLoggingCategory>
#include <QStringList>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>

namespace {

void out(const QString& s) {
    std::fputs((s + u'\n').toUtf8().constData(), stdout);
}
void err(const QString& s) {
    std::fputs((s + u'\n').toUtf8().constData(), stderr);
}

struct Options {
    QString root, programDir;
    bool help = false;
    bool verbose = false;
    bool noHeadings = false, noParagraphs = false;
    bool flat = false;
    bool article = false;  // show: the whole article
    bool m0 = false;
    QString mode;         // expand: full, captions, headings
    bool ranges = false;  // expand: each heading's article range
    QString length;       // check: --length N
    bool emptyLines = false;
    QString string;  // check: --string S
    bool stringGiven = false;
    QString outDir;         // xml2text: -o DIR
    QString from;           // import-xml --from PATH: a folder or zip of law XML
    QString match;          // import-xml --match WORDS
    QString list;           // import-xml --list FILE of law ids
    QString api;            // the law API's address
    QString code;           // fetch --code XX
    bool all = false;       // fetch --all
    bool allParts = false;  // search --all-parts
    int fold = 0;           // search --fold 1, --loose 2
    bool scan = false;      // search --scan
    QString to;             // diff --to VERSION (diff --from VERSION shares `from`)
    QString remove;         // versions --remove VERSION
    QString colour;         // mark add --colour N
    QString note;           // mark add --note TEXT
    bool marks = false;     // pdf --marks: the reader's markers and notes too
    bool table = false;     // diff --table: the amendment table as text
    QString revision;       // fetch --revision ID: that revision kept as a version
    QString version;        // tree, show --version ID: a kept version read
    QString asof;           // fetch --asof YYYY-MM-DD: the revision of that date
    QStringList args;
};

const char* kUsage =
    "usage: lexctl [--root DIR] [--program-dir DIR] COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  init    first-start initialisation of the data root: law list from ht.dat,\n"
    "          missing law databases, tables of contents from idx.dat\n"
    "  laws    the law list in 番号 order: 番号, code and name\n"
    "  import FILE [--no-headings] [--no-paragraphs]\n"
    "          imports a law text file (CP932): the law's entry in the list, one heading\n"
    "          record and one record per paragraph for every article\n"
    "  import-idx FILE\n"
    "          replaces the tables of contents of the laws named in an idx.dat file\n"
    "  tree CODE [--flat] [--version ID]\n"
    "          the law's tree as the browser builds it (table of contents, or --flat the\n"
    "          article tree): one line per node, depth TAB key TAB text; --version reads\n"
    "          a kept version (lexctl versions) as a browser on it does\n"
    "  show NOTATION [--article] [--version ID]\n"
    "          what the browser's text pane shows for the node of a short number such as\n"
    "          KP3-2:1 (table-of-contents tree); also 民法415, ＭＰ４１５：２, MP第415条第2項,\n"
    "          MP四百十五; --article adds every paragraph of an article\n"
    "  search [--all-parts] [--fold|--loose] [--scan] WORDS...\n"
    "          the word search over every law: the result text, summary line first;\n"
    "          --all-parts searches each law's 附則, 別表 … too; --fold takes variant forms\n"
    "          as one (表記ゆれを同一視: widths, ～〜, －−‐, old kanji to new), --loose\n"
    "          small kana as large too; --scan reads every law instead of the index\n"
    "  make-idx\n"
    "          writes idx.dat (every law's table of contents) into the program folder\n"
    "  make-ht\n"
    "          writes ht.dat (the law list) into the program folder\n"
    "  make-each CODE [--m0]\n"
    "          writes the law as OUT/CODE.txt under the data root; --m0 leaves the caption\n"
    "          brackets empty\n"
    "  make-all [--m0]\n"
    "          the same for every law of the list\n"
    "  make-number CODE\n"
    "          the law's articles with a digest of each paragraph\n"
    "  expand CODE [--mode full|captions|headings] [--ranges] [--all-parts]\n"
    "          the whole law as one text along its table of contents: the full text\n"
    "          (default), the headings with every article's heading, or the headings\n"
    "          alone; --ranges adds each heading's article range; --all-parts adds\n"
    "          the 前文 after the title and the 附則, 別表 … after the main provision\n"
    "  xml2text [-o DIR] CODE=FILE...\n"
    "          converts law XML files (法令標準XML) into DIR/CODE.txt (the law text import\n"
    "          format), DIR/idx.dat and DIR/ht.dat; a summary line per law on standard\n"
    "          output, the repairs made on standard error\n"
    "  import-xml [CODE=]FILE...\n"
    "          converts law XML files and imports each as its text file would be\n"
    "          imported, then replaces the law's table of contents by the converted rows;\n"
    "          without CODE= the code comes from the law's reading (KO for こっかばいしょうほう),\n"
    "          never one listed, and a law listed under the same name keeps its code\n"
    "  import-xml --from PATH [--match WORDS] [--list FILE]\n"
    "          every law XML in a folder or the government's bulk download zip (or those\n"
    "          whose title holds every word, or whose law id is a line of FILE), each under\n"
    "          a code from its reading; a line per law, then what was imported and skipped\n"
    "  fetch CODE --revision ID | --asof YYYY-MM-DD\n"
    "          keeps that revision of a listed law (one of lexctl revisions, or the one in\n"
    "          force on the date) as a version, its XML under XML/<ID>.xml; the current\n"
    "          records stay as they are\n"
    "  fetch TITLE-OR-LAW-ID [--code XX] [--all]\n"
    "          asks the government's law API for the laws whose title holds the words and\n"
    "          lists them (title TAB law number TAB law id); the only one, the one whose\n"
    "          title equals the words, a law id given, or with --all every one listed, is\n"
    "          downloaded, kept as XML/<law id>.xml under the data root and imported as\n"
    "          import-xml does, under --code or the code its law id or reading keeps\n"
    "  revisions CODE [--api URL]\n"
    "          the law's revisions from the law API, newest first: law_revision_id TAB\n"
    "          enforcement date TAB the amending law's number TAB status (施行中, 未施行,\n"
    "          過去) TAB kept (when the current records or a kept version hold it)\n"
    "  history NOTATION\n"
    "          the article's history over the kept versions and the current records, newest\n"
    "          first: one line per version in which it changed: version TAB its date TAB the\n"
    "          amending law TAB the mark (+ - ~ x >), and TAB 表記のみ for notation alone\n"
    "  versions CODE [--remove VERSION]\n"
    "          the law's kept versions, oldest first: version, imported at, the source's\n"
    "          date, records, size; then the total size; --remove deletes one\n"
    "  diff CODE [--from VERSION] [--to VERSION] [--table]\n"
    "          what changed between two versions (default: the newest kept version and\n"
    "          the current records; 'current' names the current records): one line per\n"
    "          article, + added, - removed, ~ changed, x became 削除, > moved (old TAB new);\n"
    "          under ~ one line per changed paragraph, its text with 【+added+】 and\n"
    "          【-removed-】 runs; then the parts' changes (+, -, ~ and the part's label,\n"
    "          under ~ its changed lines as label:line); then the table of contents' changes;\n"
    "          --table: the amendment table as text instead, a row per changed article: its\n"
    "          label, then 改正後 and 改正前 with every paragraph, changed words marked\n"
    "  parts CODE\n"
    "          the law's parts besides its main provision, in the document's order: kind\n"
    "          (前文, 附則, 別表, 別記, 様式, 書式, 別図, 付録) TAB number within the kind TAB "
    "label\n"
    "  part CODE KIND N\n"
    "          the whole text of one part as the browser shows it (a table one line per\n"
    "          row, cells separated by TAB)\n"
    "  refs NOTATION\n"
    "          the references in the paragraph of a short number (every paragraph of an\n"
    "          article): paragraph TAB first character (code points from 0) TAB length TAB\n"
    "          target (MP709, MP415:2, MP10~MP12; ? a law not listed; ! not in the law)\n"
    "  cited-by NOTATION\n"
    "          the references to an article or paragraph from every listed law (参照元):\n"
    "          the citing paragraph's short number (a part's entry: its node key) TAB first\n"
    "          character TAB length TAB the target as refs prints it; the index is brought\n"
    "          up to date first\n"
    "  reindex\n"
    "          reads every listed law into the reference index and the search index again\n"
    "  terms CODE\n"
    "          the terms the law defines (定義語): term TAB the defining paragraph's short\n"
    "          number TAB the scope as written (この章, 前項 …; empty for the whole law)\n"
    "  mark add NOTATION START LENGTH [--colour 0-6] [--note TEXT]\n"
    "          marks LENGTH characters of a paragraph from START (code points from 0, as refs\n"
    "          counts them) in colour 1-6 (0 an underline; default 1); prints its id\n"
    "  mark list [CODE]\n"
    "          every marker (of one law), found again in the law's text as it is now: id\n"
    "          TAB paragraph TAB start TAB length TAB colour TAB state (ok, moved, lost) TAB\n"
    "          the marked text TAB the note\n"
    "  mark remove ID | mark export FILE | mark import FILE\n"
    "          removes a marker; writes every marker and bookmark as one JSON file; adds\n"
    "          those of such a file that are not here yet\n"
    "  pdf NOTATION|CODE -o FILE.pdf [--marks]\n"
    "          a PDF of an article (whole), a paragraph or a part as the browser shows it,\n"
    "          or of a whole law (its code or name) with its parts: title, headings, page\n"
    "          numbers; --marks draws the reader's markers, each note after its run\n"
    "  bookmark add NOTATION [TITLE] | bookmark list | bookmark remove ID\n"
    "          bookmarks: an article, paragraph or part; list: id TAB law TAB place TAB title\n"
    "  check --length N | --empty-lines | --string S\n"
    "          lists the records of every law whose text is longer than N characters,\n"
    "          holds an empty line, or holds S (\\n in S stands for a line break): one\n"
    "          line per hit, code TAB length and last 50 characters; changes nothing\n"
    "\n"
    "options (before or after the command's arguments):\n"
    "  --root DIR          data root (default: setting ROOT, else the program folder)\n"
    "  --program-dir DIR   program folder with ht.dat and idx.dat (default: setting PATH,\n"
    "                      else the folder of lexctl)\n"
    "  --api URL           the law API's address (default: setting API, else\n"
    "                      https://laws.e-gov.go.jp/api/2)\n"
    "  --verbose           the SQL run, the databases opened and the time each import took,\n"
    "                      on standard error\n"
    "  --help              this text\n"
    "\n"
    "exit status: 0 when everything asked was done; 1 when something was refused or a\n"
    "block, line or law was skipped (the reason on standard error); 2 for a usage error\n";

bool parse(const QStringList& argv, Options* o, QString* error) {
    for (int i = 1; i < argv.size(); ++i) {
        const QString& a = argv[i];
        auto value = [&](QString* target) {
            if (i + 1 >= argv.size()) {
                *error = a + QStringLiteral(" needs a value");
                return false;
            }
            *target = argv[++i];
            return true;
        };
        if (a == QStringLiteral("--root")) {
            if (!value(&o->root)) return false;
        } else if (a.startsWith(QStringLiteral("--root="))) {
            o->root = a.mid(7);
        } else if (a == QStringLiteral("--program-dir")) {
            if (!value(&o->programDir)) return false;
        } else if (a.startsWith(QStringLiteral("--program-dir="))) {
            o->programDir = a.mid(14);
        } else if (a == QStringLiteral("--no-headings")) {
            o->noHeadings = true;
        } else if (a == QStringLiteral("--no-paragraphs")) {
            o->noParagraphs = true;
        } else if (a == QStringLiteral("--m0")) {
            o->m0 = true;
        } else if (a == QStringLiteral("--mode")) {
            if (!value(&o->mode)) return false;
        } else if (a == QStringLiteral("-o") || a == QStringLiteral("--out")) {
            if (!value(&o->outDir)) return false;
        } else if (a == QStringLiteral("--from")) {
            if (!value(&o->from)) return false;
        } else if (a == QStringLiteral("--match")) {
            if (!value(&o->match)) return false;
        } else if (a == QStringLiteral("--list")) {
            if (!value(&o->list)) return false;
        } else if (a == QStringLiteral("--api")) {
            if (!value(&o->api)) return false;
        } else if (a == QStringLiteral("--code")) {
            if (!value(&o->code)) return false;
        } else if (a == QStringLiteral("--to")) {
            if (!value(&o->to)) return false;
        } else if (a == QStringLiteral("--remove")) {
            if (!value(&o->remove)) return false;
        } else if (a == QStringLiteral("--colour")) {
            if (!value(&o->colour)) return false;
        } else if (a == QStringLiteral("--note")) {
            if (!value(&o->note)) return false;
        } else if (a == QStringLiteral("--all")) {
            o->all = true;
        } else if (a == QStringLiteral("--revision")) {
            if (!value(&o->revision)) return false;
        } else if (a == QStringLiteral("--asof")) {
            if (!value(&o->asof)) return false;
        } else if (a == QStringLiteral("--version")) {
            if (!value(&o->version)) return false;
        } else if (a == QStringLiteral("--table")) {
            o->table = true;
        } else if (a == QStringLiteral("--marks")) {
            o->marks = true;
        } else if (a == QStringLiteral("--all-parts")) {
            o->allParts = true;
        } else if (a == QStringLiteral("--fold")) {
            o->fold = std::max(o->fold, 1);
        } else if (a == QStringLiteral("--loose")) {
            o->fold = 2;
        } else if (a == QStringLiteral("--scan")) {
            o->scan = true;
        } else if (a == QStringLiteral("--ranges")) {
            o->ranges = true;
        } else if (a == QStringLiteral("--length")) {
            if (!value(&o->length)) return false;
        } else if (a == QStringLiteral("--empty-lines")) {
            o->emptyLines = true;
        } else if (a == QStringLiteral("--string")) {
            if (!value(&o->string)) return false;
            o->stringGiven = true;
        } else if (a == QStringLiteral("--article")) {
            o->article = true;
        } else if (a == QStringLiteral("--flat")) {
            o->flat = true;
        } else if (a == QStringLiteral("--verbose") || a == QStringLiteral("-v")) {
            o->verbose = true;
        } else if (a == QStringLiteral("--help") || a == QStringLiteral("-h")) {
            o->help = true;
        } else if (a.startsWith(QStringLiteral("--"))) {
            *error = QStringLiteral("unknown option ") + a;
            return false;
        } else {
            o->args << a;
        }
    }
    return true;
}

// Folders as the viewer derives them, with the command line taking precedence.
void applyFolders(const Options& o, platform::Settings& settings) {
    QString program = o.programDir;
    if (program.isEmpty()) program = settings.get(QStringLiteral("PATH"));
    if (program.isEmpty()) program = QCoreApplication::applicationDirPath();
    QString root = o.root;
    if (root.isEmpty() && o.programDir.isEmpty()) root = settings.get(QStringLiteral("ROOT"));
    // An installed lexctl without settings uses the data root the installed viewer makes.
    if (root.isEmpty()) root = exchange::defaultDataRoot(program);
    store::setFolders(QDir(program).absolutePath(),
                      root.isEmpty() ? QString() : QDir(root).absolutePath());
}

class ConsoleProgress : public exchange::IdxProgress {
  public:
    void label(const QString&) override {}
};

int cmdInit(const Options& o, platform::Settings& settings) {
    const store::Folders& f = store::folders();
    out(QStringLiteral("program folder: ") + f.program);
    out(QStringLiteral("data root:      ") + f.root);
    ConsoleProgress progress;
    const exchange::FirstStartResult r = exchange::runFirstStart(&progress);
    if (r.ht.fileFound)
        out(QStringLiteral("ht.dat:  %1 laws added, %2 lines skipped")
                .arg(r.ht.added)
                .arg(r.ht.skipped.size()));
    else
        out(QStringLiteral("ht.dat:  not found in the program folder; law list unchanged"));
    out(QStringLiteral("databases created: %1%2")
            .arg(r.created.size())
            .arg(r.created.isEmpty()
                     ? QString()
                     : QStringLiteral(" (") + r.created.join(QStringLiteral(", ")) + u')'));
    if (r.idx.fileFound)
        out(QStringLiteral(
                "idx.dat: %1 tables of contents replaced (%2), %3 rows added, %4 lines skipped")
                .arg(r.idx.codes.size())
                .arg(r.idx.codes.join(u' '))
                .arg(r.idx.added)
                .arg(r.idx.skipped.size()));
    else
        out(QStringLiteral("idx.dat: not found in the program folder; nothing imported"));
    // The viewer's own settings say the initialisation ran only when it ran on their folders.
    if (o.root.isEmpty() && o.programDir.isEmpty())
        settings.save(QStringLiteral("INIT"), QStringLiteral("TRUE"));
    return r.ht.skipped.isEmpty() && r.idx.skipped.isEmpty() ? 0 : 1;
}

int cmdLaws(const Options&, platform::Settings&) {
    for (const store::LawEntry& law : store::readLawList())
        out(QStringLiteral("%1 %2 %3").arg(law.number).arg(law.code, law.name));
    return 0;
}

int cmdImport(const Options& o, platform::Settings&) {
    const QString file = o.args.value(1);
    maint::ImportOptions options;
    options.headings = !o.noHeadings;
    options.paragraphs = !o.noParagraphs;
    maint::LawTextImporter importer;
    const maint::ImportResult r = importer.run(maint::readLawTextFile(file), options);
    out(QStringLiteral("%1 %2: %3 articles, %4 records written, %5 blocks skipped%6%7")
            .arg(r.lawCode, r.lawName)
            .arg(r.articles)
            .arg(r.records)
            .arg(r.skipped.size())
            .arg(r.removed > 0
                     ? QStringLiteral(", %1 records of the earlier text removed").arg(r.removed)
                     : QString())
            .arg(r.stopped ? QStringLiteral(", stopped at a malformed number line") : QString()));
    return r.stopped || !r.skipped.isEmpty() ? 1 : 0;
}

int cmdImportIdx(const Options& o, platform::Settings&) {
    const QString file = o.args.value(1);
    if (!QFileInfo(file).isFile()) {
        err(QStringLiteral("lexctl import-idx: no file ") + file);
        return 1;
    }
    ConsoleProgress progress;
    const exchange::IdxImportResult r = exchange::ImportIdxFile(file, &progress);
    if (!r.refusal.isEmpty()) return 1;  // the reason is on standard error already
    out(QStringLiteral("%1 tables of contents replaced (%2), %3 rows added, %4 lines skipped")
            .arg(r.codes.size())
            .arg(r.codes.join(u' '))
            .arg(r.added)
            .arg(r.skipped.size()));
    return r.skipped.isEmpty() ? 0 : 1;
}

// Texts keep CR LF inside; a terminal gets LF.
QString forTerminal(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

// The tree, or an error when the law cannot be shown; problems go to standard error.
bool lawTree(const QString& code, int mode, viewer::LawTree* tree, const QString& command,
             const QString& version = {}) {
    if (!version.isEmpty() && store::GetHoutenName(code).isEmpty()) {
        err(QStringLiteral("lexctl %1: %2: 未登録コードです。").arg(command, code));
        return false;
    }
    *tree = viewer::buildLawTree(code, mode, version);
    if (tree->name.isEmpty()) {
        err(QStringLiteral("lexctl %1: %2: 未登録コードです。").arg(command, code));
        return false;
    }
    if (!tree->problems.isEmpty()) err(viewer::treeProblemsMessage(*tree));
    return true;
}

int cmdTree(const Options& o, platform::Settings&) {
    viewer::LawTree tree;
    if (!lawTree(o.args.value(1), o.flat ? 0 : 1, &tree, QStringLiteral("tree"), o.version))
        return 1;
    const QList<int> depths = viewer::nodeDepths(tree);
    QString text;
    for (int i = 0; i < tree.nodes.size(); ++i) {
        text += QStringLiteral("%1\t%2\t%3\n")
                    .arg(depths[i])
                    .arg(tree.nodes[i].key, platform::oneLine(tree.nodes[i].text));
    }
    std::fputs(text.toUtf8().constData(), stdout);
    return tree.problems.isEmpty() ? 0 : 1;
}

int cmdShow(const Options& o, platform::Settings&) {
    const viewer::LookupTarget target = viewer::resolveLookup(o.args.value(1));
    if (!target.error.isEmpty()) {
        err(target.error);
        return 1;
    }
    viewer::LawTree tree;
    if (!lawTree(target.lawCode, 1, &tree, QStringLiteral("show"), o.version)) return 1;
    const std::optional<QString> text = viewer::nodeShownText(tree, target.code, o.article);
    if (!text) {
        err(QStringLiteral("%1: %2の木に%3はありません")
                .arg(target.shown, target.lawName, store::GetJouKouText(target.code)));
        return 1;
    }
    out(forTerminal(*text));
    return 0;
}

int cmdSearch(const Options& o, platform::Settings&) {
    QStringList names;
    for (const store::LawEntry& law : store::readLawList()) names << law.name;
    viewer::SearchOptions options;
    options.parts = o.allParts;
    options.fold = store::Fold(o.fold);
    options.useIndex = !o.scan;
    const viewer::SearchResult r =
        viewer::searchAllLaws(names, o.args.mid(1).join(u' '), nullptr, options);
    if (r.refused) return 1;
    std::fputs(forTerminal(r.text).toUtf8().constData(), stdout);
    for (const QString& law : r.missing) err(QStringLiteral("skipped: %1: no database").arg(law));
    for (const QString& law : r.failed)
        err(QStringLiteral("skipped: %1: the database cannot be read").arg(law));
    return r.missing.isEmpty() && r.failed.isEmpty() ? 0 : 1;
}

void printWritten(const exchange::ExportResult& r) {
    for (const QString& path : r.written) out(QStringLiteral("written: ") + path);
}

int cmdMakeIdx(const Options&, platform::Settings&) {
    const exchange::ExportResult r = exchange::WriteIdxFile();
    printWritten(r);
    return r.skipped.isEmpty() ? 0 : 1;
}

int cmdMakeHt(const Options&, platform::Settings&) {
    printWritten(exchange::WriteHtFile());
    return 0;
}

// The same command line the browser's text pane takes.
QString makeCommand(const QString& word, const Options& o) {
    return QStringLiteral("make ") + word + (o.m0 ? QStringLiteral("/m0") : QString());
}

int cmdMakeEach(const Options& o, platform::Settings&) {
    printWritten(exchange::MakeHoutenText(o.args.value(1), makeCommand(QStringLiteral("each"), o)));
    return 0;
}

int cmdMakeAll(const Options& o, platform::Settings&) {
    const exchange::ExportResult r =
        exchange::MakeHoutenText(QString(), makeCommand(QStringLiteral("all"), o));
    printWritten(r);
    return r.skipped.isEmpty() ? 0 : 1;
}

int cmdMakeNumber(const Options& o, platform::Settings&) {
    out(forTerminal(exchange::MakeNumberList(o.args.value(1))));
    return 0;
}

int cmdExpand(const Options& o, platform::Settings&) {
    const std::map<QString, viewer::ExpandMode> modes{
        {QStringLiteral("full"), viewer::ExpandMode::Full},
        {QStringLiteral("captions"), viewer::ExpandMode::AllHeadings},
        {QStringLiteral("headings"), viewer::ExpandMode::TocHeadings}};
    const QString mode = o.mode.isEmpty() ? QStringLiteral("full") : o.mode;
    if (!modes.contains(mode)) {
        err(QStringLiteral("lexctl expand: --mode is full, captions or headings"));
        return 2;
    }
    const QString text =
        viewer::GetExpandedTextALL(o.args.value(1), modes.at(mode), o.ranges, {}, o.allParts);
    std::fputs((forTerminal(text) + u'\n').toUtf8().constData(), stdout);
    return 0;
}

int cmdCheck(const Options& o, platform::Settings&) {
    if (int(!o.length.isEmpty()) + int(o.emptyLines) + int(o.stringGiven) != 1) {
        err(QStringLiteral("lexctl check: one of --length N, --empty-lines, --string S"));
        return 2;
    }
    viewer::CheckMode mode = viewer::CheckMode::String;
    if (!o.length.isEmpty()) mode = viewer::CheckMode::Length;
    if (o.emptyLines) mode = viewer::CheckMode::EmptyLine;
    QString str = o.string;
    str.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
    if (mode == viewer::CheckMode::String && str == viewer::kCorrectWord) {
        // The window repairs on this word; the command line only lists.
        err(QStringLiteral("lexctl check: never corrects; %1 is not searched for")
                .arg(viewer::kCorrectWord));
        return 2;
    }
    viewer::CheckRun run;
    QString listing;
    run.onHit = [&](const QString& code, const QString& summary) {
        listing += code + u'\t' + platform::oneLine(summary) + u'\n';
    };
    viewer::runDataCheck(mode, o.length, str, run);
    std::fputs(listing.toUtf8().constData(), stdout);
    out(QStringLiteral("%1 hits").arg(run.hits));
    for (const QString& law : run.skipped) err(QStringLiteral("skipped: ") + law);
    return run.skipped.isEmpty() ? 0 : 1;
}

// CODE=FILE arguments, converted in their order; the first that fails stops all. For an
// import a bare FILE gets the code the reading proposes (never one listed or chosen before).
bool convertAll(const Options& o, const QString& command, QList<exchange::LawXml>* laws) {
    QList<store::LawEntry> known;
    QHash<QString, store::LawEntry> byId;
    if (command == QStringLiteral("import-xml")) {
        known = store::readLawList();
        byId = maint::listedLawIds();
    }
    for (const QString& a : o.args.mid(1)) {
        const qsizetype eq = a.indexOf(u'=');
        QString code = eq < 0 ? QString() : a.left(eq);
        const QString file = eq < 0 ? a : a.mid(eq + 1);
        // A file named by its law id (as the bulk download and fetch keep them) is that law.
        const maint::XmlFileFacts facts = maint::xmlFileFacts(file);
        const QString& lawId = facts.lawId;
        if (eq < 0 && command != QStringLiteral("import-xml")) {
            err(QStringLiteral("lexctl %1: %2: give CODE=FILE").arg(command, a));
            return false;
        }
        if (eq < 0) {
            QFile f(file);
            if (!f.open(QIODevice::ReadOnly)) {
                err(QStringLiteral("lexctl %1: %2: %3").arg(command, file, f.errorString()));
                return false;
            }
            const exchange::LawXmlHead head = exchange::lawXmlHead(f.readAll());
            code = maint::codeForLaw(exchange::lawNameFor(head), head.kana, lawId, known, byId,
                                     head.abbrev);
            if (code.isEmpty()) {
                err(QStringLiteral("lexctl %1: %2: 使える法典コードが残っていません")
                        .arg(command, file));
                return false;
            }
            out(QStringLiteral("code %1 for %2 (%3)").arg(code, head.title, head.kana));
        }
        laws->append(exchange::convertLawXmlFile(file, code));
        maint::takeFileFacts(laws->last(), facts);
        laws->last().sourceFile = file;
        known.append({0, laws->last().code, laws->last().name});
        out(laws->last().summary());
        for (const QString& line : exchange::reportLines(laws->last())) err(line);
    }
    return true;
}

int cmdXml2Text(const Options& o, platform::Settings&) {
    QList<exchange::LawXml> laws;
    if (!convertAll(o, QStringLiteral("xml2text"), &laws)) return 2;
    const QString dir = o.outDir.isEmpty() ? QStringLiteral(".") : o.outDir;
    QDir().mkpath(dir);
    for (const exchange::LawXml& law : laws)
        platform::writeBlock(QDir(dir).filePath(law.code + QStringLiteral(".txt")), law.text);
    platform::writeBlock(QDir(dir).filePath(QStringLiteral("idx.dat")), exchange::idxText(laws));
    platform::writeBlock(QDir(dir).filePath(QStringLiteral("ht.dat")), exchange::htText(laws));
    return 0;
}

// A whole collection: a line per law with its count, then what was imported and skipped.
int importCollection(const Options& o) {
    maint::BulkFilter filter;
    filter.words = store::splitSearchWords(o.match);
    if (!o.list.isEmpty())
        for (const QString& line : platform::readLines(o.list))
            if (!line.trimmed().isEmpty()) filter.lawIds << line.trimmed();
    const exchange::LawXmlSource source(o.from);
    if (source.names().isEmpty()) {
        err(QStringLiteral("lexctl import-xml: %1 に法令XMLがありません").arg(o.from));
        return 1;
    }
    maint::BulkObserver observer;
    observer.law = [](int number, int total, const QString& file) {
        std::fprintf(stdout, "[%d/%d] %s\n", number, total, file.toUtf8().constData());
        std::fflush(stdout);
    };
    observer.done = [](const QString& line, bool imported) {
        if (imported)
            out(QStringLiteral("  ") + line);
        else
            err(QStringLiteral("skipped: ") + line);
    };
    observer.indexing = [](int done, int total) {
        if (done % 50 == 0)
            std::fprintf(stdout, "[参照元 %d/%d]\n", done + 1, total), std::fflush(stdout);
    };
    observer.searchIndexing = [](int done, int total) {
        if (done % 50 == 0)
            std::fprintf(stdout, "[検索 %d/%d]\n", done + 1, total), std::fflush(stdout);
    };
    const maint::BulkResult r = maint::importLawXmlSource(source, filter, observer);
    if (!r.indexError.isEmpty()) err(QStringLiteral("参照元の索引: ") + r.indexError);
    if (!r.searchIndexError.isEmpty()) err(QStringLiteral("検索の索引: ") + r.searchIndexError);
    for (const QString& id : r.notFound)
        err(QStringLiteral("not found: %1: no file of %2 has this law id").arg(id, o.from));
    for (const QString& line : r.incomplete) err(QStringLiteral("incomplete: ") + line);
    out(QStringLiteral("%1 laws imported (%2 incomplete), %3 skipped, %4 law ids not found, "
                       "of %5 files")
            .arg(r.imported.size())
            .arg(r.incomplete.size())
            .arg(r.skipped.size())
            .arg(r.notFound.size())
            .arg(source.names().size()));
    return r.whole() ? 0 : 1;
}

QString importLine(const maint::XmlImportResult& r) {
    return QStringLiteral(
               "%1 %2: %3 articles, %4 records written, %5 blocks skipped; "
               "%6 table-of-contents rows, %7 lines skipped")
               .arg(r.text.lawCode, r.text.lawName)
               .arg(r.text.articles)
               .arg(r.text.records)
               .arg(r.text.skipped.size())
               .arg(r.toc.added)
               .arg(r.toc.skipped.size()) +
           (r.figures > 0 ? QStringLiteral("; %1 figure pictures kept").arg(r.figures) : QString());
}

int cmdImportXml(const Options& o, platform::Settings&) {
    if (!o.from.isEmpty()) return importCollection(o);
    QList<exchange::LawXml> laws;
    if (!convertAll(o, QStringLiteral("import-xml"), &laws)) return 2;
    const QHash<QString, store::LawEntry> ids = maint::listedLawIds();
    int status = 0;
    for (const exchange::LawXml& law : laws) {
        maint::XmlImportResult r;
        // A refused law stops only itself; the others are still imported.
        try {
            r = maint::importConvertedLaw(law, ids);
        } catch (const platform::Error& e) {
            err(QStringLiteral("lexctl import-xml: %1 %2: %3")
                    .arg(law.code, law.name, e.description()));
            status = 1;
            continue;
        }
        out(importLine(r));
        for (const QString& note : maint::xmlImportNotes(law, r)) out(QStringLiteral("  ") + note);
        if (r.text.stopped || !r.text.skipped.isEmpty() || !r.toc.skipped.isEmpty()) status = 1;
    }
    return status;
}

QString listedLawName(const QString& command, const QString& code);

int fetchRevision(const Options& o) {
    const QString code = o.args.value(1);
    const QString name = listedLawName(QStringLiteral("fetch"), code);
    if (name.isEmpty()) return 1;
    if (!o.asof.isEmpty() && !QDate::fromString(o.asof, Qt::ISODate).isValid()) {
        err(QStringLiteral("lexctl fetch: --asof %1: 日付は YYYY-MM-DD です").arg(o.asof));
        return 2;
    }
    const QString lawId = maint::lawIdOf(name);
    if (lawId.isEmpty()) {
        err(QStringLiteral("lexctl fetch: ") + maint::noLawIdMessage(code));
        return 1;
    }
    try {
        exchange::LawApi api(o.api.isEmpty() ? exchange::lawApiAddress() : o.api);
        const QList<exchange::ApiRevision> revisions = api.revisionsNow(lawId);
        const exchange::ApiRevision* chosen = nullptr;
        if (!o.asof.isEmpty()) {
            chosen = exchange::revisionAsOf(revisions, o.asof);
            if (!chosen) {
                err(QStringLiteral("lexctl fetch: %1: %2 に施行されていた版は改正履歴にありません")
                        .arg(code, o.asof));
                return 1;
            }
        } else {
            for (const exchange::ApiRevision& r : revisions)
                if (r.revisionId == o.revision) chosen = &r;
            if (!chosen) {
                err(QStringLiteral("lexctl fetch: %1: 改正履歴に %2 はありません")
                        .arg(code, o.revision));
                return 1;
            }
        }
        const QByteArray xml = api.lawXmlNow(chosen->revisionId);
        const QString version = maint::keepRevision(xml, {0, code.toUpper(), name}, lawId, *chosen);
        out(QStringLiteral("fetched %1 (%2 bytes): %3")
                .arg(chosen->revisionId)
                .arg(xml.size())
                .arg(maint::keptLawXmlPath(chosen->revisionId)));
        out(QStringLiteral("kept as version %1 of %2: %3 %4 %5")
                .arg(version, name, chosen->enforced, chosen->amendLawNum,
                     exchange::revisionStatusText(chosen->status))
                .trimmed());
        return 0;
    } catch (const platform::Error& e) {
        err(QStringLiteral("lexctl fetch: %1: %2").arg(code, e.description()));
        return 1;
    }
}

int cmdFetch(const Options& o, platform::Settings&) {
    if (!o.revision.isEmpty() || !o.asof.isEmpty()) return fetchRevision(o);
    const QString words = o.args.mid(1).join(u' ');
    if (!o.code.isEmpty() && !store::isValidLawCode(o.code)) {
        err(QStringLiteral("lexctl fetch: --code %1: 法典コードは先頭が英字の２文字です")
                .arg(o.code));
        return 2;
    }
    exchange::LawApi api(o.api.isEmpty() ? exchange::lawApiAddress() : o.api);
    QList<exchange::ApiLaw> chosen;
    if (exchange::isLawId(words)) {
        exchange::ApiLaw byId;
        byId.lawId = words;
        // Which revision the law file is: its date and id name the version and find its
        // attachments. Without an answer the law is still fetched, undated.
        try {
            for (const exchange::ApiRevision& r : api.revisionsNow(words))
                if (r.status == QStringLiteral("CurrentEnforced")) {
                    byId.revisionId = r.revisionId;
                    byId.enforced = r.enforced;
                }
        } catch (const exchange::LawApiError& e) {
            err(QStringLiteral("lexctl fetch: %1: 改正履歴を得られません（%2）")
                    .arg(words, e.description()));
        }
        chosen << byId;
    } else {
        exchange::ApiSearch found;
        try {
            found = api.searchNow(words);
        } catch (const exchange::LawApiError& e) {
            err(QStringLiteral("lexctl fetch: ") + e.description());
            return 1;
        }
        for (const exchange::ApiLaw& law : found.laws)
            out(law.title + u'\t' + law.lawNum + u'\t' + law.lawId +
                (law.repealed.isEmpty() ? QString() : u'\t' + law.repealed));
        if (found.laws.isEmpty()) {
            err(QStringLiteral("lexctl fetch: 題名に「%1」を含む法令は見つかりません").arg(words));
            return 1;
        }
        if (o.all) {
            chosen = found.laws;
        } else if (const exchange::ApiLaw* one = exchange::chosenLaw(found.laws, words)) {
            chosen << *one;
        } else {
            err(QStringLiteral("lexctl fetch: %1 laws match; give more of the title, a law id, "
                               "or --all")
                    .arg(found.laws.size()));
            return 1;
        }
    }
    if (!o.code.isEmpty() && chosen.size() > 1) {
        err(QStringLiteral("lexctl fetch: --code names one law, not %1").arg(chosen.size()));
        return 2;
    }
    int status = 0;
    for (const exchange::ApiLaw& law : chosen) {
        try {
            const QByteArray xml = api.lawXmlNow(law.lawId);
            const QString kept = maint::keepLawXml(law.lawId, xml);
            out(QStringLiteral("fetched %1 (%2 bytes): %3")
                    .arg(law.lawId)
                    .arg(xml.size())
                    .arg(kept));
            const maint::FetchedImport r = maint::importFetchedLaw(
                xml, law.lawId, o.code, {}, {}, law.enforced,
                exchange::attachmentReader(api, law.revisionId), law.revisionId);
            if (!r.renamedFrom.isEmpty())
                out(QStringLiteral("renamed %1 from %2").arg(r.law.code, r.renamedFrom));
            out(importLine(r.result));
            for (const QString& note : maint::xmlImportNotes(r.law, r.result))
                out(QStringLiteral("  ") + note);
            if (r.result.text.stopped || !r.result.text.skipped.isEmpty() ||
                !r.result.toc.skipped.isEmpty())
                status = 1;
        } catch (const platform::Error& e) {
            err(QStringLiteral("lexctl fetch: %1: %2").arg(law.lawId, e.description()));
            status = 1;
        }
    }
    return status;
}

// The place of a typed notation as markers and bookmarks keep it, or an error and empty.
QString notationPlace(const QString& typed, QString* law) {
    const viewer::LookupTarget t = viewer::resolveLookup(typed);
    if (!t.error.isEmpty()) {
        err(t.error);
        return {};
    }
    *law = t.lawCode.toUpper();
    return viewer::stablePlace(*law, t.code);
}

int cmdMark(const Options& o, platform::Settings&) {
    const QString what = o.args.value(1);
    viewer::UserData data;
    if (what == QStringLiteral("add") && o.args.size() == 5) {
        QString law;
        const QString place = notationPlace(o.args[2], &law);
        if (place.isEmpty()) return 1;
        bool okStart = false, okLength = false, okColour = true;
        const int start = o.args[3].toInt(&okStart), length = o.args[4].toInt(&okLength);
        const int colour = o.colour.isEmpty() ? 1 : o.colour.toInt(&okColour);
        if (!okStart || !okLength || !okColour || colour < 0 || colour > 6) {
            err(QStringLiteral("lexctl mark add: START and LENGTH are numbers, --colour 0-6"));
            return 2;
        }
        // A paragraph, or the one paragraph of an article.
        QList<viewer::MarkedParagraph> found;
        for (const viewer::MarkedParagraph& p : viewer::markableParagraphs(law))
            if (p.place == place || (place.size() == 10 && p.place.startsWith(place))) found << p;
        if (found.size() != 1) {
            err(QStringLiteral("lexctl mark add: %1 は段落ではありません（%2 段落）。項まで指定して"
                               "ください（例: MP415:1）")
                    .arg(o.args[2])
                    .arg(found.size()));
            return 1;
        }
        viewer::Marker m = viewer::markRun(law, found[0], start, length);
        m.colour = colour;
        m.note = o.note;
        out(QString::number(data.addMarker(m)));
        return 0;
    }
    if (what == QStringLiteral("list") && o.args.size() <= 3) {
        QStringList laws;
        if (o.args.size() == 3) laws << o.args[2].toUpper();
        for (const viewer::Marker& m : data.markers())
            if (o.args.size() == 2 && !laws.contains(m.law)) laws << m.law;
        for (const QString& law : laws)
            for (const viewer::Marker& m : viewer::refreshMarkers(data, law))
                out(QStringList{QString::number(m.id), viewer::shownPlace(m.place),
                                QString::number(m.start), QString::number(m.length),
                                QString::number(m.colour), m.state, platform::oneLine(m.text),
                                platform::oneLine(m.note)}
                        .join(u'\t'));
        return 0;
    }
    if (what == QStringLiteral("remove") && o.args.size() == 3) {
        if (data.removeMarker(o.args[2].toLongLong())) return 0;
        err(QStringLiteral("lexctl mark remove: no marker %1").arg(o.args[2]));
        return 1;
    }
    if (what == QStringLiteral("export") && o.args.size() == 3) {
        QFile f(o.args[2]);
        const QByteArray json = data.exportJson();
        if (!f.open(QIODevice::WriteOnly) || f.write(json) != json.size()) {
            err(QStringLiteral("lexctl mark export: %1: %2").arg(o.args[2], f.errorString()));
            return 1;
        }
        return 0;
    }
    if (what == QStringLiteral("import") && o.args.size() == 3) {
        QFile f(o.args[2]);
        if (!f.open(QIODevice::ReadOnly)) {
            err(QStringLiteral("lexctl mark import: %1: %2").arg(o.args[2], f.errorString()));
            return 1;
        }
        const viewer::ImportCount n = data.importJson(f.readAll());
        out(QStringLiteral("%1 markers and %2 bookmarks added, %3 already here")
                .arg(n.markers)
                .arg(n.bookmarks)
                .arg(n.present));
        return 0;
    }
    err(
        QStringLiteral("lexctl mark: add NOTATION START LENGTH, list [CODE], remove ID, export "
                       "FILE or import FILE"));
    return 2;
}

int cmdBookmark(const Options& o, platform::Settings&) {
    const QString what = o.args.value(1);
    viewer::UserData data;
    if (what == QStringLiteral("add") && (o.args.size() == 3 || o.args.size() == 4)) {
        viewer::Bookmark b;
        b.place = notationPlace(o.args[2], &b.law);
        if (b.place.isEmpty()) return 1;
        b.title = o.args.value(3);
        out(QString::number(data.addBookmark(b)));
        return 0;
    }
    if (what == QStringLiteral("list") && o.args.size() == 2) {
        for (const viewer::Bookmark& b : data.bookmarks())
            out(QStringList{QString::number(b.id), b.law, viewer::shownPlace(b.place), b.title}
                    .join(u'\t'));
        return 0;
    }
    if (what == QStringLiteral("remove") && o.args.size() == 3) {
        if (data.removeBookmark(o.args[2].toLongLong())) return 0;
        err(QStringLiteral("lexctl bookmark remove: no bookmark %1").arg(o.args[2]));
        return 1;
    }
    err(QStringLiteral("lexctl bookmark: add NOTATION [TITLE], list or remove ID"));
    return 2;
}

int cmdPdf(const Options& o, platform::Settings&) {
    if (o.outDir.isEmpty()) {
        err(QStringLiteral("lexctl pdf: give -o FILE.pdf"));
        return 2;
    }
    const QString typed = o.args.value(1);
    const store::LawEntry* whole = nullptr;
    const QList<store::LawEntry> laws = store::readLawList();
    for (const store::LawEntry& e : laws)
        if (e.code.compare(typed, Qt::CaseInsensitive) == 0 || e.name == typed) whole = &e;
    // The whole law, or an article (whole), a paragraph or a part as the browser shows it:
    // the browser's print takes the same text.
    QString lawCode, lawName, key, shown;
    viewer::PrintScope scope = viewer::PrintScope::Node;
    if (whole) {
        lawCode = whole->code;
        lawName = whole->name;
        scope = viewer::PrintScope::Below;
    } else {
        const viewer::LookupTarget target = viewer::resolveLookup(typed);
        if (!target.error.isEmpty()) {
            err(target.error);
            return 1;
        }
        lawCode = target.lawCode;
        lawName = target.lawName;
        key = target.code;
        shown = target.shown;
    }
    viewer::LawTree tree;
    if (!lawTree(lawCode, 1, &tree, QStringLiteral("pdf"))) return 1;
    if (whole && !tree.nodes.isEmpty()) key = tree.nodes.first().key;
    const std::optional<QString> text = viewer::printedText(tree, key, scope);
    if (!text) {
        err(QStringLiteral("%1: %2の木にありません").arg(shown, lawName));
        return 1;
    }
    const QString title = store::lawTitle(lawName);
    QList<viewer::MarkSpan> marks;
    if (o.marks) {
        viewer::UserData data;
        marks = viewer::marksInText(
            data, lawCode, QString(*text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }
    viewer::writeLawPdf(o.outDir, title, *text, marks);
    out(o.outDir);
    return 0;
}

// The listed law of a code, or an error on standard error and empty.
QString listedLawName(const QString& command, const QString& code) {
    const QString name = store::GetHoutenName(code);
    if (name.isEmpty())
        err(QStringLiteral("lexctl %1: %2: 登録されていない法典コードです").arg(command, code));
    return name;
}

QString versionSource(const store::LawInfo& info) {
    if (!info.sourceDate.isEmpty()) return info.sourceDate;
    if (!info.amendedBy.isEmpty()) return QStringLiteral("最終改正 ") + info.amendedBy;
    if (!info.promulgated.isEmpty()) return QStringLiteral("公布 ") + info.promulgated;
    return QStringLiteral("-");
}

// The parts a listed law keeps; false (with the message said) when it is not listed.
bool lawParts(const QString& command, const QString& code, QList<store::LawPart>* parts) {
    const QString name = listedLawName(command, code);
    if (name.isEmpty()) return false;
    store::Database db = store::openLawDb(name);
    *parts = store::readLawParts(db);
    return true;
}

int cmdParts(const Options& o, platform::Settings&) {
    QList<store::LawPart> parts;
    if (!lawParts(QStringLiteral("parts"), o.args[1], &parts)) return 1;
    for (const store::LawPart& p : parts)
        out(QStringLiteral("%1\t%2\t%3").arg(p.kind).arg(p.number).arg(p.label));
    return 0;
}

int cmdPart(const Options& o, platform::Settings&) {
    QList<store::LawPart> parts;
    if (!lawParts(QStringLiteral("part"), o.args[1], &parts)) return 1;
    const QString kind = o.args[2];
    bool number = false;
    const int n = o.args[3].toInt(&number);
    for (const store::LawPart& p : parts)
        if (number && p.kind == kind && p.number == n) {
            out(forTerminal(p.text));
            return 0;
        }
    err(QStringLiteral("lexctl part: %1 に%2 %3 はありません").arg(o.args[1], kind, o.args[3]));
    return 1;
}

int cmdRevisions(const Options& o, platform::Settings&) {
    const QString name = listedLawName(QStringLiteral("revisions"), o.args[1]);
    if (name.isEmpty()) return 1;
    const QString lawId = maint::lawIdOf(name);
    if (lawId.isEmpty()) {
        err(QStringLiteral("lexctl revisions: ") + maint::noLawIdMessage(o.args[1]));
        return 1;
    }
    QList<exchange::ApiRevision> revisions;
    try {
        exchange::LawApi api(o.api.isEmpty() ? exchange::lawApiAddress() : o.api);
        revisions = api.revisionsNow(lawId);
    } catch (const exchange::LawApiError& e) {
        err(QStringLiteral("lexctl revisions: ") + e.description());
        return 1;
    }
    const QStringList kept = maint::revisionsKept(name, revisions);
    for (qsizetype i = 0; i < revisions.size(); ++i) {
        const exchange::ApiRevision& r = revisions[i];
        out(QStringList{r.revisionId, r.enforced, r.amendLawNum,
                        exchange::revisionStatusText(r.status),
                        kept[i].isEmpty() ? QString() : QStringLiteral("kept")}
                .join(u'\t'));
    }
    return 0;
}

int cmdHistory(const Options& o, platform::Settings&) {
    const viewer::LookupTarget target = viewer::resolveLookup(o.args[1]);
    if (!target.error.isEmpty()) {
        err(target.error);
        return 1;
    }
    if (target.code.size() < 10 || viewer::isPartKey(target.code)) {
        err(QStringLiteral("lexctl history: %1: 条を指定してください").arg(o.args[1]));
        return 1;
    }
    for (const maint::HistoryStep& s : maint::articleHistory(target.lawName, target.code))
        out(QStringList{s.version, s.date, s.amendedBy, QString(QChar::fromLatin1(s.mark))}.join(
                u'\t') +
            (s.notationOnly ? QStringLiteral("\t表記のみ") : QString()));
    return 0;
}

int cmdVersions(const Options& o, platform::Settings&) {
    const QString name = listedLawName(QStringLiteral("versions"), o.args[1]);
    if (name.isEmpty()) return 1;
    if (!o.remove.isEmpty()) {
        store::removeVersion(name, o.remove);
        out(QStringLiteral("removed %1 of %2").arg(o.remove, name));
        return 0;
    }
    qint64 total = 0;
    const QList<store::LawVersion> versions = store::listVersions(name);
    for (const store::LawVersion& v : versions) {
        out(QStringLiteral("%1\t%2\t%3\t%4 records\t%5 KB")
                .arg(v.id, v.info.importedAt.isEmpty() ? QStringLiteral("-") : v.info.importedAt,
                     versionSource(v.info))
                .arg(v.records)
                .arg((v.size + 1023) / 1024));
        total += v.size;
    }
    out(QStringLiteral("%1 versions, %2 KB in %3")
            .arg(versions.size())
            .arg((total + 1023) / 1024)
            .arg(store::versionsFolder(name)));
    return 0;
}

int cmdDiff(const Options& o, platform::Settings&) {
    const QString name = listedLawName(QStringLiteral("diff"), o.args[1]);
    if (name.isEmpty()) return 1;
    QString from = o.from;
    if (from.isEmpty()) {
        const QList<store::LawVersion> versions = store::listVersions(name);
        if (versions.isEmpty()) {
            err(QStringLiteral("lexctl diff: %1 に残っている版はありません").arg(name));
            return 1;
        }
        from = versions.last().id;
    }
    const maint::LawText older = maint::readVersionText(name, from);
    const maint::LawText newer = maint::readVersionText(name, o.to);
    const maint::LawDiff diff = maint::diffLaws(older, newer);
    const QStringList lines = o.table ? maint::tableLines(maint::amendmentRows(older, newer, diff))
                                      : maint::diffLines(diff);
    for (const QString& line : lines) out(line);
    err(diff.summary());
    return 0;
}

int cmdRefs(const Options& o, platform::Settings&) {
    const viewer::LookupTarget target = viewer::resolveLookup(o.args.value(1));
    if (!target.error.isEmpty()) {
        err(target.error);
        return 1;
    }
    store::Database db = store::openLawDb(target.lawName);
    // A paragraph, or every paragraph of an article (its heading record left out).
    store::Recordset rs = db.openRecordset(
        QStringLiteral("select 条項コード, 条文 from 条文 where 条項コード between ? and ? "
                       "order by 条項コード"),
        store::RecordsetType::Snapshot, {target.code, target.code + QStringLiteral("999999")});
    viewer::RefLibrary library;
    const viewer::LawIndex* law = library.index(target.lawCode);
    for (; !rs.eof(); rs.moveNext()) {
        const QString code = rs.text(QStringLiteral("条項コード"));
        if (code.size() != 16 || code.endsWith(u'1')) continue;
        const QString text = rs.text(QStringLiteral("条文"));
        const QString paragraph =
            viewer::shortTarget(*law, code.mid(2, 8), code.mid(10, 2).toInt());
        for (const viewer::Reference& r : library.references(code, text)) {
            const int start = viewer::codePointOffset(text, r.start);
            out(QStringLiteral("%1\t%2\t%3\t%4")
                    .arg(paragraph)
                    .arg(start)
                    .arg(viewer::codePointOffset(text, r.start + r.length) - start)
                    .arg(r.target));
        }
    }
    return 0;
}

int cmdCitedBy(const Options& o, platform::Settings&) {
    const viewer::LookupTarget target = viewer::resolveLookup(o.args.value(1));
    if (!target.error.isEmpty()) {
        err(target.error);
        return 1;
    }
    if (target.code.size() != 10 && target.code.size() != 16) {
        err(QStringLiteral("lexctl cited-by: %1: 条か項を指定してください").arg(target.shown));
        return 1;
    }
    viewer::CitationIndex index;
    index.refresh();
    viewer::RefLibrary library;
    for (const viewer::Citation& c : index.citing(target.code)) {
        QString place = c.code;
        if (c.code.size() == 16)
            if (const viewer::LawIndex* law = library.index(c.law))
                place = viewer::shortTarget(*law, c.code.mid(2, 8), c.code.mid(10, 2).toInt());
        out(QStringLiteral("%1\t%2\t%3\t%4").arg(place).arg(c.start).arg(c.length).arg(c.target));
    }
    return 0;
}

int cmdTerms(const Options& o, platform::Settings&) {
    const QString name = listedLawName(QStringLiteral("terms"), o.args[1]);
    if (name.isEmpty()) return 1;
    store::Database db = store::openLawDb(name);
    for (const viewer::DefinedTerm& t : viewer::lawDefinitions(db))
        out(QStringList{t.term, viewer::shortNumberOf(t.code), t.scope}.join(u'\t'));
    return 0;
}

int cmdReindex(const Options&, platform::Settings&) {
    viewer::CitationIndex index;
    const int laws = index.rebuild([](int done, int total, const QString& name) {
        if (done % 50 == 0) err(QStringLiteral("%1/%2 %3").arg(done + 1).arg(total).arg(name));
        return true;
    });
    out(QStringLiteral("%1 laws read, %2 references in %3")
            .arg(laws)
            .arg(index.size())
            .arg(viewer::citationIndexPath()));
    viewer::SearchIndex words;
    const int read = words.rebuild([](int done, int total, const QString& name) {
        if (done % 50 == 0) err(QStringLiteral("%1/%2 %3").arg(done + 1).arg(total).arg(name));
        return true;
    });
    out(QStringLiteral("%1 laws read into %2").arg(read).arg(viewer::searchIndexPath()));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // A PDF is laid out with fonts: that command runs in a Gui application, on no screen
    // whatever the environment names (a display may not be there).
    static const QList<QByteArray> valued{
        "--root",   "--program-dir", "--mode",     "-o",     "--out",    "--from",   "--match",
        "--list",   "--api",         "--code",     "--to",   "--remove", "--length", "--string",
        "--colour", "--note",        "--revision", "--asof", "--version"};
    QByteArray command;
    for (int i = 1; i < argc && command.isEmpty(); ++i) {
        const QByteArray a(argv[i]);
        if (valued.contains(a))
            ++i;
        else if (!a.startsWith('-'))
            command = a;
    }
    const bool pdf = command == "pdf";
    if (pdf) qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app = pdf ? std::make_unique<QGuiApplication>(argc, argv)
                                                : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lexctl"));
    platform::ConsolePrompt console;
    platform::setPrompt(&console);

    Options o;
    QString error;
    if (!parse(QCoreApplication::arguments(), &o, &error)) {
        err(QStringLiteral("lexctl: ") + error);
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (o.verbose) QLoggingCategory::setFilterRules(QStringLiteral("lexora.*.debug=true"));
    if (o.args.isEmpty()) {
        std::fputs(kUsage, o.help ? stdout : stderr);
        if (o.help)
            out(QStringLiteral("\nthe reader's markers, notes and bookmarks: ") +
                viewer::userDataPath());
        return o.help ? 0 : 2;
    }
    const std::map<QString, std::function<int(const Options&, platform::Settings&)>> commands{
        {QStringLiteral("init"), cmdInit},           {QStringLiteral("laws"), cmdLaws},
        {QStringLiteral("import"), cmdImport},       {QStringLiteral("import-idx"), cmdImportIdx},
        {QStringLiteral("tree"), cmdTree},           {QStringLiteral("show"), cmdShow},
        {QStringLiteral("search"), cmdSearch},       {QStringLiteral("make-idx"), cmdMakeIdx},
        {QStringLiteral("make-ht"), cmdMakeHt},      {QStringLiteral("make-each"), cmdMakeEach},
        {QStringLiteral("make-all"), cmdMakeAll},    {QStringLiteral("make-number"), cmdMakeNumber},
        {QStringLiteral("expand"), cmdExpand},       {QStringLiteral("check"), cmdCheck},
        {QStringLiteral("xml2text"), cmdXml2Text},   {QStringLiteral("import-xml"), cmdImportXml},
        {QStringLiteral("fetch"), cmdFetch},         {QStringLiteral("versions"), cmdVersions},
        {QStringLiteral("revisions"), cmdRevisions}, {QStringLiteral("history"), cmdHistory},
        {QStringLiteral("diff"), cmdDiff},           {QStringLiteral("refs"), cmdRefs},
        {QStringLiteral("cited-by"), cmdCitedBy},    {QStringLiteral("reindex"), cmdReindex},
        {QStringLiteral("terms"), cmdTerms},         {QStringLiteral("parts"), cmdParts},
        {QStringLiteral("part"), cmdPart},           {QStringLiteral("mark"), cmdMark},
        {QStringLiteral("bookmark"), cmdBookmark},   {QStringLiteral("pdf"), cmdPdf}};
    const std::map<QString, int> arity{
        {QStringLiteral("init"), 0},      {QStringLiteral("laws"), 0},
        {QStringLiteral("import"), 1},    {QStringLiteral("import-idx"), 1},
        {QStringLiteral("tree"), 1},      {QStringLiteral("show"), 1},
        {QStringLiteral("search"), -1},   {QStringLiteral("make-idx"), 0},
        {QStringLiteral("make-ht"), 0},   {QStringLiteral("make-each"), 1},
        {QStringLiteral("make-all"), 0},  {QStringLiteral("make-number"), 1},
        {QStringLiteral("expand"), 1},    {QStringLiteral("check"), 0},
        {QStringLiteral("xml2text"), -1}, {QStringLiteral("import-xml"), o.from.isEmpty() ? -1 : 0},
        {QStringLiteral("fetch"), -1},    {QStringLiteral("versions"), 1},
        {QStringLiteral("diff"), 1},      {QStringLiteral("refs"), 1},
        {QStringLiteral("parts"), 1},     {QStringLiteral("part"), 3},
        {QStringLiteral("mark"), -1},     {QStringLiteral("bookmark"), -1},
        {QStringLiteral("pdf"), 1},       {QStringLiteral("revisions"), 1},
        {QStringLiteral("history"), 1},   {QStringLiteral("cited-by"), 1},
        {QStringLiteral("reindex"), 0},   {QStringLiteral("terms"), 1}};
    const QString name = o.args.first();
    const auto it = commands.find(name);
    if (it == commands.end()) {
        err(QStringLiteral("lexctl: unknown command ") + name);
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (o.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    // -1: one argument or more.
    const int wanted = arity.at(name);
    const int given = int(o.args.size()) - 1;
    if (wanted < 0 ? given == 0 : given != wanted) {
        err(wanted >= 0 && given > wanted ? QStringLiteral("lexctl %1: unexpected argument %2")
                                                .arg(name, o.args.value(wanted + 1))
                                          : QStringLiteral("lexctl %1: needs %2")
                                                .arg(name, name.startsWith(QStringLiteral("import"))
                                                               ? QStringLiteral("a file")
                                                               : QStringLiteral("an argument")));
        return 2;
    }
    try {
        platform::Settings settings;
        applyFolders(o, settings);
        return it->second(o, settings);
    } catch (const std::exception& e) {
        err(QStringLiteral("lexctl %1: ").arg(name) + QString::fromUtf8(e.what()));
        return 1;
    }
}
