/* Runs one command and writes its cost to a file:
 *
 *   runstat OUTFILE CMD [ARG...]
 *
 * OUTFILE gets "wall_s user_s sys_s maxrss_kb exit_code". The command is
 * forked from this small process so that its peak RSS is its own. The exit
 * code is 128+N for a command killed by signal N. SIGTERM and SIGINT are
 * passed on to the command.
 */
#define _GNU_SOURCE
#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static volatile pid_t child;

static void forward(int sig)
{
    if (child > 0)
        kill(child, sig);
}

static double tv_s(struct timeval tv)
{
    return (double)tv.tv_sec + (double)tv.tv_usec / 1e6;
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: runstat OUTFILE CMD [ARG...]\n");
        return 125;
    }
    FILE *out = fopen(argv[1], "we");
    if (!out) {
        perror(argv[1]);
        return 125;
    }
    struct timespec t0, t1;
    clock_gettime(CLOCK_MONOTONIC, &t0);
    pid_t pid = fork();
    if (pid < 0) {
        perror("fork");
        return 125;
    }
    if (pid == 0) {
        execvp(argv[2], argv + 2);
        perror(argv[2]);
        _exit(127);
    }
    child = pid;
    signal(SIGTERM, forward);
    signal(SIGINT, forward);
    int status;
    struct rusage ru;
    while (wait4(pid, &status, 0, &ru) < 0) {
        if (errno != EINTR) {
            perror("wait4");
            return 125;
        }
    }
    clock_gettime(CLOCK_MONOTONIC, &t1);
    double wall = (double)(t1.tv_sec - t0.tv_sec) + (double)(t1.tv_nsec - t0.tv_nsec) / 1e9;
    int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    fprintf(out, "%.6f %.6f %.6f %ld %d\n", wall, tv_s(ru.ru_utime), tv_s(ru.ru_stime),
            ru.ru_maxrss, code);
    fclose(out);
    return code;
}
