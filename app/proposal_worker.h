#pragma once

#include "collection/wing_collection.h"

#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <QThreadPool>

#include <functional>
#include <optional>

namespace kanat {

// Proposals made away from the window's thread, one request at a time: while one is made, only
// the latest request waits, and only the answer to the latest request is delivered.
class ProposalWorker final : public QObject {
    Q_OBJECT
public:
    struct Request {
        WingCollection collection;
        PreparedPicture prepared; // empty: made from `picture` first
        QImage picture;
        WingLandmarks held;
        MissingLandmarks missing{}; // marked missing: neither proposed nor fitted
    };
    struct Answer {
        PreparedPicture prepared;
        std::vector<LandmarkProposal> proposals;
    };

    // `deliver` is called on the window's thread with the answer to the latest request.
    explicit ProposalWorker(std::function<void(Answer)> deliver, QObject* parent = nullptr);
    ~ProposalWorker() override;

    void ask(Request request); // what was asked before is of no more use
    void cancel();             // nothing asked so far is delivered
    bool busy() const { return running_ || waiting_.has_value(); }
    // Waits until the latest request is answered and delivered (Enter; tests and the benchmark).
    void finish();

private:
    void startNext();
    void take();

    std::function<void(Answer)> deliver_;
    QThreadPool pool_;
    QFutureWatcher<Answer> watcher_;
    std::optional<Request> waiting_;
    bool running_ = false;
    int asked_ = 0;     // requests asked so far
    int answering_ = 0; // the request being answered
};

} // namespace kanat
