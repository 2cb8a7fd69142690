// Runs the fuzz target once over each file named on the command line, so that
// builds without libFuzzer (the Windows one among them) check the corpus.
#include <cstdint>
#include <cstdio>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; i++) {
        std::FILE *f = std::fopen(argv[i], "rb");
        if (!f) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        std::vector<uint8_t> data;
        for (int c; (c = std::fgetc(f)) != EOF;)
            data.push_back((uint8_t)c);
        std::fclose(f);
        LLVMFuzzerTestOneInput(data.data(), data.size());
    }
    std::printf("%d inputs passed\n", argc - 1);
    return 0;
}
