// Runs a program to its end and prints, after whatever the program printed,
// one line with what the kernel counted for its process: CPU time (user plus
// system) in microseconds, peak resident memory in kilobytes and the exit
// status (the signal number plus 128 when it was killed):
//   kalvo_rusage <program> [arguments...]
// A program still running after 60 seconds is killed.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

namespace {

pid_t gChild = 0;

void KillChild(int) {
    if (gChild > 0) kill(gChild, SIGKILL);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <program> [arguments...]\n", argv[0]);
        return 2;
    }
    std::fflush(stdout);
    gChild = fork();
    if (gChild < 0) {
        std::perror("fork");
        return 2;
    }
    if (gChild == 0) {
        execvp(argv[1], argv + 1);
        std::perror(argv[1]);
        _exit(127);
    }
    std::signal(SIGALRM, KillChild);
    alarm(60);
    int status = 0;
    rusage usage{};
    while (wait4(gChild, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            std::perror("wait4");
            return 2;
        }
    }
    alarm(0);
    const long long cpu = (static_cast<long long>(usage.ru_utime.tv_sec) + usage.ru_stime.tv_sec) * 1000000LL +
                          usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::printf("%lld %ld %d\n", cpu, usage.ru_maxrss, code);
    return 0;
}
