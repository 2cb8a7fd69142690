#include "app/plan_files.h"

#include "app/file_dialog.h"
#include "app/globals.h"
#include "app/log_file.h"
#include "app/port_dialog.h"
#include "app/save_log.h"
#include "display/plan_file.h"
#include "res/resource.h"

char PlanName[PLAN_NAME_SIZE];

static const FileQuestion OpenQuestion = {IDS_PLAN_FILTER, "plan", OFN_FILEMUSTEXIST, TRUE};
static const FileQuestion SaveQuestion = {IDS_PLAN_FILTER, "plan", OFN_OVERWRITEPROMPT, FALSE};

// One byte more than a plan may hold, so that a larger file is seen as one.
static char FileText[PLAN_FILE_LIMIT + 1];

struct Reading {
    const char *path;
    DWORD length;
};

static DWORD TryRead(void *context)
{
    Reading *reading = (Reading *)context;
    HANDLE file = CreateFileA(reading->path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD error = ERROR_SUCCESS;
    if (!ReadFile(file, FileText, sizeof FileText, &reading->length, NULL))
        error = GetLastError();
    CloseHandle(file);
    return error;
}

// The string IDS_PLAN_FAULTS + fault says what is wrong, and takes the line.
static void ShowRefusal(HWND owner, const char *path, const PlanReading &reading)
{
    char format[256] = "", fault[256];
    LoadStringA(AppInstance, IDS_PLAN_FAULTS + reading.fault, format, sizeof format);
    wsprintfA(fault, format, reading.line);
    ShowMessage(owner, MAKEINTRESOURCEA(IDS_PLAN_REFUSED), MB_ICONERROR, path, fault);
}

void OpenPlan(HWND owner)
{
    char path[MAX_PATH] = "";
    if (!AskFileName(owner, OpenQuestion, path))
        return;
    Reading reading = {path, 0};
    DWORD error = RetryWhileHeld(TryRead, &reading);
    if (error != ERROR_SUCCESS) {
        ShowNamedFileError(owner, IDS_PLAN_READ_FAILED, path, error);
        return;
    }
    Plan plan;
    PlanReading read = ReadPlan(FileText, reading.length, &plan);
    if (read.fault != PLAN_READ) {
        ShowRefusal(owner, path, read);
        return;
    }
    UsePlan(plan);
    PlanNameOf(path, PlanName, sizeof PlanName);
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
        PlanNameOf(path, PlanName, sizeof PlanName);
}

void TakePlan(void)
{
    if (TakeCheckAsPlan())
        lstrcpyA(PlanName, "taken");
}
