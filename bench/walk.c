/* The floor of a listing: visits every entry of a tree with readdir and
 * fstatat (no symlink following) and prints one summary line:
 *
 *   walk DIR      ->  files=N dirs=N other=N bytes=N
 *
 * dirs counts DIR itself; exit 1 when an entry could not be read.
 */
#define _GNU_SOURCE
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

static unsigned long long files, dirs = 1, other, bytes;
static int errors;

static void walk(int fd)
{
    DIR *d = fdopendir(fd);
    if (!d) {
        close(fd);
        errors++;
        return;
    }
    struct dirent *e;
    while ((e = readdir(d)) != NULL) {
        const char *n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        struct stat st;
        if (fstatat(dirfd(d), n, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            errors++;
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            dirs++;
            int sub = openat(dirfd(d), n, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub < 0)
                errors++;
            else
                walk(sub);
            continue;
        }
        if (S_ISREG(st.st_mode))
            files++;
        else
            other++;
        bytes += (unsigned long long)st.st_size;
    }
    closedir(d);
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: walk DIR\n");
        return 2;
    }
    int fd = open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        perror(argv[1]);
        return 1;
    }
    walk(fd);
    printf("files=%llu dirs=%llu other=%llu bytes=%llu\n", files, dirs, other, bytes);
    if (errors)
        fprintf(stderr, "walk: %d entries could not be read\n", errors);
    return errors ? 1 : 0;
}
