// Our MD5 against md5sum on the same file, both reading it from the page cache: the
// segmented download hashes every byte it receives, so this bounds its speed.
//   md5_bench [file]   (default: 1 GiB of random bytes in a temporary file)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "download/md5.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

bool writeRandomFile(const std::string& path, std::size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::mt19937_64 generator(42);
    std::vector<std::uint64_t> block(1 << 17);  // 1 MiB
    for (std::size_t done = 0; done < size; done += block.size() * 8) {
        for (auto& word : block) word = generator();
        std::fwrite(block.data(), 8, block.size(), file);
    }
    return std::fclose(file) == 0;
}

std::string ourDigest(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return "cannot read";
    std::vector<unsigned char> buffer(1 << 20);
    Md5 md5;
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0;) md5.update(buffer.data(), n);
    std::fclose(file);
    return md5.finishHex();
}

std::string md5sumDigest(const std::string& path) {
    FILE* pipe = popen(("md5sum '" + path + "'").c_str(), "r");
    char line[64] = {};
    const bool read = pipe && std::fgets(line, sizeof line, pipe);
    if (pipe) pclose(pipe);
    return read ? std::string(line, 32) : "md5sum failed";
}

}  // namespace

int main(int argc, char** argv) {
    std::string path = argc > 1 ? argv[1] : "";
    const bool own = path.empty();
    if (own) {
        path = "/tmp/md5-bench-" + std::to_string(std::random_device()()) + ".bin";
        if (!writeRandomFile(path, std::size_t(1) << 30)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    ourDigest(path);  // both start from the page cache
    double ours = 1e9, reference = 1e9;
    std::string a, b;
    for (int round = 0; round < 3; ++round) {
        auto start = Clock::now();
        b = md5sumDigest(path);
        reference = std::min(reference, seconds(start));
        start = Clock::now();
        a = ourDigest(path);
        ours = std::min(ours, seconds(start));
    }
    if (own) std::remove(path.c_str());
    std::printf("digest            %s (md5sum %s)\n", a.c_str(), a == b ? "agrees" : ("says " + b).c_str());
    std::printf("md5sum            %8.3f s\n", reference);
    std::printf("our MD5           %8.3f s\n", ours);
    std::printf("ratio             %8.2f   (md5sum time / our time; goal at least 0.95)\n", reference / ours);
    return a == b ? 0 : 1;
}
