#include "common.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

#include "support/testsupport.h"

namespace {

void quietHandler(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtFatalMsg)
        fprintf(stderr, "%s\n", qPrintable(text));
}

}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The fuzzer's own arguments are none of Qt's business.
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    TestSupport::isolateEnvironment();
    qInstallMessageHandler(quietHandler);
    new QGuiApplication(argc, argv);
    return 0;
}

namespace Fuzz {

void fail(const QString& what)
{
    fprintf(stderr, "fuzz property failed:\n%s\n", qPrintable(what));
    abort();
}

}
