#include <QApplication>

#include "foundation/global.h"
#include "app/program.h"

int main(int argc, char** argv)
{
    Global::initLogging();
    QApplication app(argc, argv);
    Program::prepareApplication();
    return Program::run();
}
