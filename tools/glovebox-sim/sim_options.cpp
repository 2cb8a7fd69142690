#include "sim_options.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{

const char Usage[] =
    "usage: glovebox-sim [--demo | --scenario FILE [--loop]\n"
    "                     | --replay FILE [--gap MS | --as-recorded [--speed X]] [--loop]\n"
    "                     | --stress [--seed N | --short]]\n"
    "                    [--wine-prefix DIR --com N | --port COMn]\n"
    "                    [--baud N | --unpaced] [--timestamps] [--ground]\n"
    "                    [--transcript FILE] [--seconds S] [--frames N]\n"
    "                    [--start-on COMMAND] [--unplug-after S] [--back-after S]\n"
    "                    [--signature TEXT]\n"
    "\n"
    "Answers CP, CL and CR with text replies, switches timestamped reports with\n"
    "T1/T0 and ground contacts with G1/G0, and sends contact reports: from a\n"
    "scenario file (hex bytes, \"pause MS\" or \"unplug\" a line, '#' comments),\n"
    "from a built-in demonstration (the default), or as fast as the line allows\n"
    "(with --short, only the shortest report, one group of four bytes).\n"
    "\n"
    "With --replay it sends the frames of a saved session log or a recording,\n"
    "the receive log's lines as the program writes them, one after another at\n"
    "the line rate, with --gap milliseconds between frames. A last line cut\n"
    "short, as a crash leaves a recording, is left out, and it says how many\n"
    "bytes that was. A recording with times (its first line \"time<TAB>line\")\n"
    "plays the same way; with --as-recorded each line goes at its recorded time\n"
    "after the first timed line, never faster than the line allows, the lines\n"
    "without a time first, and its events are printed as they are passed;\n"
    "--speed X divides the time between lines by X. Events are never sent.\n"
    "\n"
    "On Linux the line is a pseudo-terminal, linked into a Wine prefix as COMn\n"
    "with --wine-prefix and --com; on Windows it is the COM port named by --port.\n"
    "Sending is paced at 9600 baud with 11 bits a byte unless --baud or --unpaced.\n"
    "With --start-on, reports begin when that command first arrives (CP: once the\n"
    "program has opened its port); --seconds then counts from there.\n"
    "\n"
    "With --unplug-after, the box goes away that many seconds after its reports\n"
    "begin, in the middle of a frame: on Linux its pseudo-terminal and link vanish\n"
    "as a pulled USB adapter's port does; on Windows it closes its COM port. With\n"
    "--back-after it returns that many seconds later at the same name. An \"unplug\"\n"
    "line of a scenario does the same at its place, after what went before.\n"
    "\n"
    "With --signature it answers CP with TEXT, as another device would, or not\n"
    "at all when TEXT is empty.\n";

bool ParseNumber(const char *text, unsigned long min, unsigned long max, unsigned long *value)
{
    char *end = nullptr;
    unsigned long n = std::strtoul(text, &end, 10);
    if (!*text || *end || n < min || n > max)
        return false;
    *value = n;
    return true;
}

template <typename T>
bool SetNumber(const char *text, unsigned long min, unsigned long max, T *field)
{
    unsigned long n = 0;
    bool ok = ParseNumber(text, min, max, &n);
    *field = (T)n;
    return ok;
}

// What an option does with its value, or without one when it takes none.
struct OptionRule {
    const char *name;
    bool takesValue;
    bool (*apply)(Options *o, const char *value);
};

const OptionRule OptionRules[] = {
    {"--demo", false, [](Options *o, const char *) { return o->mode = MODE_DEMO, true; }},
    {"--scenario", true,
     [](Options *o, const char *v) { return o->mode = MODE_SCENARIO, o->scenarioPath = v, true; }},
    {"--replay", true,
     [](Options *o, const char *v) { return o->mode = MODE_REPLAY, o->replayPath = v, true; }},
    {"--gap", true, [](Options *o, const char *v) { return SetNumber(v, 0, 3600000, &o->gapMs); }},
    {"--as-recorded", false, [](Options *o, const char *) { return o->asRecorded = true; }},
    {"--speed", true,
     [](Options *o, const char *v) {
         char *end = nullptr;
         o->speed = std::strtod(v, &end);
         return *v && !*end && o->speed > 0 && o->speed <= 1e6;
     }},
    {"--loop", false, [](Options *o, const char *) { return o->loop = true; }},
    {"--stress", false, [](Options *o, const char *) { return o->mode = MODE_STRESS, true; }},
    {"--short", false, [](Options *o, const char *) { return o->shortReports = true; }},
    {"--seed", true,
     [](Options *o, const char *v) { return SetNumber(v, 0, 0xFFFFFFFFul, &o->seed); }},
    {"--wine-prefix", true, [](Options *o, const char *v) { return o->line.winePrefix = v, true; }},
    {"--com", true,
     [](Options *o, const char *v) { return SetNumber(v, 1, 255, &o->line.comNumber); }},
    {"--port", true, [](Options *o, const char *v) { return o->line.port = v, true; }},
    {"--baud", true, [](Options *o, const char *v) { return SetNumber(v, 1, 4000000, &o->baud); }},
    {"--unpaced", false, [](Options *o, const char *) { return o->baud = 0, true; }},
    {"--timestamps", false, [](Options *o, const char *) { return o->modes.timestamps = true; }},
    {"--ground", false, [](Options *o, const char *) { return o->modes.ground = true; }},
    {"--start-on", true, [](Options *o, const char *v) { return o->startOn = v, true; }},
    {"--transcript", true, [](Options *o, const char *v) { return o->transcriptPath = v, true; }},
    {"--seconds", true,
     [](Options *o, const char *v) { return SetNumber(v, 0, 1000000, &o->seconds); }},
    {"--frames", true,
     [](Options *o, const char *v) { return SetNumber(v, 0, 0xFFFFFFFFul, &o->frames); }},
    {"--unplug-after", true,
     [](Options *o, const char *v) { return SetNumber(v, 1, 1000000, &o->unplugAfter); }},
    {"--back-after", true,
     [](Options *o, const char *v) { return SetNumber(v, 0, 1000000, &o->backAfter); }},
    // Printable ASCII only: a byte from 0x80 up would end or open a frame.
    {"--signature", true,
     [](Options *o, const char *v) {
         o->signature = v;
         return std::all_of(v, v + std::strlen(v), [](char c) { return c >= ' ' && c <= '~'; });
     }},
};

const OptionRule *FindOption(const std::string &name)
{
    for (const OptionRule &rule : OptionRules)
        if (name == rule.name)
            return &rule;
    return nullptr;
}

bool Refuse(const std::string &why)
{
    std::fprintf(stderr, "glovebox-sim: %s\n\n%s", why.c_str(), Usage);
    return false;
}

} // namespace

bool ParseOptions(int argc, char **argv, Options *o)
{
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(Usage, stdout);
            std::exit(0);
        }
        const OptionRule *rule = FindOption(a);
        if (!rule)
            return Refuse("unknown argument \"" + a + "\"");
        if (rule->takesValue && i + 1 == argc)
            return Refuse(a + " needs a value");
        const char *value = rule->takesValue ? argv[++i] : "";
        if (!rule->apply(o, value))
            return Refuse("bad value \"" + std::string(value) + "\" for " + a);
    }
    if (!o->line.winePrefix.empty() && o->line.comNumber == 0)
        return Refuse("--wine-prefix needs --com N");
    if (o->asRecorded && o->mode != MODE_REPLAY)
        return Refuse("--as-recorded needs --replay FILE");
    if (o->speed != 1 && !o->asRecorded)
        return Refuse("--speed needs --as-recorded");
    if (o->asRecorded && o->gapMs)
        return Refuse("--gap and --as-recorded exclude each other");
    return true;
}
