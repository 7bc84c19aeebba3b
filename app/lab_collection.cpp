#include "app/lab_collection.h"

#include "picture/picture_loader.h"

#include <QCoreApplication>
#include <QtConcurrent/QtConcurrentRun>

namespace kanat {

LabCollection::LabCollection(QObject* parent) : QObject(parent) {
    pool_.setMaxThreadCount(1);
    connect(&watcher_, &QFutureWatcher<WingCollection>::finished, this, &LabCollection::take);
}

LabCollection::~LabCollection() {
    waiting_.clear();
    watcher_.waitForFinished();
}

void LabCollection::open(const QString& tpsPath, PicturesById known) {
    if (tpsPath == path_) return;
    path_ = tpsPath;
    enqueue([path = tpsPath.toStdString(), known = std::move(known)](const WingCollection&) {
        return WingCollection::load(path, known);
    });
}

void LabCollection::addSavedWing(std::string specimenText, PreparedPicture picture, std::string picturePath) {
    enqueue([specimenText = std::move(specimenText), picture = std::move(picture),
             picturePath = std::move(picturePath)](WingCollection collection) mutable {
        if (picture.empty() && !picturePath.empty()) {
            const LoadedPicture loaded = loadPicture(QString::fromStdString(picturePath));
            if (loaded.ok()) picture = PreparedPicture(loaded.image);
        }
        collection.addSavedWing(specimenText, picture, picturePath);
        return collection;
    });
}

void LabCollection::enqueue(Job job) {
    waiting_.push_back(std::move(job));
    if (!running_) startNext();
}

void LabCollection::startNext() {
    if (waiting_.empty()) return;
    Job job = std::move(waiting_.front());
    waiting_.pop_front();
    running_ = true;
    // Each job starts from the collection the one before it left.
    watcher_.setFuture(QtConcurrent::run(&pool_, std::move(job), current_));
}

void LabCollection::take() {
    current_ = watcher_.result();
    ++version_;
    running_ = false;
    startNext();
    emit changed();
}

void LabCollection::finish() {
    while (busy()) {
        watcher_.waitForFinished();
        QCoreApplication::processEvents();
    }
}

} // namespace kanat
