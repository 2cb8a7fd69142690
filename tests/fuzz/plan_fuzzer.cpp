// Reads arbitrary bytes as a plan file. A file it accepts gives a plan of
// distinct pairs whose set and order agree, which the program writes as a
// file that reads back as the same plan; a file it refuses leaves the plan as
// it was and names a line the file has, or none for a fault of the whole file.
#include "display/plan_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

static void Check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "broken invariant: %s\n", what);
        std::abort();
    }
}

static void CheckPlan(const Plan &plan)
{
    PairSet listed = {};
    for (unsigned i = 0; i < plan.size; i++) {
        Check(plan.order[i] < CHECK_PAIRS && !HasPairAt(listed, plan.order[i]),
              "a pair listed twice or no pair");
        AddPairAt(listed, plan.order[i]);
    }
    Check(plan.size > 0 && std::memcmp(&listed, &plan.pairs, sizeof listed) == 0,
          "the plan's order and set disagree");
    char text[PLAN_FILE_SIZE];
    unsigned length = FormatPlanFile(text, plan);
    Check(length < PLAN_FILE_SIZE - 1, "a plan file cut short");
    Plan again = {};
    Check(ReadPlan(text, length, &again).fault == PLAN_READ &&
              std::memcmp(&again, &plan, sizeof plan) == 0,
          "a written plan reads back as another");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *text = (const char *)data;
    Plan plan, before;
    std::memset(&plan, 0xA5, sizeof plan);
    before = plan;
    PlanReading reading = ReadPlan(text, (unsigned)size, &plan);
    if (reading.fault == PLAN_READ) {
        CheckPlan(plan);
        return 0;
    }
    Check(std::memcmp(&plan, &before, sizeof plan) == 0, "a refused file changed the plan");
    unsigned lines = 1;
    for (size_t i = 0; i + 1 < size; i++)
        lines += data[i] == '\n';
    bool wholeFile = reading.fault == PLAN_TOO_LARGE || reading.fault == PLAN_NO_PAIRS;
    Check(wholeFile ? reading.line == 0 : reading.line >= 1 && reading.line <= lines,
          "a refusal that names no line of the file");
    return 0;
}
