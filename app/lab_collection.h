#pragma once

#include "collection/wing_collection.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <deque>
#include <functional>

namespace kanat {

// The lab's collection (12.tps, its pictures and its patch file) as the window uses it. Reading
// it, rebuilding its patch file from pictures and adding a saved wing can take seconds with a
// large collection, so they run one after another away from the window's thread; the window
// reads the latest finished collection and hears when a newer one is ready. It lives as long as
// the program, across "Resetle".
class LabCollection final : public QObject {
    Q_OBJECT
public:
    explicit LabCollection(QObject* parent = nullptr);
    ~LabCollection() override;

    // Reads the collection at `tpsPath` unless it is the one already read; `known` says where
    // some of its wings' pictures are.
    void open(const QString& tpsPath, PicturesById known = {});
    // After a save appended `specimenText` to the collection file: the wing joins it. Without a
    // prepared picture, the one at `picturePath` is read.
    void addSavedWing(std::string specimenText, PreparedPicture picture, std::string picturePath);

    const WingCollection& current() const { return current_; }
    // Counts the collections made current so far: a new one may propose otherwise.
    int version() const { return version_; }
    const QString& path() const { return path_; }
    bool busy() const { return running_ || !waiting_.empty(); }
    // Blocks until every job so far has finished and its collection is current (for tests and
    // the benchmark).
    void finish();

signals:
    void changed();

private:
    using Job = std::function<WingCollection(WingCollection)>;
    void enqueue(Job job);
    void startNext();
    void take();

    QThreadPool pool_;
    QFutureWatcher<WingCollection> watcher_;
    std::deque<Job> waiting_;
    bool running_ = false;
    WingCollection current_;
    int version_ = 0;
    QString path_;
};

} // namespace kanat
