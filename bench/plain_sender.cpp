// The baseline of the transfer benchmark: the least a file transfer to the
// simulator can cost. It connects to the file port, writes the announcement
// of the file, then its content with blocking 1 MiB read() and write()
// calls, and closes. On standard output it prints when the content began
// (CLOCK_MONOTONIC, nanoseconds).
//
//   bench_plain_sender HOST PORT FILE NAME
//
// It also starts the other programs the benchmark measures, so that their
// peak memory is their own:
//
//   bench_plain_sender --launch PROGRAM ARGS...
//
// runs the program and, once it has ended, writes "launch-maxrss=KIB" as
// the last line of standard error. A program started straight from the
// benchmark would report the benchmark's own peak instead (Linux counts the
// memory a process had before exec into the peak of what it runs), while
// this launcher is small.
#include <arpa/inet.h>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

bool writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

int launch(char **argv)
{
    pid_t pid = -1;
    if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0) {
        std::perror(argv[0]);
        return 127;
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    std::fprintf(stderr, "\nlaunch-maxrss=%ld\n", usage.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 2 && std::strcmp(argv[1], "--launch") == 0)
        return launch(argv + 2);
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s HOST PORT FILE NAME\n", argv[0]);
        return 2;
    }
    const int file = ::open(argv[3], O_RDONLY | O_CLOEXEC);
    struct stat st{};
    if (file < 0 || ::fstat(file, &st) != 0) {
        std::perror(argv[3]);
        return 1;
    }
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(uint16_t(std::atoi(argv[2])));
    if (::inet_pton(AF_INET, argv[1], &addr.sin_addr) != 1
        || ::connect(s, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        std::perror("connect");
        return 1;
    }

    // 5104: window 01, type 03 (video), the name with its 2-byte count, the
    // content's length in 8 bytes, all big-endian.
    const std::string name = argv[4];
    std::string frame("AND\x01\x51\x04\x01\x03", 8);
    frame += char(name.size() >> 8);
    frame += char(name.size() & 0xff);
    frame += name;
    const uint64_t length = uint64_t(st.st_size);
    for (int shift = 56; shift >= 0; shift -= 8)
        frame += char((length >> shift) & 0xff);
    if (!writeAll(s, frame.data(), frame.size())) {
        std::perror("write");
        return 1;
    }

    timespec began{};
    ::clock_gettime(CLOCK_MONOTONIC, &began);
    std::vector<char> buffer(1 << 20);
    uint64_t sent = 0;
    while (sent < length) {
        const ssize_t n = ::read(file, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || !writeAll(s, buffer.data(), size_t(n))) {
            std::perror("send");
            return 1;
        }
        sent += uint64_t(n);
    }
    ::close(s);
    ::close(file);
    std::printf("%lld\n", (long long)began.tv_sec * 1000000000LL + began.tv_nsec);
    return 0;
}
