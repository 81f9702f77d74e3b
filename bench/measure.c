/* hushgate-measure OUTPUT PROGRAM [ARGUMENT...]
 *
 * Runs PROGRAM with its standard output sent to OUTPUT and prints what the
 * kernel accounted to it: "EXIT CPU_MICROSECONDS PEAK_RSS_KIB" (EXIT is minus
 * the signal number when a signal ended it).
 *
 * hushgate-bench starts every measured program through this one, because a
 * program that posix_spawn starts shares its parent's memory until it execs,
 * and the kernel counts what that memory held at exec into the new program's
 * peak: started straight from hushgate-bench, a 1 MiB program was seen with
 * 5.6 MiB (Linux 6.18), and with 20 MiB once the parent's heap held that
 * much. Started from here, what is counted in is this small program's. */

#define _DEFAULT_SOURCE /* wait4 */

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

int main(int argc, char** argv) {
    if (argc < 3) {
        fputs("usage: hushgate-measure OUTPUT PROGRAM [ARGUMENT...]\n", stderr);
        return 2;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, argv[1], O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = 0;
    const int err = posix_spawn(&pid, argv[2], &actions, NULL, argv + 2, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (err != 0) {
        fprintf(stderr, "hushgate-measure: cannot start %s: %s\n", argv[2], strerror(err));
        return 3;
    }
    int status = 0;
    struct rusage usage;
    while (wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            fprintf(stderr, "hushgate-measure: wait4: %s\n", strerror(errno));
            return 3;
        }
    }
    const long long cpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000LL +
                          usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
    printf("%d %lld %ld\n", WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status), cpu,
           usage.ru_maxrss);
    return fflush(stdout) == 0 ? 0 : 3;
}
