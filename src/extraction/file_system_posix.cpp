#include "extraction/file_system.h"

#include <cstdint>

#include <fcntl.h>
#include <sys/mman.h>
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

namespace {

constexpr std::uint64_t HUGE_PAGE_SIZE = std::uint64_t{2} << 20;

std::uint64_t round_to_huge_pages(std::uint64_t size) {
    return (size + HUGE_PAGE_SIZE - 1) / HUGE_PAGE_SIZE * HUGE_PAGE_SIZE;
}

}  // namespace

unsigned char* allocate_data_block(std::int64_t& size) {
    if (size <= 0 || static_cast<std::uint64_t>(size) > SIZE_MAX - 2 * HUGE_PAGE_SIZE) {
        return nullptr;
    }
    // Huge pages need 2 MiB alignment: map one huge page more than needed and trim both ends.
    const std::uint64_t length = round_to_huge_pages(static_cast<std::uint64_t>(size));
    const std::uint64_t span = length + HUGE_PAGE_SIZE;
    void* mapping = mmap(nullptr, static_cast<std::size_t>(span), PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) {
        return nullptr;
    }
    const auto base = reinterpret_cast<std::uintptr_t>(mapping);
    const std::uintptr_t start = static_cast<std::uintptr_t>(round_to_huge_pages(base));
    const std::uintptr_t head = start - base;
    const std::uintptr_t tail =
        static_cast<std::uintptr_t>(span) - head - static_cast<std::uintptr_t>(length);
    if (head != 0) {
        munmap(mapping, head);
    }
    if (tail != 0) {
        munmap(reinterpret_cast<void*>(start + length), tail);
    }
    auto* block = reinterpret_cast<unsigned char*>(start);
    size = static_cast<std::int64_t>(length);
#ifdef MADV_HUGEPAGE
    // Only a request: where transparent huge pages are off the block works as well, more slowly.
    madvise(block, static_cast<std::size_t>(length), MADV_HUGEPAGE);
#endif
    return block;
}

void release_data_block(unsigned char* block, std::int64_t size) {
    if (block != nullptr) {
        munmap(block,
               static_cast<std::size_t>(round_to_huge_pages(static_cast<std::uint64_t>(size))));
    }
}
