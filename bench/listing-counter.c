/* A read-only view of a folder, mounted over that same folder, that counts how often a folder is
 * read from its start: each count is one listing of a folder, whoever asked for it (Wine's
 * directory calls, or a Samba server whose shares lie below). Built natively by
 * bench/listing-count.sh:
 *
 *   listing-counter FOLDER COUNT_FILE [FUSE options]
 *
 * FOLDER is opened before the mount and served through that handle, so the view shows exactly
 * what was there. After every listing COUNT_FILE holds "LISTINGS OPENS": folder reads from the
 * start, and folder opens (an open need not list: Wine opens a folder to get its handle, then
 * reads it once per listing). Unmount with fusermount3 -u FOLDER. */
#define FUSE_USE_VERSION 31
#define _GNU_SOURCE

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <fuse.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

static int base = -1;
static int countFile = -1;
static unsigned long listings, opens;
static pthread_mutex_t countLock = PTHREAD_MUTEX_INITIALIZER;

/* "/" is the folder itself; every other path is relative to it. */
static const char* relative(const char* path) {
    return path[1] == '\0' ? "." : path + 1;
}

/* countLock held. */
static void writeCounts(void) {
    char text[64];
    int n = snprintf(text, sizeof text, "%lu %lu\n", listings, opens);
    if (pwrite(countFile, text, (size_t)n, 0) == n && ftruncate(countFile, n) != 0) n = 0;
}

static void count(unsigned long* counter) {
    pthread_mutex_lock(&countLock);
    ++*counter;
    writeCounts();
    pthread_mutex_unlock(&countLock);
}

static int viewGetattr(const char* path, struct stat* st, struct fuse_file_info* fi) {
    (void)fi;
    return fstatat(base, relative(path), st, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : -errno;
}

static int viewReadlink(const char* path, char* buffer, size_t size) {
    ssize_t n = readlinkat(base, relative(path), buffer, size - 1);
    if (n < 0) return -errno;
    buffer[n] = '\0';
    return 0;
}

static int viewOpendir(const char* path, struct fuse_file_info* fi) {
    (void)fi;
    int fd = openat(base, relative(path), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return -errno;
    close(fd);
    count(&opens);
    return 0;
}

/* The whole folder at once: the library asks again only when a reader starts over. */
static int viewReaddir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t offset,
                       struct fuse_file_info* fi, enum fuse_readdir_flags flags) {
    (void)offset;
    (void)fi;
    (void)flags;
    int fd = openat(base, relative(path), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return -errno;
    DIR* folder = fdopendir(fd);
    if (!folder) {
        close(fd);
        return -errno;
    }
    struct dirent* entry;
    while ((entry = readdir(folder)) != NULL) {
        struct stat st;
        memset(&st, 0, sizeof st);
        st.st_ino = entry->d_ino;
        st.st_mode = (mode_t)(entry->d_type << 12);
        if (fill(buffer, entry->d_name, &st, 0, 0)) break;
    }
    closedir(folder);
    count(&listings);
    return 0;
}

static int viewOpen(const char* path, struct fuse_file_info* fi) {
    if ((fi->flags & O_ACCMODE) != O_RDONLY) return -EROFS;
    int fd = openat(base, relative(path), fi->flags);
    if (fd < 0) return -errno;
    fi->fh = (uint64_t)fd;
    return 0;
}

static int viewRead(const char* path, char* buffer, size_t size, off_t offset,
                    struct fuse_file_info* fi) {
    (void)path;
    ssize_t n = pread((int)fi->fh, buffer, size, offset);
    return n < 0 ? -errno : (int)n;
}

static int viewRelease(const char* path, struct fuse_file_info* fi) {
    (void)path;
    close((int)fi->fh);
    return 0;
}

static int viewStatfs(const char* path, struct statvfs* st) {
    (void)path;
    return fstatvfs(base, st) == 0 ? 0 : -errno;
}

static int viewAccess(const char* path, int mode) {
    if (mode & W_OK) return -EROFS;
    return faccessat(base, relative(path), mode, 0) == 0 ? 0 : -errno;
}

static const struct fuse_operations operations = {
    .getattr = viewGetattr,
    .readlink = viewReadlink,
    .open = viewOpen,
    .read = viewRead,
    .release = viewRelease,
    .statfs = viewStatfs,
    .opendir = viewOpendir,
    .readdir = viewReaddir,
    .access = viewAccess,
};

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: listing-counter FOLDER COUNT_FILE [FUSE options]\n");
        return 2;
    }
    base = open(argv[1], O_RDONLY | O_DIRECTORY);
    if (base < 0) {
        perror(argv[1]);
        return 1;
    }
    countFile = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (countFile < 0) {
        perror(argv[2]);
        return 1;
    }
    writeCounts(); /* "0 0": the file is never empty */
    /* fuse_main(program, options..., mountpoint): the folder itself is the mount point. */
    char** args = calloc((size_t)argc + 2, sizeof *args);
    int n = 0;
    args[n++] = argv[0];
    for (int i = 3; i < argc; ++i)
        args[n++] = argv[i];
    args[n++] = "-o";
    args[n++] = "ro";
    args[n++] = argv[1];
    return fuse_main(n, args, &operations, NULL);
}
