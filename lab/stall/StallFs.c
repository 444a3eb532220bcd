/* A folder whose one file answers no read until it is let go: a server that stopped answering
 * in the middle of a file, on this machine. A FUSE file system (libfuse 3), built natively beside
 * the lab provider and started by the tests that need it, through Wine, as a Unix program:
 *
 *   stallfs MOUNTPOINT RELEASE_FILE
 *
 * MOUNTPOINT shows "stalled.txt" (1 MiB, the text "Invoice 2024-117 " over and over). Every read
 * of it waits until RELEASE_FILE exists (two minutes at most), then answers. Reads bypass the
 * page cache, so each one reaches this program. The mount goes when the program ends, however it
 * ends (auto_unmount); it ends by itself after ten minutes, so that a test that died cannot leave
 * it behind for long. */
#define FUSE_USE_VERSION 31
#include <errno.h>
#include <fuse.h>
#include <signal.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static const char* releaseFile;
static const char kText[] = "Invoice 2024-117 ";
enum { kSize = 1 << 20 };

static int stallGetattr(const char* path, struct stat* st, struct fuse_file_info* fi) {
    (void)fi;
    memset(st, 0, sizeof *st);
    if (!strcmp(path, "/")) {
        st->st_mode = S_IFDIR | 0755;
        st->st_nlink = 2;
        return 0;
    }
    if (!strcmp(path, "/stalled.txt")) {
        st->st_mode = S_IFREG | 0444;
        st->st_nlink = 1;
        st->st_size = kSize;
        return 0;
    }
    return -ENOENT;
}

static int stallReaddir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t offset,
                        struct fuse_file_info* fi, enum fuse_readdir_flags flags) {
    (void)offset, (void)fi, (void)flags;
    if (strcmp(path, "/")) return -ENOENT;
    fill(buffer, ".", NULL, 0, 0);
    fill(buffer, "..", NULL, 0, 0);
    fill(buffer, "stalled.txt", NULL, 0, 0);
    return 0;
}

static int stallOpen(const char* path, struct fuse_file_info* fi) {
    if (strcmp(path, "/stalled.txt")) return -ENOENT;
    fi->direct_io = 1;
    return 0;
}

static int stallRead(const char* path, char* buffer, size_t size, off_t offset,
                     struct fuse_file_info* fi) {
    (void)path, (void)fi;
    for (int i = 0; i < 6000 && access(releaseFile, F_OK) != 0; ++i)
        usleep(20000);
    if (offset >= kSize) return 0;
    if (offset + (off_t)size > kSize) size = (size_t)(kSize - offset);
    for (size_t i = 0; i < size; ++i)
        buffer[i] = kText[(size_t)(offset + (off_t)i) % (sizeof kText - 1)];
    return (int)size;
}

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    releaseFile = argv[2];
    alarm(600);
    static const struct fuse_operations operations = {
        .getattr = stallGetattr,
        .open = stallOpen,
        .read = stallRead,
        .readdir = stallReaddir,
    };
    char* args[] = {argv[0], "-f", "-o", "auto_unmount,max_threads=16", argv[1], NULL};
    return fuse_main(5, args, &operations, NULL);
}
