// Writes a dozen short random-fight logs into the folder given, as seeds of
// the history fuzz target: seeds_history fuzz/corpus/history

#include <QDir>

#include <cstdio>
#include <cstdlib>

#include "common.h"
#include "historyfight.h"

#include "encounter/encounter.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "support/testsupport.h"
#include "support/testworld.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    LLVMFuzzerInitialize(&argc, &argv);
    QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(".");
    for (int seed = 1; seed <= 12; seed++) {
        TestWorld world;
        RecordingUiHooks hooks;
        RandomFight fight = historyFightCast(world);
        srand(seed);
        for (int step = 0; step < 8 + 2 * seed; step++)
            fight.step();
        if (Global::history->getCurrentEvent())
            Global::encounter->writeVitalityChanges(Global::history->getStream(false));
        QString path = folder.filePath(QString("fight-%1.log").arg(seed, 2, 10, QChar('0')));
        if (!TestSupport::writeFile(path, TestSupport::readFile(world.logPath())))
            return 1;
    }
    return 0;
}
