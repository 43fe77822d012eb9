// Replays a fuzzing target's corpus without libFuzzer: every regular file below the
// directories (or the files) named on the command line goes to the target's entry
// function once, in path order. A failed property or a sanitizer report ends the run;
// finding no input at all is an error too, so that a wrong path cannot pass.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> inputsBelow(const std::filesystem::path& path)
{
    std::vector<std::filesystem::path> inputs;
    if (std::filesystem::is_regular_file(path)) {
        inputs.push_back(path);
    } else if (std::filesystem::is_directory(path)) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
            if (entry.is_regular_file())
                inputs.push_back(entry.path());
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

} // namespace

int main(int argc, char** argv)
{
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const std::filesystem::path& input : inputsBelow(argv[i])) {
            std::ifstream file(input, std::ios::binary);
            // An exact-size buffer, so that a read past the input's end is caught.
            const std::vector<char> content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            std::vector<std::uint8_t> data(content.begin(), content.end());
            LLVMFuzzerTestOneInput(data.data(), data.size());
            ++replayed;
        }
    }
    std::printf("Replayed %zu inputs\n", replayed);
    return replayed > 0 ? 0 : 1;
}
