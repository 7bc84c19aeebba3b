#include "app/proposal_worker.h"

#include <QCoreApplication>
#include <QtConcurrent/QtConcurrentRun>

namespace kanat {

ProposalWorker::ProposalWorker(std::function<void(Answer)> deliver, QObject* parent)
    : QObject(parent), deliver_(std::move(deliver)) {
    pool_.setMaxThreadCount(1);
    connect(&watcher_, &QFutureWatcher<Answer>::finished, this, &ProposalWorker::take);
}

ProposalWorker::~ProposalWorker() {
    waiting_.reset();
    watcher_.waitForFinished();
}

void ProposalWorker::ask(Request request) {
    ++asked_;
    waiting_ = std::move(request);
    if (!running_) startNext();
}

void ProposalWorker::cancel() {
    ++asked_;
    waiting_.reset();
}

void ProposalWorker::startNext() {
    if (!waiting_) return;
    Request request = std::move(*waiting_);
    waiting_.reset();
    running_ = true;
    answering_ = asked_;
    watcher_.setFuture(QtConcurrent::run(&pool_, [request = std::move(request)] {
        const PreparedPicture prepared = request.prepared.empty() ? PreparedPicture(request.picture) : request.prepared;
        return Answer{prepared, request.collection.propose(prepared, request.held, request.missing)};
    }));
}

void ProposalWorker::take() {
    running_ = false;
    const bool latest = answering_ == asked_;
    Answer answer = watcher_.result();
    startNext();
    if (latest) deliver_(std::move(answer));
}

void ProposalWorker::finish() {
    while (busy()) {
        watcher_.waitForFinished();
        QCoreApplication::processEvents();
    }
}

} // namespace kanat
