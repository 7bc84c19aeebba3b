#pragma once

#include "app/form1.h"

#include <QObject>
#include <QPointer>

namespace kanat {

// Keeps the main window alive across "Resetle", which closes it and makes it again from its
// layout; the session's record survives the reload.
class FormHost : public QObject {
    Q_OBJECT
public:
    FormHost(Dialogs& dialogs, Environment environment);
    ~FormHost() override;
    Form1* form() const { return form_; }
    Session& session() { return session_; }
    void show();

signals:
    void reloaded(Form1* form);

private:
    void makeForm();
    void reload();

    Dialogs& dialogs_;
    Environment environment_;
    Session session_;
    QPointer<Form1> form_;
};

// The first size of the window: its whole layout where the screen allows, else maximised.
void showAtDesignSize(Form1& form);

} // namespace kanat
