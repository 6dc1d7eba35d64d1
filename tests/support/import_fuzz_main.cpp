// import_fuzz SECONDS [SEED]: the importers' fuzzing loop on its own, for long
// runs under the sanitizers.

#include "import_fuzzing.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10;
    const quint32 seed = argc > 2 ? quint32(std::strtoul(argv[2], nullptr, 10)) : 1;
    const qint64 documents = testing_support::fuzzImporters(seed, seconds);
    std::printf("import_fuzz: %lld documents read in %.0f s, seed %u\n",
                static_cast<long long>(documents), seconds, seed);
    return 0;
}
