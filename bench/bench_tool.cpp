// tarvik-tool unscramble of a 512 MB file into a pipe, against cat of the same file into the
// same kind of pipe, in the same run; each drained by cat into /dev/null:
//   throughput ratio (time of the tool / time of cat)          (target <= 1.5)
//   the tool's peak resident memory                            (target < 64 MB)
//   bench_tool TARVIK_TOOL [MB]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

// Runs Argv with its output through a pipe into "cat > /dev/null"; the seconds it took and the
// first program's peak resident memory in KB.
std::pair<double, long> Piped(std::vector<std::string> argv)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        std::exit(2);
    const auto start = std::chrono::steady_clock::now();
    posix_spawn_file_actions_t first, second;
    posix_spawn_file_actions_init(&first);
    posix_spawn_file_actions_adddup2(&first, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&first, pipeFds[0]);
    posix_spawn_file_actions_init(&second);
    posix_spawn_file_actions_adddup2(&second, pipeFds[0], 0);
    posix_spawn_file_actions_addclose(&second, pipeFds[1]);
    posix_spawn_file_actions_addopen(&second, 1, "/dev/null", O_WRONLY, 0);
    std::vector<char *> args;
    for (std::string &a : argv)
        args.push_back(a.data());
    args.push_back(nullptr);
    char cat[] = "cat";
    char *drain[] = {cat, nullptr};
    pid_t producer = 0, consumer = 0;
    posix_spawnp(&producer, args[0], &first, nullptr, args.data(), environ);
    posix_spawnp(&consumer, "cat", &second, nullptr, drain, environ);
    close(pipeFds[0]);
    close(pipeFds[1]);
    int status = 0;
    rusage usage{};
    wait4(producer, &status, 0, &usage);
    waitpid(consumer, &status, 0);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return {seconds, usage.ru_maxrss};
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_tool TARVIK_TOOL [MB]\n");
        return 2;
    }
    const std::string tool = argv[1];
    const int mb = argc > 2 ? std::atoi(argv[2]) : 512;
    char folder[] = "/tmp/bench_tool_XXXXXX";
    if (!mkdtemp(folder))
        return 2;
    const std::string plain = std::string(folder) + "/plain",
                      scrambled = std::string(folder) + "/big.fzr";
    {
        FILE *f = std::fopen(plain.c_str(), "wb");
        std::vector<char> block(1 << 20);
        unsigned x = 12345;
        for (int i = 0; i < mb; ++i) {
            for (char &c : block)
                c = char((x = x * 1103515245u + 12345u) >> 24);
            std::fwrite(block.data(), 1, block.size(), f);
        }
        std::fclose(f);
    }
    Piped({tool, "scramble", "--key", "report", plain, scrambled});
    std::remove(plain.c_str());
    for (int round = 0; round < 3; ++round) {
        double cat = 1e30, ours = 1e30;
        long peak = 0;
        for (int i = 0; i < 3; ++i) {
            cat = std::min(cat, Piped({"cat", scrambled}).first);
            const auto [seconds, kb] =
                Piped({tool, "unscramble", "--key", "report", scrambled, "-"});
            ours = std::min(ours, seconds);
            peak = std::max(peak, kb);
        }
        std::printf("%d MB: cat %.0f ms (%.0f MB/s), unscramble %.0f ms (%.0f MB/s): ratio %.2f "
                    "(target <= 1.5); "
                    "peak memory %.1f MB (target < 64)\n",
                    mb, cat * 1e3, mb / cat, ours * 1e3, mb / ours, ours / cat, peak / 1024.0);
    }
    std::remove(scrambled.c_str());
    rmdir(folder);
    return 0;
}
