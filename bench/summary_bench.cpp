// The results summary's reader on the host: results files of 1,000, 10,000
// and 125,000 rows, a year of one station, summarised as the window does it
// (the lines counted, the table started, the rows read and the gloves
// counted). The rows are the worst a station writes: every glove's name as
// long as the Glove box takes, long plan names, every other row a FAIL with
// long lists of pairs, and nearly every glove another, one in four checked
// again. The time is the process's CPU time, which other work on a shared
// machine moves less than the wall clock's. Prints one figure a line:
// NAME<TAB>VALUE<TAB>UNIT.
//
// usage: summary_bench [SECONDS]   (how long to repeat each size at least; 1)
#include "display/pair_text.h"
#include "display/results_summary.h"
#include "display/results_row.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

// The longest name the Glove box takes.
static const unsigned TYPED_NAME_MOST = 127;

static std::string PairList(unsigned first, unsigned count)
{
    std::string list;
    for (unsigned i = 0; i < count; i++) {
        const ContactPair &pair = CheckPairs[(first + i * 7) % CHECK_PAIRS];
        list += (i ? ", " : "") + std::string(ContactNames[pair.a]) + " + " + ContactNames[pair.b];
    }
    return list;
}

// Row i of a station that checks a glove every 4 minutes, its clock an hour
// ahead of UTC; every fourth glove is the one that failed just before.
static std::string Row(unsigned i)
{
    char time[ROW_TIME_SIZE];
    unsigned minutes = i * 4;
    std::snprintf(time, sizeof time, "2026-%02u-%02uT%02u:%02u:00.000+01:00",
                  minutes / (60 * 24 * 28) % 12 + 1, minutes / (60 * 24) % 28 + 1,
                  minutes / 60 % 24, minutes % 60);
    unsigned glove = i % 4 == 2 ? i - 1 : i;
    std::string name = std::to_string(glove);
    name += std::string(TYPED_NAME_MOST - name.size(), 'G');
    std::string plan = "glove-v" + std::to_string(i % 3) + std::string(120, 'p');
    if (i % 2 == 0)
        return std::string(time) + "\t" + name + "\t" + plan + "\tPASS\t36\t36 of 36\t\t\t\t\r\n";
    return std::string(time) + "\t" + name + "\t" + plan + "\tFAIL\t28\t18 of 36\t" +
           PairList(i, 18) + "\t" + PairList(i + 1, 10) + "\t" + PairList(i + 2, 6) + "\t" +
           PairList(i + 3, 4) + "\r\n";
}

static uint32_t Summarise(const std::string &file, std::vector<char> &memory)
{
    ResultsSummary summary;
    uint32_t rows = CountLines(file.data(), (uint32_t)file.size());
    memory.resize(SummaryMemorySize(rows));
    StartSummary(summary, memory.data(), rows);
    ReadResultsText(summary, file.data(), (uint32_t)file.size());
    FinishSummary(summary);
    return summary.all.rows + summary.notUnderstood;
}

static void Measure(unsigned rows, double seconds)
{
    std::string file = RESULTS_HEADER;
    for (unsigned i = 0; i < rows; i++)
        file += Row(i);
    std::vector<char> memory;
    std::clock_t start = std::clock();
    double elapsed = 0;
    unsigned runs = 0;
    for (; elapsed < seconds; runs++) {
        if (Summarise(file, memory) != rows)
            std::exit(1);
        elapsed = (double)(std::clock() - start) / CLOCKS_PER_SEC;
    }
    double each = elapsed / runs;
    std::printf("summary of %u rows: file\t%.1f\tMB\n", rows, file.size() / 1e6);
    std::printf("summary of %u rows: table\t%.1f\tMB\n", rows, memory.size() / 1e6);
    std::printf("summary of %u rows: CPU time\t%.1f\tms\n", rows, each * 1e3);
    std::printf("summary of %u rows: rows a second\t%.3g\trows/s\n", rows, rows / each);
    std::printf("summary of %u rows: bytes a second\t%.3g\tB/s\n", rows, file.size() / each);
}

int main(int argc, char **argv)
{
    double seconds = argc > 1 ? std::atof(argv[1]) : 1.0;
    for (unsigned rows : {1000u, 10000u, 125000u})
        Measure(rows, seconds);
    return 0;
}
