#include "extraction/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

char sound_path_separator() {
    return '/';
}

std::FILE* open_resource_file(const char* name) {
    // O_NONBLOCK keeps open() from waiting for a writer when the name is a FIFO; for a regular
    // file it changes nothing.
    const int fd = open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "rb");
    if (file == nullptr) {
        close(fd);
    }
    return file;
}

std::int64_t measure_file(std::FILE* file) {
    if (fseeko(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const off_t size = ftello(file);
    if (fseeko(file, 0, SEEK_SET) != 0) {
        return -1;
    }
    return static_cast<std::int64_t>(size);
}
