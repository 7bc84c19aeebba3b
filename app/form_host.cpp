#include "app/form_host.h"

#include "results/record_files.h"

#include <QEventLoopLocker>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

namespace kanat {

FormHost::FormHost(Dialogs& dialogs, Environment environment)
    : dialogs_(dialogs), environment_(std::move(environment)) {
    session_.collection.open(QString::fromStdString(currentTpsFile(environment_.recordFolders())));
    if (!environment_.setupsFile.isEmpty()) session_.setups = ScaleSetups::read(environment_.setupsFile.toStdString());
    makeForm();
}

FormHost::~FormHost() {
    if (form_) form_->close();
}

void FormHost::makeForm() {
    form_ = new Form1(session_, dialogs_, environment_);
    connect(form_, &Form1::resetRequested, this, &FormHost::reload, Qt::QueuedConnection);
}

void FormHost::show() { showAtDesignSize(*form_); }

void FormHost::reload() {
    // The old window is gone before the new one shows; the lock keeps the program from ending
    // while no window is open.
    const QEventLoopLocker keepRunning;
    form_->close();
    makeForm();
    show();
    emit reloaded(form_);
}

void showAtDesignSize(Form1& form) {
    const QSize client = form.controls().client->minimumSize();
    const QSize wanted(client.width(),
                       client.height() + form.menuBar()->sizeHint().height() + form.statusBar()->sizeHint().height());
    // Room for the title bar that the window manager adds.
    constexpr int titleBar = 40;
    const QScreen* screen = form.screen();
    const QSize available = screen ? screen->availableGeometry().size() : wanted + QSize(0, titleBar);
    if (available.width() < wanted.width() || available.height() < wanted.height() + titleBar) {
        form.showMaximized();
        return;
    }
    form.resize(wanted);
    form.show();
}

} // namespace kanat
