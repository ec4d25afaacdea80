// A stand-in for a start of Zorvane in the single-instance tests: claims the
// single instance and says on standard output what became of it. The first
// copy runs until its standard input closes.
#include "shell/single_instance.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cstdio>

#include <unistd.h>

using namespace zorvane;

namespace {

void say(const char *line)
{
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    SingleInstance instance;
    switch (instance.claim()) {
    case SingleInstance::Claim::AlreadyRunning: {
        const bool delivered = instance.activateRunning();
        say(delivered ? "delivered" : "undelivered");
        return delivered ? 0 : 3;
    }
    case SingleInstance::Claim::Unguarded:
        say("unguarded");
        return 4;
    case SingleInstance::Claim::First:
        break;
    }
    QObject::connect(&instance, &SingleInstance::activated, [] { say("activated"); });
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char c = 0;
        if (::read(STDIN_FILENO, &c, 1) <= 0) {
            input.setEnabled(false);
            instance.release();
            QCoreApplication::quit();
        }
    });
    say("first");
    return QCoreApplication::exec();
}
