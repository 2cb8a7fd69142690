#include "app/plan_files.h"

#include "app/file_dialog.h"
#include "app/file_io.h"
#include "app/globals.h"
#include "app/message_box.h"
#include "app/settings.h"
#include "display/plan_file.h"
#include "res/resource.h"

char PlanName[PLAN_NAME_SIZE];
char PlanTrouble[PLAN_TROUBLE_SIZE];

// The file of the plan in use; empty for a plan taken and not saved.
static char PlanPath[MAX_PATH];

// The value that keeps PlanPath for the next run.
static const char KeptPlan[] = "Plan file";

static const FileQuestion OpenQuestion = {IDS_PLAN_FILTER, "plan", OFN_FILEMUSTEXIST, TRUE};
static const FileQuestion SaveQuestion = {IDS_PLAN_FILTER, "plan", OFN_OVERWRITEPROMPT, FALSE};

// One byte more than a plan may hold, so that a larger file is seen as one.
static char FileText[PLAN_FILE_LIMIT + 1];

// Reads the file `path` as a plan into plan: the system's error code, and
// once the file is read, whether it is a plan in `read`.
static DWORD ReadPlanFile(const char *path, Plan *plan, PlanReading *read)
{
    HANDLE file;
    DWORD length = 0;
    DWORD error =
        OpenHeldFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, &file);
    if (error != ERROR_SUCCESS)
        return error;
    if (!ReadFile(file, FileText, sizeof FileText, &length, NULL))
        error = GetLastError();
    CloseHandle(file);
    if (error == ERROR_SUCCESS)
        *read = ReadPlan(FileText, length, plan);
    return error;
}

// The string IDS_PLAN_FAULTS + fault says what is wrong, and takes the line.
static void FormatPlanFault(char *fault, const PlanReading &reading)
{
    char format[256] = "";
    LoadStringA(AppInstance, IDS_PLAN_FAULTS + reading.fault, format, sizeof format);
    wsprintfA(fault, format, reading.line);
}

static void ShowRefusal(HWND owner, const char *path, const PlanReading &reading)
{
    char fault[256];
    FormatPlanFault(fault, reading);
    ShowMessage(owner, MAKEINTRESOURCEA(IDS_PLAN_REFUSED), MB_ICONERROR, path, fault);
}

// The plan in use is the file's from now on, and the next run's.
static void NamePlanFile(const char *path)
{
    PlanNameOf(path, PlanName, sizeof PlanName);
    lstrcpynA(PlanPath, path, sizeof PlanPath);
    KeepStationText(KeptPlan, path);
    PlanTrouble[0] = '\0';
}

void OpenPlan(HWND owner)
{
    char path[MAX_PATH] = "";
    if (!AskFileName(owner, OpenQuestion, path))
        return;
    Plan plan;
    PlanReading read = {};
    DWORD error = ReadPlanFile(path, &plan, &read);
    if (error != ERROR_SUCCESS) {
        ShowNamedFileError(owner, IDS_PLAN_READ_FAILED, path, error);
    } else if (read.fault != PLAN_READ) {
        ShowRefusal(owner, path, read);
    } else {
        UsePlan(plan);
        NamePlanFile(path);
    }
}

void SavePlan(HWND owner)
{
    char path[MAX_PATH], text[PLAN_FILE_SIZE];
    lstrcpynA(path, PlanName, sizeof path);
    if (!AskFileName(owner, SaveQuestion, path))
        return;
    DWORD error = ReplaceFileWith(path, text, FormatPlanFile(text, ContactCheck.plan));
    if (error != ERROR_SUCCESS)
        ShowNamedFileError(owner, IDS_PLAN_SAVE_FAILED, path, error);
    else
        NamePlanFile(path);
}

void TakePlan(void)
{
    if (!TakeCheckAsPlan())
        return;
    lstrcpyA(PlanName, "taken");
    PlanPath[0] = '\0';
    KeepStationText(KeptPlan, "");
}

BOOL PlanIsKept(void)
{
    return PlanPath[0] != '\0';
}

// The kept file stays kept when it cannot be read: it may be on a drive that
// is not there yet.
void RestorePlan(void)
{
    char path[MAX_PATH], reason[256];
    ReadStationText(KeptPlan, path, sizeof path);
    if (!path[0])
        return;
    Plan plan;
    PlanReading read = {};
    DWORD error = ReadPlanFile(path, &plan, &read);
    if (error == ERROR_SUCCESS && read.fault == PLAN_READ) {
        UsePlan(plan);
        NamePlanFile(path);
        return;
    }
    if (error != ERROR_SUCCESS)
        FormatReasonInLine(reason, error);
    else
        FormatPlanFault(reason, read);
    FormatResourceText(PlanTrouble, sizeof PlanTrouble,
                       error != ERROR_SUCCESS ? IDS_PLAN_NOT_RESTORED
                                              : IDS_PLAN_NOT_A_PLAN_AT_START,
                       path, reason);
}
