#include "powers/actions.h"

#include <QFile>

#include "foundation/attrtext.h"
#include "foundation/global.h"

namespace {

// Like the other library files.
const char* const lineEnd = "\r\n";

}

QString Actions::getFilePath() const
{
    return Global::getRootedPath("actions.txt", rootPath);
}

void Actions::loadActions(const QString& root)
{
    rootPath = root;
    actions = Powers();
    QFile file(getFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return;
    AttrParser parser(file.readAll(), 0);
    while (parser.nextAttr()) {
        if (parser.attrName() != "action")
            continue;
        CreaturePower action;
        action.name = parser.attrValue();
        action.loadPower(parser);
        // Actions are always the user's own.
        action.status = CreaturePower::UserPower;
        if (!action.name.isEmpty())
            actions.addPower(action, true);
    }
}

void Actions::newActions(Actions* loaded)
{
    rootPath = loaded->rootPath;
    actions = loaded->actions;
}

void Actions::updateAction(const QString& name, const CreaturePower* action)
{
    // Kept by updatePower, which moves powers without copying them.
    CreaturePower* existing = actions.getPowerByName(name);
    if (existing) {
        const QByteArray before = existing->getPowerProgram(lineEnd, true);
        actions.updatePower(name, *action, true);
        if (existing->getPowerProgram(lineEnd, true) == before)
            return;
    } else {
        actions.addPower(*action, true);
    }
    writeActions();
}

void Actions::deleteAction(const QString& name)
{
    if (actions.deletePower(name))
        writeActions();
}

void Actions::writeActions()
{
    QByteArray text;
    for (int i = 0; const CreaturePower* action = std::as_const(actions).getPower(i); i++)
        text += action->getPowerProgram(lineEnd, true);
    const QString path = getFilePath();
    if (!Global::saveFile(path, text))
        Global::alert(tr("Write Actions Failed"), tr("Unable to write the actions file: %1").arg(path));
}
