#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace kanat {

// One row of the keyboard's commands: the keys as F1 names them, what they do, and each key with
// its command. A row for the landmarks' keys leaves the keys to a coordinate field being typed in.
struct KeyRow {
    QString keys;
    QString does;
    std::vector<std::pair<QKeySequence, std::function<void()>>> commands;
    bool fieldsKeepThem = false;
};

// Gives `window` every key of the table.
void installKeys(QWidget& window, const std::vector<KeyRow>& table);

// What F1 shows: every row of the table, in Turkish, and what the keys never reach.
QString keysHelp(const std::vector<KeyRow>& table);

} // namespace kanat
