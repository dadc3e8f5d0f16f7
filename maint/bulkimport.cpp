#include "maint/bulkimport.h"

#include "exchange/lawcode.h"
#include "exchange/lawxml.h"
#include "maint/lawfetch.h"
#include "maint/lawimport.h"
#include "store/engine.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "viewer/browser/citedby.h"
#include "viewer/shell/searchindex.h"

#include <QDate>
#include <QFileInfo>
#include <QSet>

#include <QThread>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include <algorithm>
#include <deque>
#include <future>
#include <memory>
#include <optional>

namespace maint {

namespace {

// One law on its way: read and given its code on the import's thread, converted on another.
struct Job {
    int index = 0;  // in the source
    QString shown;  // the file's name
    QString lawId;  // the law id its name begins with
    QByteArray xml;
    QString code;
    QString error;  // why it goes no further
    exchange::LawXml law;
    ImportPlan plan;  // its text parsed into records
};

// Everything that needs no data root, off the import's thread.
void convert(Job& job) {
    if (!job.error.isEmpty()) return;
    try {
        job.law = exchange::convertLawXml(job.xml, job.code);
        LawTextImporter importer;
        ImportOptions quiet;
        quiet.quiet = true;  // one summary for the collection, not a box per law
        job.plan = xmlLawPlan(job.law, importer, quiet);
        job.law.text.clear();  // the plan holds what it said
    } catch (const platform::Error& e) {
        job.error = e.description();
    }
    job.xml.clear();
}

// Threads that convert the laws handed to them in turn and free them again once written: a
// law is made and freed on one thread, so the threads never wait on one another's memory
// (glibc's allocator locks the arena a freed block came from).
class Lanes {
  public:
    explicit Lanes(int count) {
        for (int i = 0; i < count; ++i) {
            lanes_.push_back(std::make_unique<Lane>());
            Lane* lane = lanes_.back().get();
            lane->thread = std::thread([lane] { lane->work(); });
        }
    }
    ~Lanes() {
        for (auto& lane : lanes_) {
            {
                std::lock_guard lock(lane->mutex);
                lane->closing = true;
            }
            lane->wake.notify_one();
            lane->thread.join();
        }
    }
    int size() const { return int(lanes_.size()); }
    std::future<void> run(int lane, std::function<void()> work) {
        std::packaged_task<void()> task(std::move(work));
        std::future<void> done = task.get_future();
        Lane& l = *lanes_[size_t(lane)];
        {
            std::lock_guard lock(l.mutex);
            l.tasks.push_back(std::move(task));
        }
        l.wake.notify_one();
        return done;
    }

  private:
    struct Lane {
        std::thread thread;
        std::mutex mutex;
        std::condition_variable wake;
        std::deque<std::packaged_task<void()>> tasks;
        bool closing = false;
        void work() {
            for (;;) {
                std::packaged_task<void()> task;
                {
                    std::unique_lock lock(mutex);
                    wake.wait(lock, [this] { return closing || !tasks.empty(); });
                    if (tasks.empty()) return;
                    task = std::move(tasks.front());
                    tasks.pop_front();
                }
                task();  // an exception goes to the task's future
            }
        }
    };
    std::vector<std::unique_ptr<Lane>> lanes_;
};

}  // namespace

BulkResult importLawXmlSource(const exchange::LawXmlSource& source, const BulkFilter& filter,
                              const BulkObserver& observer) {
    BulkResult r;
    QList<store::LawEntry> known = store::readLawList();
    const QHash<QString, store::LawEntry> byId = listedLawIds();
    const QSet<QString> ids(filter.lawIds.begin(), filter.lawIds.end());
    const int total = int(source.names().size());
    int next = 0;
    // The next law the filter takes, its code chosen already (so the one after it cannot take
    // it), or nothing at the end.
    auto prepare = [&]() -> std::optional<Job> {
        for (; next < total; ++next) {
            const QString file = source.names()[next];
            if (!ids.isEmpty() && !ids.contains(exchange::LawXmlSource::lawIdOf(file))) continue;
            Job job;
            job.index = next;
            job.shown = QFileInfo(file).fileName();
            job.lawId = xmlFileFacts(file).lawId;
            try {
                job.xml = source.read(next);
            } catch (const platform::Error& e) {
                job.error = e.description();
                ++next;
                return job;
            }
            const exchange::LawXmlHead head = exchange::lawXmlHead(job.xml);
            bool all = true;
            for (const QString& w : filter.words) all = all && head.title.contains(w);
            if (!all) continue;
            ++next;
            if (head.title.isEmpty()) {
                job.error = QStringLiteral("法令XMLではないか、題名がありません");
                return job;
            }
            const QString name = exchange::lawNameFor(head);
            job.code = codeForLaw(name, head.kana, job.lawId, known, byId, head.abbrev);
            if (job.code.isEmpty())
                job.error = QStringLiteral("使える法典コードが残っていません");
            else
                known.append({0, job.code, name});
            return job;
        }
        return std::nullopt;
    };
    // While one law is imported here, the next ones are converted on as many threads as
    // there are cores, at least eight laws ahead: enough for the threads to keep working
    // while this one waits on the disk (three ahead on two cores left them idle a third of
    // the time).
    struct Ahead {
        std::shared_ptr<Job> job;
        int lane = 0;
        std::future<void> converted;
    };
    std::deque<Ahead> ahead;
    Lanes lanes(std::max(1, QThread::idealThreadCount()));
    const int depth = std::max(8, 2 * lanes.size());
    int nextLane = 0;
    auto fill = [&] {
        while (int(ahead.size()) < depth) {
            std::optional<Job> next = prepare();
            if (!next) return;
            auto job = std::make_shared<Job>(std::move(*next));
            const int lane = nextLane++ % lanes.size();
            ahead.push_back({job, lane, lanes.run(lane, [job] { convert(*job); })});
        }
    };
    // A written law goes back to the thread that made it, to be freed there.
    auto dispose = [&lanes](std::shared_ptr<Job>&& job, int lane) {
        lanes.run(lane, [job = std::move(job)]() mutable { job.reset(); });
    };
    fill();
    while (!ahead.empty()) {
        ahead.front().converted.get();
        std::shared_ptr<Job> held = std::move(ahead.front().job);
        const int lane = ahead.front().lane;
        ahead.pop_front();
        fill();
        Job& job = *held;
        ++r.matched;
        if (observer.law) observer.law(r.matched, total, job.shown);
        auto skip = [&](const QString& why) {
            r.skipped << job.shown + QStringLiteral(": ") + why;
            if (observer.done) observer.done(r.skipped.last(), false);
        };
        if (!job.error.isEmpty()) {
            skip(job.error);
        } else {
            try {
                takeFileFacts(job.law, xmlFileFacts(job.shown));
                job.law.lawId = job.lawId;
                // A law new to the root is written without a disk wait per commit and
                // written out once at its end; a listed law's file keeps every wait.
                const QString file = store::lawDbPath(job.law.name);
                if (!QFileInfo::exists(file)) store::deferSync(file);
                XmlImportResult done;
                try {
                    done = importConvertedLaw(job.law, job.plan, byId);
                    if (!done.text.stopped)
                        done.figures = keepFigures(job.law, [&](const QString& src) {
                            return source.readBeside(job.index, src);
                        });
                } catch (...) {
                    store::settleSync(file);
                    throw;
                }
                store::settleSync(file);
                if (done.text.stopped) {
                    skip(done.text.stopMessage);
                } else {
                    QString line = QStringLiteral("%1 %2: %3 articles")
                                       .arg(job.law.code, job.law.name)
                                       .arg(done.text.articles);
                    if (!done.text.skipped.isEmpty())
                        line += QStringLiteral(", %1 blocks skipped (%2)")
                                    .arg(done.text.skipped.size())
                                    .arg(done.text.skipped.join(QStringLiteral("; ")));
                    if (!done.toc.skipped.isEmpty())
                        line += QStringLiteral(", %1 table-of-contents rows skipped (%2)")
                                    .arg(done.toc.skipped.size())
                                    .arg(done.toc.skipped.join(QStringLiteral("; ")));
                    if (done.text.articles == 0)
                        line += QStringLiteral(", ") + xmlImportNotes(job.law, done).last();
                    r.imported << line;
                    if (!done.text.skipped.isEmpty() || !done.toc.skipped.isEmpty())
                        r.incomplete << line;
                    if (observer.done) observer.done(line, true);
                }
            } catch (const platform::Error& e) {
                skip(e.description());
            }
        }
        dispose(std::move(held), lane);
        if (!ahead.empty() && observer.stop && observer.stop()) {
            for (Ahead& a : ahead) a.converted.get();
            r.stopped = true;
            break;
        }
    }
    // The references of the laws written, for 参照元: read once all of them are listed, so
    // that those citing one another resolve.
    if (!r.imported.isEmpty()) {
        try {
            viewer::CitationIndex index;
            r.indexed = index.refresh(0, [&](int done, int total, const QString&) {
                if (observer.indexing) observer.indexing(done, total);
                return !(observer.stop && observer.stop());
            });
        } catch (const platform::Error& e) {
            r.indexError = e.description();
        }
        try {
            viewer::SearchIndex index;
            r.searchIndexed = index.refresh([&](int done, int total, const QString&) {
                if (observer.searchIndexing) observer.searchIndexing(done, total);
                return !(observer.stop && observer.stop());
            });
        } catch (const platform::Error& e) {
            r.searchIndexError = e.description();
        }
    }
    if (!ids.isEmpty() && !r.stopped) {
        QSet<QString> present;
        for (const QString& file : source.names())
            present.insert(exchange::LawXmlSource::lawIdOf(file));
        for (const QString& id : filter.lawIds)
            if (!present.contains(id) && !r.notFound.contains(id)) r.notFound << id;
    }
    return r;
}

}  // namespace maint
