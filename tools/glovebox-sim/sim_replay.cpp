#include "sim_replay.h"

#include "display/timed_row.h"
#include "protocol/glove_protocol.h"
#include "sim_logged_frame.h"
#include "sim_timed_row.h"

#include <algorithm>

namespace
{

// The readings of the line or row at `at`.
std::vector<Reading> ReadRow(const std::string &file, size_t at, bool withTimes, const char **fault)
{
    return withTimes ? ReadTimedRow(file, at, fault) : ReadLoggedFrame(file, at, false, fault);
}

bool IsLineStart(const std::string &log, size_t begin, size_t at)
{
    return at == begin || (at >= begin + 2 && log.compare(at - 2, 2, "\r\n") == 0);
}

// Whether the rest of the file reads on from the reading: rows with an empty
// time come only before every timed one.
bool ReadsOn(const std::string &file, const Reading &reading, const std::vector<bool> &readsToEnd)
{
    bool untimedNext = reading.end < file.size() && file[reading.end] == '\t';
    return readsToEnd[reading.end] && !(reading.row.timed && untimedNext);
}

// A line with no reading that the end of the log cuts short, as a crash may
// leave the last line of a recording: the log does not end in a line break,
// and either none follows the line, whatever it holds, or it is a text reply
// that runs into the end.
bool IsTornLine(const std::string &log, size_t at, const char *fault)
{
    if (log.empty() || log.back() == '\n')
        return false;
    return fault == TextCutByTheEnd || log.find('\n', at) == std::string::npos;
}

// The first pass, backwards. A text reply may hold what looks like its line's
// end, so a line can have several readings: this marks the line starts from
// which the rest of the file reads to its end, or to a torn last line.
std::vector<bool> MarkReadsToEnd(const std::string &file, size_t begin, bool withTimes)
{
    std::vector<bool> readsToEnd(file.size() + 1, false);
    readsToEnd[file.size()] = true;
    const char *fault = nullptr;
    for (size_t at = file.size(); at-- > begin;) {
        if (!IsLineStart(file, begin, at))
            continue;
        std::vector<Reading> readings = ReadRow(file, at, withTimes, &fault);
        readsToEnd[at] = readings.empty() && IsTornLine(file, at, fault);
        for (const Reading &reading : readings)
            if (ReadsOn(file, reading, readsToEnd))
                readsToEnd[at] = true;
    }
    return readsToEnd;
}

// The shortest reading that reads to the end. Where none does, the shortest,
// which leads on to the line that has no reading.
const Reading &ChooseReading(const std::string &file, const std::vector<Reading> &readings,
                             const std::vector<bool> &readsToEnd)
{
    for (const Reading &reading : readings)
        if (ReadsOn(file, reading, readsToEnd))
            return reading;
    return readings.front();
}

std::string LineError(const std::string &file, size_t at, const char *fault)
{
    long line = 1 + std::count(file.begin(), file.begin() + at, '\n');
    return "line " + std::to_string(line) + ": " + fault;
}

// The second pass, forwards: takes the chosen reading of each line, a cut
// frame with an end byte after it, up to a torn last line.
bool TakeRows(const std::string &file, size_t begin, bool withTimes,
              const std::vector<bool> &readsToEnd, std::vector<ReplayRow> *rows, size_t *tornBytes,
              std::string *error)
{
    bool timedSeen = false;
    const char *fault = nullptr;
    for (size_t at = begin; at < file.size();) {
        std::vector<Reading> readings = ReadRow(file, at, withTimes, &fault);
        if (readings.empty() && IsTornLine(file, at, fault)) {
            *tornBytes = file.size() - at;
            break;
        }
        if (!readings.empty() && timedSeen && !readings.front().row.timed) {
            readings.clear();
            fault = "a row without a time after rows with one";
        }
        if (readings.empty()) {
            *error = LineError(file, at, fault);
            return false;
        }
        const Reading &chosen = ChooseReading(file, readings, readsToEnd);
        rows->push_back(chosen.row);
        Frame &frame = rows->back().frame;
        if (!frame.empty() && frame.back() != FRAME_END)
            frame.push_back(FRAME_END);
        timedSeen = timedSeen || chosen.row.timed;
        at = chosen.end;
    }
    return true;
}

} // namespace

bool ParseReplay(const std::string &file, std::vector<ReplayRow> *rows, size_t *tornBytes,
                 std::string *error)
{
    const bool withTimes = HasAt(file, 0, ROW_HEADER);
    const size_t begin = withTimes ? sizeof ROW_HEADER - 1 : 0;
    const size_t first = rows->size();
    *tornBytes = 0;
    if (!TakeRows(file, begin, withTimes, MarkReadsToEnd(file, begin, withTimes), rows, tornBytes,
                  error))
        return false;
    if (std::all_of(rows->begin() + first, rows->end(),
                    [](const ReplayRow &row) { return row.frame.empty(); })) {
        *error = "the log holds no frame";
        return false;
    }
    return true;
}

std::vector<double> RecordedSchedule(const std::vector<ReplayRow> &rows, double speed)
{
    std::vector<double> due(rows.size(), -1);
    size_t first = 0;
    while (first < rows.size() && !(rows[first].timed && !rows[first].frame.empty()))
        first++;
    for (size_t i = first; i < rows.size(); i++) {
        int64_t gap = i == first ? 0 : rows[i].utcMs - rows[i - 1].utcMs;
        due[i] = (i == first ? 0 : due[i - 1]) + (double)std::max<int64_t>(gap, 0) / speed;
    }
    return due;
}
