/* Copies one large file and a folder of small files to a handset and back through libimobiledevice's AFC
 * client and prints the throughput of each of the four copies, as the reference for Pelican's own client.
 *   native_bench DATA_FOLDER WORK_FOLDER
 * DATA_FOLDER holds large.bin and small/ (made by run.sh); what comes back from the handset goes to
 * WORK_FOLDER. On the handset the copies go to /PelicanBench-native, removed again at the end.
 * Output lines "RESULT <copy> <MiB/s>" are what run.sh compares. */
#include <dirent.h>
#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>

#include <libimobiledevice/afc.h>
#include <libimobiledevice/libimobiledevice.h>
#include <libimobiledevice/lockdown.h>

#define CHUNK (1 << 20)
#define DEVICE_FOLDER "/PelicanBench-native"

static afc_client_t afc;
static char chunk[CHUNK];

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

static int fail(const char *what, const char *path, int code) {
    fprintf(stderr, "native_bench: %s %s failed (%d)\n", what, path, code);
    return -1;
}

/* A path that does not fit is an error, never cut short. */
static int join(char *out, size_t size, const char *folder, const char *name) {
    int n = snprintf(out, size, "%s/%s", folder, name);
    if (n < 0 || (size_t)n >= size) {
        fprintf(stderr, "native_bench: path too long: %s/%s\n", folder, name);
        return -1;
    }
    return 0;
}

/* Returns the bytes copied, or -1. */
static int64_t to_device(const char *pc_path, const char *device_path) {
    FILE *in = fopen(pc_path, "rb");
    if (!in) return fail("open", pc_path, errno);
    uint64_t handle = 0;
    afc_error_t err = afc_file_open(afc, device_path, AFC_FOPEN_WRONLY, &handle);
    if (err != AFC_E_SUCCESS) {
        fclose(in);
        return fail("afc open", device_path, err);
    }
    int64_t total = 0;
    size_t n;
    while ((n = fread(chunk, 1, CHUNK, in)) > 0) {
        uint32_t written = 0;
        err = afc_file_write(afc, handle, chunk, (uint32_t)n, &written);
        if (err != AFC_E_SUCCESS || written != n) {
            total = fail("afc write", device_path, err);
            break;
        }
        total += n;
    }
    fclose(in);
    afc_file_close(afc, handle);
    return total;
}

static int64_t to_pc(const char *device_path, const char *pc_path) {
    uint64_t handle = 0;
    afc_error_t err = afc_file_open(afc, device_path, AFC_FOPEN_RDONLY, &handle);
    if (err != AFC_E_SUCCESS) return fail("afc open", device_path, err);
    FILE *out = fopen(pc_path, "wb");
    if (!out) {
        afc_file_close(afc, handle);
        return fail("create", pc_path, errno);
    }
    int64_t total = 0;
    for (;;) {
        uint32_t got = 0;
        err = afc_file_read(afc, handle, chunk, CHUNK, &got);
        if (err != AFC_E_SUCCESS) {
            total = fail("afc read", device_path, err);
            break;
        }
        if (got == 0) break;
        if (fwrite(chunk, 1, got, out) != got) {
            total = fail("write", pc_path, errno);
            break;
        }
        total += got;
    }
    fclose(out);
    afc_file_close(afc, handle);
    return total;
}

static void report(const char *name, int64_t bytes, double seconds, int files) {
    double mib = bytes / 1048576.0;
    printf("libimobiledevice %-16s %4d file(s) %8.1f MiB in %6.2f s = %8.1f MiB/s\n", name, files, mib, seconds,
           mib / seconds);
    printf("RESULT %s %.3f\n", name, mib / seconds);
}

/* Copies every file of a PC folder into a device folder (or back, when back is set). */
static int copy_folder(const char *pc_folder, const char *device_folder, int back, int64_t *bytes) {
    char pc[4096], dev[4096];
    int files = 0;
    *bytes = 0;
    if (!back) {
        DIR *d = opendir(pc_folder);
        if (!d) return fail("opendir", pc_folder, errno);
        afc_make_directory(afc, device_folder);
        struct dirent *e;
        while ((e = readdir(d)) != NULL) {
            if (e->d_name[0] == '.') continue;
            if (join(pc, sizeof pc, pc_folder, e->d_name) || join(dev, sizeof dev, device_folder, e->d_name)) break;
            int64_t n = to_device(pc, dev);
            if (n < 0) break;
            *bytes += n;
            ++files;
        }
        closedir(d);
        return files;
    }
    char **names = NULL;
    afc_error_t err = afc_read_directory(afc, device_folder, &names);
    if (err != AFC_E_SUCCESS) return fail("afc read directory", device_folder, err);
    mkdir(pc_folder, 0755);
    for (char **name = names; *name; ++name) {
        if ((*name)[0] == '.') continue;
        if (join(pc, sizeof pc, pc_folder, *name) || join(dev, sizeof dev, device_folder, *name)) break;
        int64_t n = to_pc(dev, pc);
        if (n < 0) break;
        *bytes += n;
        ++files;
    }
    afc_dictionary_free(names);
    return files;
}

int main(int argc, char **argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s DATA_FOLDER WORK_FOLDER\n", argv[0]);
        return 2;
    }
    const char *data = argv[1], *work = argv[2];
    idevice_t device = NULL;
    lockdownd_client_t lockdown = NULL;
    lockdownd_service_descriptor_t service = NULL;
    if (idevice_new(&device, NULL) != IDEVICE_E_SUCCESS) {
        fprintf(stderr, "native_bench: no handset found\n");
        return 1;
    }
    lockdownd_error_t lerr = lockdownd_client_new_with_handshake(device, &lockdown, "native_bench");
    if (lerr == LOCKDOWN_E_SUCCESS) lerr = lockdownd_start_service(lockdown, "com.apple.afc", &service);
    if (lerr != LOCKDOWN_E_SUCCESS || afc_client_new(device, service, &afc) != AFC_E_SUCCESS) {
        fprintf(stderr, "native_bench: no AFC service (%d)\n", lerr);
        return 1;
    }
    afc_remove_path_and_contents(afc, DEVICE_FOLDER);
    afc_make_directory(afc, DEVICE_FOLDER);

    char pc[4096], pc2[4096];
    int status = 0;
    if (join(pc, sizeof pc, data, "large.bin") || join(pc2, sizeof pc2, work, "large.bin")) return 2;
    double t = now();
    int64_t n = to_device(pc, DEVICE_FOLDER "/large.bin");
    if (n < 0) status = 1; else report("large-to-handset", n, now() - t, 1);
    t = now();
    n = to_pc(DEVICE_FOLDER "/large.bin", pc2);
    if (n < 0) status = 1; else report("large-to-pc", n, now() - t, 1);

    if (join(pc, sizeof pc, data, "small") || join(pc2, sizeof pc2, work, "small")) return 2;
    t = now();
    int files = copy_folder(pc, DEVICE_FOLDER "/small", 0, &n);
    if (files < 0) status = 1; else report("small-to-handset", n, now() - t, files);
    t = now();
    files = copy_folder(pc2, DEVICE_FOLDER "/small", 1, &n);
    if (files < 0) status = 1; else report("small-to-pc", n, now() - t, files);

    afc_remove_path_and_contents(afc, DEVICE_FOLDER);
    afc_client_free(afc);
    lockdownd_service_descriptor_free(service);
    lockdownd_client_free(lockdown);
    idevice_free(device);
    return status;
}
