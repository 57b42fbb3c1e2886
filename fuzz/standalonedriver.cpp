// Runs a fuzz target without libFuzzer: every file of the folders given
// once, then, with -max_total_time=SECONDS, random mutations of them until
// the time is up. -seed=N repeats a run. A file that crashes is named; a
// mutation that crashes is written to crash-input, after the
// -artifact_prefix given (as libFuzzer does). Other libFuzzer options are
// ignored.

#include <QDir>
#include <QElapsedTimer>
#include <QList>
#include <QRandomGenerator>

#include <csignal>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

#include "common.h"
#include "support/testsupport.h"

namespace {

QByteArray crashPath = "crash-input";
QByteArray current;
// What names the file being replayed, empty while mutations run.
QByteArray currentFile;

// Only what is safe in a signal handler: out with write().
void keepCrashingInput(int signal)
{
    if (!currentFile.isEmpty()) {
        [[maybe_unused]] ssize_t written = write(STDERR_FILENO, currentFile.constData(), size_t(currentFile.size()));
    } else if (int fd = open(crashPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644); fd >= 0) {
        [[maybe_unused]] ssize_t written = write(fd, current.constData(), size_t(current.size()));
        close(fd);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

int run(const QByteArray& input)
{
    current = input;
    return LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.constData()), size_t(input.size()));
}

struct Input
{
    // What a crash while it runs prints.
    QByteArray note;
    QByteArray bytes;
};

QByteArray mutate(const QList<QByteArray>& inputs, QRandomGenerator& random)
{
    QByteArray bytes = inputs.value(random.bounded(qMax(1, int(inputs.size()))));
    for (int edits = 1 + random.bounded(4); edits > 0; edits--) {
        int at = bytes.isEmpty() ? 0 : random.bounded(int(bytes.size()));
        switch (random.bounded(5)) {
        case 0: bytes.insert(at, char(random.bounded(256))); break;
        case 1: bytes.remove(at, 1 + random.bounded(8)); break;
        case 2: bytes.truncate(at); break;
        case 3: bytes.append(inputs.value(random.bounded(qMax(1, int(inputs.size())))).mid(at)); break;
        default:
            if (!bytes.isEmpty())
                bytes[at] = char(bytes[at] ^ (1 << random.bounded(8)));
        }
    }
    return bytes;
}

}

int main(int argc, char** argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    int seconds = 0;
    quint32 seed = QRandomGenerator::global()->generate();
    QList<Input> files;
    for (int i = 1; i < argc; i++) {
        QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg.startsWith("-max_total_time="))
            seconds = arg.section('=', 1).toInt();
        else if (arg.startsWith("-seed="))
            seed = arg.section('=', 1).toUInt();
        else if (arg.startsWith("-artifact_prefix="))
            crashPath = arg.section('=', 1).toLocal8Bit() + "crash-input";
        else if (!arg.startsWith('-'))
            for (const QFileInfo& file : QDir(arg).entryInfoList(QDir::Files, QDir::Name))
                files.append({"failing input: " + file.filePath().toLocal8Bit() + "\n",
                              TestSupport::readFile(file.filePath())});
    }
    for (int signal : {SIGABRT, SIGSEGV, SIGFPE, SIGILL, SIGBUS})
        std::signal(signal, keepCrashingInput);
    QList<QByteArray> inputs;
    for (const Input& file : files) {
        currentFile = file.note;
        run(file.bytes);
        inputs.append(file.bytes);
    }
    currentFile.clear();
    printf("replayed %lld inputs\n", (long long)inputs.size());
    fflush(stdout);
    if (seconds <= 0)
        return 0;

    QRandomGenerator random(seed);
    QElapsedTimer timer;
    timer.start();
    long long executions = 0;
    while (timer.elapsed() < seconds * 1000LL) {
        run(mutate(inputs, random));
        executions++;
    }
    printf("#%lld DONE mutations of %lld inputs in %d s, seed %u\n", executions, (long long)inputs.size(), seconds,
           seed);
    return 0;
}
