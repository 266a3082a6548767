#pragma once
// How each command shows itself: menu text with its mnemonic (and the
// shortcut label after a tab), its keys, the fly-by text of the status bar
// and the tool tip of its tool bar button.
#include "session/commands.h"

#include <QKeySequence>
#include <QList>
#include <QString>

#include <vector>

struct CommandSpec {
    nettor::Command command;
    QString objectName;    // "actionSaveEmf": how the action is found by name
    QString text;          // the menu text
    QString iconText;      // the short name on the tool bar
    QList<QKeySequence> shortcuts;
    QString statusTip;
    bool checkable = false;
};

// Every command of the window, in no particular order.
const std::vector<CommandSpec>& commandSpecs();
