#include <QApplication>

#include "global.h"
#include "program.h"

int main(int argc, char** argv)
{
    Global::initLogging();
    QApplication app(argc, argv);
    Program::prepareApplication();
    return Program::run();
}
